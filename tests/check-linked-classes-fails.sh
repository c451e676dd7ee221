#!/usr/bin/env bash
# The linked-binary check must notice what the binary lacks: given the game binary $1 and a
# source tree that also defines a class and a registration the binary never linked, it has to
# fail and name both.
set -uo pipefail
binary=$1
checker=$(dirname "$0")/check-linked-classes.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

mkdir -p "$tree/framework/core" "$tree/game"
cat >"$tree/framework/core/Unlinked.cpp" <<'SOURCE'
QUOVEL_DEFINE_TYPE(UnlinkedClass, &BaseObject::typeRecord)
QUOVEL_REGISTER_CLASS(UnlinkedClass)
QUOVEL_REGISTER_CLASS_AS(UnlinkedAlias, UnlinkedClass)
QUOVEL_REGISTER_FUNCTION(UnlinkedHandler, &UnlinkedClass::store)
SOURCE

output=$("$checker" "$binary" "$tree" 2>&1)
status=$?
echo "$output"
failed=0
if [ "$status" -eq 0 ]; then
  echo "the check passed although the binary lacks the unlinked class"
  failed=1
fi
for wanted in UnlinkedClass::typeRecord quovelRegistration_UnlinkedClass \
              quovelRegistration_UnlinkedAlias quovelRegistration_UnlinkedHandler; do
  if ! grep -q "missing from .*$wanted\$" <<<"$output"; then
    echo "the check did not report $wanted"
    failed=1
  fi
done
exit "$failed"
