#!/usr/bin/env bash
# Checks that the linked binary $1 holds the type record of every class defined under the
# source tree $2, and the symbol of every factory registration made there: the libraries are
# static and most classes are reached only by name at run time, so a missing record or
# registration means the linker dropped the class.
set -euo pipefail
binary=$1
source_root=$2

# Names given as the first argument of the macros listed in $1, from every source file.
macro_names() {
  grep -rhoE --include='*.cpp' "($1)\([A-Za-z_][A-Za-z0-9_]*" \
       "$source_root/framework" "$source_root/game" | sed 's/.*(//' | sort -u || true
}

symbols=$(nm -C "$binary")
records=$(grep -oE '[A-Za-z_][A-Za-z0-9_]*::typeRecord' <<<"$symbols" | sort -u || true)
registrations=$(grep -oE 'quovelRegistration_[A-Za-z0-9_]+' <<<"$symbols" | sort -u || true)

missing=0
check() {  # kind, wanted symbol names (one a line), present symbol names
  local kind=$1 wanted=$2 present=$3 count=0
  for symbol in $wanted; do
    count=$((count + 1))
    if ! grep -qx "$symbol" <<<"$present"; then
      echo "missing from $binary: $kind $symbol"
      missing=$((missing + 1))
    fi
  done
  echo "$count $kind symbols checked"
  [ "$count" -gt 0 ] || { echo "no $kind found under $source_root"; missing=$((missing + 1)); }
}

check type-record "$(macro_names QUOVEL_DEFINE_TYPE | sed 's/$/::typeRecord/')" "$records"
check registration \
  "$(macro_names 'QUOVEL_REGISTER_FUNCTION|QUOVEL_REGISTER_CLASS_AS' | sed 's/^/quovelRegistration_/')
$(macro_names 'QUOVEL_REGISTER_CLASS' | sed 's/^/quovelRegistration_/')" "$registrations"
echo "$missing missing"
[ "$missing" -eq 0 ]
