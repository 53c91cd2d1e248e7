#!/usr/bin/env bash
# The fade words are the same on every processor and system: builds the
# standard-library core and tests/determinism/fade_words natively and for
# each target with the project's own flags (-DPALFADE_CORE_ONLY=ON, the
# toolchain files in cmake/toolchains), runs each (aarch64 under qemu-user,
# Windows under Wine) and compares its words with the native build's, byte
# for byte.
#   scripts/check-determinism.sh [aarch64] [windows]   (default: both)
# Installs the cross compilers, qemu-user and Wine first
# (scripts/install-deps.sh cross). Builds go to build-determinism/.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(aarch64 windows)
bash scripts/install-deps.sh cross

out=$PWD/build-determinism
mkdir -p "$out"
build_type=RelWithDebInfo # as `make test` and `make package` build

build() { # name [cmake arguments...]
  local dir=$out/$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=$build_type -DPALFADE_CORE_ONLY=ON -DPALFADE_WERROR=ON "$@" \
    > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  cmake --build "$dir" -j "$(nproc)" > "$dir.build.log" 2>&1 || { cat "$dir.build.log"; exit 1; }
}

build native
"$out/native/tests/determinism/fade_words" "$out/words.native" > /dev/null
echo "native ($(uname -m)): $(stat -c %s "$out/words.native") bytes of fade words"

status=0
for target in "${targets[@]}"; do
  case $target in
    aarch64)
      build aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake
      qemu-aarch64 -L /usr/aarch64-linux-gnu "$out/aarch64/tests/determinism/fade_words" "$out/words.aarch64" > /dev/null
      ;;
    windows)
      build windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake
      export WINEPREFIX=$out/wine WINEDEBUG=-all
      timeout 600 /usr/lib/wine/wine64 "$out/windows/tests/determinism/fade_words.exe" "Z:$out/words.windows" \
        > /dev/null 2> "$out/wine.log" || { cat "$out/wine.log"; exit 1; }
      /usr/lib/wine/wineserver64 -k 2> /dev/null || true
      ;;
    *)
      echo "check-determinism: unknown target $target (aarch64, windows)" >&2
      exit 2
      ;;
  esac
  if cmp -s "$out/words.native" "$out/words.$target"; then
    echo "$target: the same words"
  else
    differing=$(cmp -l "$out/words.native" "$out/words.$target" 2> /dev/null | wc -l || true)
    first=$(cmp "$out/words.native" "$out/words.$target" 2>&1 | sed -n 's/.*differ: byte \([0-9]*\).*/\1/p' || true)
    echo "$target: DIFFERENT words: $differing bytes differ, the first at byte $first" \
      "(words.native and words.$target in $out)" >&2
    status=1
  fi
done
exit $status
