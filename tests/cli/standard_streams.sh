#!/usr/bin/env bash
# The real binary's standard streams, which each platform opens its own way:
# words read from standard input, a table written to standard output, and a
# full disk behind standard output is error 1 with the system's reason, and
# so is a reader that goes away (POSIX; the portable build, which keeps the
# C library's default there, is given "portable").
set -uo pipefail
cli=$1
build=${2:-posix}

out=$(printf '$7FFF\n' | "$cli" fade --top - --palettes 3 --colors 1 --format c -o -) || { echo "exit $?"; exit 1; }
[[ $out == *"0x0888,  // step 2"* ]] || { echo "unexpected output: $out"; exit 1; }

if [ -w /dev/full ]; then
  err=$("$cli" fade --top white --palettes 256 --format bin -o - 2>&1 > /dev/full)
  status=$?
  [ $status -eq 1 ] || { echo "a full standard output gave exit $status"; exit 1; }
  [[ $err == "palfade-cli: error: cannot write standard output: "?* ]] ||
    { echo "unexpected message: $err"; exit 1; }
fi
if [ "$build" = posix ]; then
  # 2 MiB of table: far more than the pipe holds once head has gone.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  head -c 8192 /dev/zero > "$work/screen.ngpal"
  "$cli" fade --top "$work/screen.ngpal" --all-palettes --palettes 256 --format bin -o - 2> "$work/err" |
    head -c 1 > /dev/null
  status=${PIPESTATUS[0]}
  [ $status -eq 1 ] || { echo "a closed pipe gave exit $status"; exit 1; }
  [ "$(cat "$work/err")" = "palfade-cli: error: cannot write standard output: Broken pipe" ] ||
    { echo "unexpected message: $(cat "$work/err")"; exit 1; }
fi
echo ok
