#!/usr/bin/env bash
# scripts/check-includes.sh passes src/ as it is and fails, naming file, line
# and include, on a copy with an include that goes up the layer order.
set -euo pipefail
root=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cp -r "$root/src" "$work/src"
check=$root/scripts/check-includes.sh

bash "$check" "$work/src" > /dev/null

sed -i '1a #include "exports/file_formats.h"' "$work/src/core/hw_color.h"
if bash "$check" "$work/src" > "$work/out" 2>&1; then
  echo "check-includes.sh passed core including exports"
  exit 1
fi
expected='src/core/hw_color.h:2: #include "exports/file_formats.h": core may include only itself, not exports'
grep -qxF "$expected" "$work/out" || { echo "expected: $expected"; cat "$work/out"; exit 1; }
[ "$(grep -c ':[0-9]*: #include' "$work/out")" -eq 1 ] || { echo "more than the one breach:"; cat "$work/out"; exit 1; }
echo "ok: $expected"
