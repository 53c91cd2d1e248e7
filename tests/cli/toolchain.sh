#!/usr/bin/env bash
# The toolchain forms, named with --label, read by the toolchains themselves:
#  - gas through GNU as in its default syntax (ngdevkit, DATlib),
#  - asm through GNU as in MRI mode (the Motorola syntax vasm reads),
#  - c with a 2-byte element type through the 68000 C compiler;
# each object holds exactly the bytes of the binary export and exports the
# label. Once for a single fade, once for the fades of three palettes (also
# with colour 0 kept).
set -euo pipefail
cli=$1
data=$2
work=$3
as=m68k-linux-gnu-as
objcopy=m68k-linux-gnu-objcopy
nm=m68k-linux-gnu-nm
gcc=m68k-linux-gnu-gcc
for tool in "$as" "$objcopy" "$nm" "$gcc" cmp; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool not found"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"
cd "$work"

fail() { echo "FAIL: $*"; exit 1; }

# object section label symbol-kinds: the section's bytes equal NAME.bin and
# the label is a global symbol of one of the kinds.
same_bytes_and_global() {
  local object=$1 section=$2 label=$3 kinds=$4 expected=$5
  "$objcopy" -O binary -j "$section" "$object" "$object.bin"
  cmp "$expected" "$object.bin" || fail "$object: $section differs from $expected"
  "$nm" "$object" | grep -Eq "^[0-9a-f]+ [$kinds] $label\$" || fail "$object does not export $label: $("$nm" "$object")"
}

# name, then the fade's options: the bin export against the three forms.
check_fade() {
  local name=$1; shift
  "$cli" fade "$@" --format bin -o "$name.bin"
  [[ -s $name.bin ]] || fail "$name.bin is empty"

  "$cli" fade "$@" --format gas --label "${name}_gas" -o "$name.gas.s"
  "$as" "$name.gas.s" -o "$name.gas.o"
  same_bytes_and_global "$name.gas.o" .text "${name}_gas" TD "$name.bin"

  "$cli" fade "$@" --format asm --label "${name}_mri" -o "$name.mri.s"
  "$as" -M "$name.mri.s" -o "$name.mri.o"
  same_bytes_and_global "$name.mri.o" .text "${name}_mri" TD "$name.bin"

  "$cli" fade "$@" --format c --c-type "unsigned short" --label "${name}_c" -o "$name.c"
  "$gcc" -std=gnu99 -O2 -Wall -Wextra -Werror -c "$name.c" -o "$name.c.o"
  same_bytes_and_global "$name.c.o" .rodata "${name}_c" RD "$name.bin"
  echo "ok: $name"
}

# Palette set 2 of a Motorola-syntax source with comments, to white.
check_fade single --top "$data/title_palettes.s" --skip-comments --after TitlePalettes --top-index 2 \
  --bottom white --palettes 20 --dark-bit

# The three palettes of a DATlib source, each to the palette of the same
# number of a palette file of three palettes.
"$cli" palette "$data/title_palettes.s" --skip-comments --all-palettes --format ngpal -o three.ngpal
[[ $(stat -c %s three.ngpal) == 96 ]] || fail "three.ngpal is not 3 palettes"
check_fade screen --top "$data/datlib_palettes.s" --skip-comments --after title_Palettes --skip-words 1 \
  --bottom three.ngpal --all-palettes --palettes 8 --simple
# 8 steps x 3 palettes x 16 words
[[ $(stat -c %s screen.bin) == 768 ]] || fail "screen.bin is $(stat -c %s screen.bin) bytes"
check_fade screen_black --top "$data/datlib_palettes.s" --after title_Palettes --skip-words 1 --all-palettes \
  --palettes 5 --colors 7
# The reference colour kept through a whole-screen fade: colour 0 of every
# palette ($8000 in the source) is $8000 in every step.
check_fade screen_keep --top three.ngpal --all-palettes --keep 0 --palettes 16 --dark-bit
[[ $(od -An -tx1 -v -w32 screen_keep.bin | awk '{ print $1 $2 }' | sort -u) == 8000 ]] \
  || fail "screen_keep.bin changes colour 0"

# Tables the sources define: a Motorola-syntax label after its xdef and lea,
# colours named by equ; the first of two DATlib tables, exactly its own two
# palettes (6 steps x 2 palettes x 16 words).
check_fade table --top "$data/motorola_names.s" --table TitlePal --bottom white --palettes 8 --dark-bit
check_fade datlib_table --top "$data/datlib_two_tables.s" --table a_Palettes --count-word --all-palettes \
  --palettes 6
[[ $(stat -c %s datlib_table.bin) == 384 ]] || fail "datlib_table.bin is $(stat -c %s datlib_table.bin) bytes"
