#!/usr/bin/env bash
# Exports read back by the tools they are meant for:
#  - an assembler export assembled by GNU as in MRI mode gives exactly the
#    bytes of the binary export of the same fade;
#  - the C exports compile as strict C99;
#  - an assembler and a C export of a palette, imported as text, give the
#    palette again.
set -euo pipefail
cli=$1
work=$2
as=m68k-linux-gnu-as
objcopy=m68k-linux-gnu-objcopy
for tool in "$as" "$objcopy" gcc cmp; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool not found"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# A palette with every kind of word: dark bits, odd levels, high digits.
printf '$0000 $7FFF $8000 $FFFF $4F00 $0842 $DA52 $1234 $ABCD $0F0F $7001 $2010 $0100 $8888 $5555 $AAAA\n' > words.txt

check_fade() {
  local name=$1; shift
  "$cli" fade "$@" -o "$name.s"
  "$cli" fade "$@" -o "$name.bin"
  "$cli" fade "$@" -o "$name.c"
  "$as" -M "$name.s" -o "$name.o"
  "$objcopy" -O binary -j .text "$name.o" "$name.from-as.bin"
  cmp "$name.bin" "$name.from-as.bin"
  gcc -std=c99 -Wall -Wextra -pedantic -Werror -c "$name.c" -o "$name.c.o"
  echo "ok: $name"
}

check_fade default --top words.txt --bottom white
check_fade one-colour --top words.txt --colors 1 --palettes 3
check_fade largest --top words.txt --bottom black --palettes 256 --colors 16 --dark-bit
check_fade walk --top white --bottom words.txt --palettes 40 --simple --dark-bit

"$cli" palette words.txt -o pal.ngpal
for format in s c; do
  "$cli" palette words.txt --step 7 -o "pal.$format"
  "$cli" palette "pal.$format" -o "back-from-$format.ngpal"
  cmp pal.ngpal "back-from-$format.ngpal"
done
gcc -std=c99 -Wall -Wextra -pedantic -Werror -c pal.c -o pal.c.o
"$as" -M pal.s -o pal.o
"$objcopy" -O binary -j .text pal.o pal.from-as.bin
cmp pal.ngpal pal.from-as.bin
echo "ok: palette round trips"
