#!/usr/bin/env bash
# run-fuzz over stand-in targets that print libFuzzer's log: one whose time ended while it
# replayed its corpus must not be reported "ok", one that fuzzed past it must.
set -uo pipefail
runFuzz=$1
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
mkdir -p "$build/fuzz"
standIn() {  # name, executions at INITED, at DONE
  printf '\n' >"$build/fuzz/fuzz-$1.seeds"
  printf '#!/bin/sh\necho "#%s\tINITED cov: 9 ft: 9 corp: 5/9b"\necho "#%s\tDONE   cov: 9 ft: 9"\necho "stat::number_of_executed_units: %s"\n' \
    "$2" "$3" "$3" >"$build/fuzz/fuzz-$1"
  chmod +x "$build/fuzz/fuzz-$1"
}
standIn replayed 959 959
standIn fuzzed 959 4000
output=$("$runFuzz" "$build" --time 1 replayed fuzzed)
echo "$output"
failed=0
grep -q '^replayed .*replayed its corpus only, not fuzzed: *959 executions' <<<"$output" ||
  { echo "the target that only replayed its corpus was not reported so"; failed=1; }
grep -q '^fuzzed  *ok  *4000 executions' <<<"$output" ||
  { echo "the target that fuzzed was not reported ok"; failed=1; }
exit "$failed"
