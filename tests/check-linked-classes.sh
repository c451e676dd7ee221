#!/usr/bin/env bash
# Checks that the linked binary $1 holds the type record of every class defined under the
# source tree $2: the libraries are static and most classes are reached only by name at run
# time, so a missing record means the linker dropped the class and its registration.
set -euo pipefail
binary=$1
source_root=$2

classes=$(grep -rhoE --include='*.cpp' 'QUOVEL_DEFINE_TYPE\([A-Za-z_][A-Za-z0-9_]*' \
            "$source_root/framework" "$source_root/game" | sed 's/.*(//' | sort -u)
symbols=$(nm -C "$binary" | grep -oE '[A-Za-z_][A-Za-z0-9_]*::typeRecord' | sort -u)

missing=0
count=0
for class in $classes; do
  count=$((count + 1))
  if ! grep -qx "$class::typeRecord" <<<"$symbols"; then
    echo "missing from $binary: $class"
    missing=$((missing + 1))
  fi
done
if [ "$count" -eq 0 ]; then
  echo "no classes found under $source_root"
  exit 1
fi
echo "$count classes checked, $missing missing"
[ "$missing" -eq 0 ]
