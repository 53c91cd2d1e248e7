#!/usr/bin/env bash
# palfade-cli is one binary: copied alone into an empty folder, without a
# display, it writes a PNG and a BMP preview and reads a PNG back as a
# palette source.
set -euo pipefail
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work/alone"
cp "$cli" "$work/alone/"
cd "$work/alone"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

fail() { echo "FAIL: $*"; exit 1; }

./palfade-cli preview --top white --palettes 3 --colors 2 --zoom 2 -o fade.png
asm=$(./palfade-cli palette fade.png --format asm -o -)
[[ $asm == *'$8000,$7FFF,$0888,$0000'* ]] || fail "palette from fade.png: $asm"
./palfade-cli preview --top white --palettes 3 --colors 2 --format bmp -o fade.bmp
[[ $(head -c 2 fade.bmp) == BM ]] || fail "fade.bmp is no BMP"
[[ $(ls) == $'fade.bmp\nfade.png\npalfade-cli' ]] || fail "unexpected files: $(ls)"
echo "ok"
