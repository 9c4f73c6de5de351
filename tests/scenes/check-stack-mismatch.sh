#!/usr/bin/env bash
# scripts/check-stack against a library that is wrong on purpose (StackMismatch.cpp): it must fail,
# name exactly the two wrong exports with their bytes, and pass the other five.
# tests/scenes/check-stack-mismatch.sh <repository> <ZebStackMismatch.dll>
set -uo pipefail
root=$1 dll=$2
out=$(bash "$root/scripts/check-stack" "$root/src/scenes/ZebScene.h" "$dll" 2>/tmp/check-stack-mismatch.$$)
code=$?
err=$(sed 's/ at [0-9a-f]* / at <address> /' /tmp/check-stack-mismatch.$$)
rm -f /tmp/check-stack-mismatch.$$
expected_err="ZebStackMismatch.dll: SceneAnimationsStart: the return at <address> removes 0 bytes, not 4
ZebStackMismatch.dll: SceneParameters: the return at <address> removes 12 bytes, not 8"
status=0
[ "$code" -ne 0 ] || { echo "check-stack passed a library with wrong returns" >&2; status=1; }
[ "$err" = "$expected_err" ] || { printf 'complaints:\n%s\nexpected:\n%s\n' "$err" "$expected_err" >&2; status=1; }
passed=$(grep -c "removes .* bytes at each of its" <<<"$out")
[ "$passed" -eq 5 ] || { printf 'passed %s exports, not 5:\n%s\n' "$passed" "$out" >&2; status=1; }
[ $status -ne 0 ] || echo "check-stack names the two wrong exports and passes the other five"
exit $status
