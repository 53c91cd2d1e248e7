#!/usr/bin/env bash
# Builds the libFuzzer targets of the palette text parser, the palette file
# reader, the picture import, the table reader (--table with --defines) and
# the PNG encoder (decoded by libpng's reader)
# with clang (fuzzer, address and undefined sanitizers) in fuzz-build/, then
# runs each one after the other.
#   scripts/fuzz.sh [seconds per target, default 120]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
build=fuzz-build
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPALFADE_FUZZ=ON -DPALFADE_BUILD_BENCH=OFF -DPALFADE_WERROR=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" > "$build.configure.log"
cmake --build "$build" -j2 --target fuzz_palette_text fuzz_palette_file fuzz_picture_import fuzz_table_reader fuzz_png_export

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
head -c 4096 /dev/urandom > "$seeds/png_export/random"
if command -v convert > /dev/null; then
  for ext in png bmp gif jpg; do
    convert -size 5x3 xc:red -fill blue -draw 'point 0,0' "$seeds/picture_import/seed.$ext"
  done
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1
for name in palette_text palette_file picture_import table_reader png_export; do
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  echo "== fuzz_$name for ${seconds}s"
  QT_QPA_PLATFORM=offscreen "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$build/" "$corpus" "$seeds/$name"
done
