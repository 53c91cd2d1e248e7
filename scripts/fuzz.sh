#!/usr/bin/env bash
# Builds the libFuzzer targets of the palette text parser, the palette file
# reader, the picture import, the table reader (--table with --defines) and
# the PNG encoder (decoded by libpng's reader)
# with clang (fuzzer, address and undefined sanitizers) in fuzz-build/, then
# runs each one after the other.
#   scripts/fuzz.sh [seconds per target, default 120] [target ...]
# e.g. scripts/fuzz.sh 600 table_reader runs only the table reader's target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
shift $(( $# > 0 ? 1 : 0 ))
targets=${*:-palette_text palette_file picture_import table_reader png_export}
build=fuzz-build
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPALFADE_FUZZ=ON -DPALFADE_BUILD_BENCH=OFF -DPALFADE_WERROR=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" > "$build.configure.log"
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' $targets)

# Seeds: the program's own exports and small pictures of every format.
seeds=$build/seeds
mkdir -p "$seeds/palette_text" "$seeds/palette_file" "$seeds/picture_import" "$seeds/table_reader" "$seeds/png_export"
printf 'PAL: dc.w $0000,$7FFF, 0x0888 ; #$0FFF 12\r\n' > "$seeds/palette_text/asm"
printf 'const int fade_colors[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n};\r\n' > "$seeds/palette_text/c"
printf '\xff\xfe$\x000\x00x\x00' > "$seeds/palette_text/utf16"
printf '\x7f\xff\x80\x00\x0f\x00' > "$seeds/palette_file/short"
# Table seeds: the first byte picks the name (0: pal, 1: TitlePalettes, 2: fade_colors) and the reading.
printf '\x00PAL_BLUE equ $000F\n; palettes\npal:\n\tdc.w 2, PAL_BLUE, $7FFF ; two\n\tincbin "pal.bin"\nnext: dc.w 1\n@@\n#define WHITE 0x7FFF\n' > "$seeds/table_reader/asm"
printf '\x22#define RED 0x4F00 /* red */\nconst u16 fade_colors[] = { RED, WHITE, // c\n 0x0000, 12 };\n@@\nWHITE = $7FFF\n' > "$seeds/table_reader/c"
printf '\x21TitlePalettes:\n\t.word 0x7FFF, 0x8000\n\t.set X, 3\n\t.word X\n' > "$seeds/table_reader/gas"
# Numbers by syntax, fills, expressions, literals and includes.
printf '\x00pal:\t.word 010, 0b101, 0x10 | comment\n\tdc.w 0777,%%101,@17,$7FFF|$8000\n' > "$seeds/table_reader/numbers"
printf '\x20N equ 2\npal: dc.w $0111\n\tdcb.w N,$7FFF\n\tds.w 3\n\t.fill 2,2,0x12345\n\t.fill 1\n\tdc.l 0\n' > "$seeds/table_reader/fills"
printf '\x02s = "a \\" /* b"; c = \x27"\x27;\nconst u16 fade_colors[] = { 0777, 010u, (1 << 15), BASE+2, RGB(1,2,3) };\n#define BASE 0x7FFF\n' > "$seeds/table_reader/c_literals"
printf '\x40pal:\n\tincbin "pal.bin", 2, 4\n\t.incbin "pal.bin"\n\tbinclude "pal.bin",0x10\n\tinsert "missing.bin"\n@@\n#define A B\n#define B A\n' > "$seeds/table_reader/includes"
head -c 4096 /dev/urandom > "$seeds/png_export/random"
if command -v convert > /dev/null; then
  for ext in png bmp gif jpg; do
    convert -size 5x3 xc:red -fill blue -draw 'point 0,0' "$seeds/picture_import/seed.$ext"
  done
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1
for name in $targets; do
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  echo "== fuzz_$name for ${seconds}s"
  QT_QPA_PLATFORM=offscreen "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$build/" "$corpus" "$seeds/$name"
done
