#!/usr/bin/env bash
# The export directory of each scene library: named after its module ("Sucrelle.dll"), ordinal base 1.
# tests/scenes/check-module.sh <library.dll>...
set -euo pipefail
status=0
for dll in "$@"; do
  dump=$(i686-w64-mingw32-objdump -p "$dll" 2>/dev/null || x86_64-w64-mingw32-objdump -p "$dll")
  name=$(sed -n '/^The Export Tables/,/^Ordinal Base/s/^Name[[:space:]]*[0-9a-f]* \(.*\)$/\1/p' <<<"$dump")
  base=$(sed -n 's/^Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' <<<"$dump" | head -1)
  if [ "$name" = "$(basename "$dll")" ] && [ "$base" = 1 ]; then
    echo "$(basename "$dll"): export directory $name, ordinal base $base"
  else
    echo "$dll: export directory named \"$name\", ordinal base \"$base\"" >&2
    status=1
  fi
done
exit $status
