#!/usr/bin/env bash
# palfade-cli reads and writes pictures through the module beside it, and
# starts without Qt's GUI library for everything else:
#  - a PNG preview read back as a palette source, and a BMP preview;
#  - where the loader reports its work (glibc), Qt's GUI library is loaded
#    for a picture and not for a fade;
#  - a palfade-cli copied without its module still exports fades, and a
#    picture command fails with the reason and writes nothing.
set -euo pipefail
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work/alone"
cd "$work"

fail() { echo "FAIL: $*"; exit 1; }

"$cli" preview --top white --palettes 3 --colors 2 --zoom 2 -o fade.png
asm=$("$cli" palette fade.png --format asm -o -)
[[ $asm == *'$8000,$7FFF,$0888,$0000'* ]] || fail "palette from fade.png: $asm"
"$cli" preview --top white --palettes 3 --colors 2 --format bmp -o fade.bmp
[[ $(head -c 2 fade.bmp) == BM ]] || fail "fade.bmp is no BMP"

if LD_DEBUG=files "$cli" --version > /dev/null 2> ld.log && grep -q 'file=libQt6Core' ld.log; then
  LD_DEBUG=files "$cli" fade --top white -o fade.s 2> ld.log
  ! grep -q 'file=libQt6Gui' ld.log || fail "a fade loaded Qt's GUI library"
  LD_DEBUG=files "$cli" palette fade.png -o pal.s 2> ld.log
  grep -q 'file=libQt6Gui' ld.log || fail "reading a picture did not load Qt's GUI library"
fi

cp "$cli" alone/
alone/palfade-cli fade --top white --format c -o alone/fade.c
grep -q '0x7FFF' alone/fade.c || fail "fade without the module"
status=0
alone/palfade-cli palette fade.png -o alone/pal.s 2> err.txt || status=$?
[[ $status == 1 ]] || fail "exit status $status without the module"
grep -q '^palfade-cli: error: cannot read or write pictures: ' err.txt || fail "message: $(cat err.txt)"
[[ ! -e alone/pal.s ]] || fail "output written without the module"
echo "ok"
