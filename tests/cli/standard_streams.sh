#!/usr/bin/env bash
# The real binary's standard streams, which each platform opens its own way:
# words read from standard input, a table written to standard output, and a
# full disk behind standard output is error 1 with the system's reason.
set -uo pipefail
cli=$1

out=$(printf '$7FFF\n' | "$cli" fade --top - --palettes 3 --colors 1 --format c -o -) || { echo "exit $?"; exit 1; }
[[ $out == *"0x0888,  // step 2"* ]] || { echo "unexpected output: $out"; exit 1; }

if [ -w /dev/full ]; then
  err=$("$cli" fade --top white --palettes 256 --format bin -o - 2>&1 > /dev/full)
  status=$?
  [ $status -eq 1 ] || { echo "a full standard output gave exit $status"; exit 1; }
  [[ $err == "palfade-cli: error: cannot write standard output: "?* ]] ||
    { echo "unexpected message: $err"; exit 1; }
fi
echo ok
