#!/usr/bin/env bash
# The portable build (-DPALFADE_PORTABLE=ON) compiles nothing of src/ that
# includes a POSIX, X11 or other system header: every source file it compiles
# (its compile_commands.json) and every header of src/ those include, directly
# or through each other, include only the C++ standard library, Qt and the
# image libraries. Platform code lives in files of its own that the portable
# build leaves out. Fails with file:line and the include.
#   scripts/check-portable.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: check-portable.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/.."
root=$PWD

grep -q '^PALFADE_PORTABLE:BOOL=ON$' "$build/CMakeCache.txt" 2> /dev/null ||
  { echo "check-portable: $build is no build with -DPALFADE_PORTABLE=ON" >&2; exit 2; }
[ -f "$build/compile_commands.json" ] ||
  { echo "check-portable: $build/compile_commands.json is missing" >&2; exit 2; }

# Headers besides the standard library and Qt that every platform has.
libraries=" png.h zlib.h gif_lib.h "

declare -A seen
queue=()
while read -r file; do
  case $file in "$root"/src/*) queue+=("${file#"$root"/}") ;; esac
done < <(grep -oE '"file": *"[^"]*"' "$build/compile_commands.json" | sed -E 's/"file": *"([^"]*)"/\1/' | sort -u)
[ ${#queue[@]} -gt 0 ] || { echo "check-portable: $build compiles no file of src/" >&2; exit 2; }
compiled=${#queue[@]}

failures=0
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  [ -z "${seen[$file]+x}" ] || continue
  seen[$file]=1
  while IFS=: read -r line text; do
    if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      for candidate in "src/$header" "$(dirname "$file")/$header"; do
        if [ -f "$candidate" ]; then
          queue+=("$candidate")
          break
        fi
      done
    elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      # The standard library, but not its signal handling; Qt; the image libraries.
      if [[ $header == csignal ]] ||
        ! { [[ $header =~ ^[a-z_0-9]+$ ]] || [[ $header == Q* ]] || [[ $libraries == *" $header "* ]]; }; then
        echo "$file:$line: #include <$header>: not in the portable build" >&2
        failures=$((failures + 1))
      fi
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done

if [ $failures -gt 0 ]; then
  echo "check-portable: $failures platform includes in the portable build; move them to a file of their own" \
    "beside a portable one" >&2
  exit 1
fi
echo "check-portable: $compiled files of src/ compiled in $build, ${#seen[@]} with the headers they include:" \
  "only the standard library, Qt and the image libraries"
