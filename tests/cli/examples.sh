#!/usr/bin/env bash
# Every command example palfade shows its users runs as it is written:
#  - the README: each line of a ```sh block that runs palfade-cli or a tool
#    of the 68000 toolchain (m68k-linux-gnu-*), and every ```make block, with
#    each target it names and what its pattern rules make of them;
#  - `palfade-cli --help`: the command lines after "Examples";
#  - the manual page: the commands of its EXAMPLES section.
# They run in folders of small fixtures (tests/data) laid out under the names
# the examples use, in the order they are written, palfade-cli on PATH. A
# recipe must exit 0; an example meant to fail ends its line with "# exit N".
# Makefile blocks run with AS=m68k-linux-gnu-as, the assembler the README
# names for Debian; a line whose tool is not installed is skipped, said so.
#   examples.sh CLI CLI_DOCS SECTIONS README DATA WORK
set -uo pipefail
cli=$1 docs=$2 sections=$3 readme=$4 data=$5 work=$6

# The names the examples use, and the fixture each stands for.
fixtures='
title.ngpal      checkers.pal
hero.ngpal       checkers.pal
stage.ngpal      checkers.pal
night.ngpal      checkers.pal
logo.png         table_order.png
title.png        table_order.png
tiles.png        table_order.png
colours.s        title_palettes.s
words.txt        title_palettes.s
charPals.s       datlib_palettes.s
title.s          vasm_title.s
checkers.pal     checkers.pal
stage.c          named_colours.c
colours.h        named_colours.h
out/charPals.s   datlib_palettes.s
res/title.s      vasm_title.s
res/checkers.pal checkers.pal
src/stage.c      named_colours.c
src/colours.h    named_colours.h
gfx/logo.png     table_order.png
gfx/checkers.pal checkers.pal
lospec.hex       lospec.hex
'

rm -rf "$work"
mkdir -p "$work/bin"
ln -s "$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")" "$work/bin/palfade-cli"
export PATH="$work/bin:$PATH"
as=m68k-linux-gnu-as

failures=0 ran=0 skipped=0
# A fresh folder of fixtures for one source of examples.
fixture_folder() {
  local folder=$work/$1 name fixture
  mkdir -p "$folder"
  while read -r name fixture; do
    [ -n "$name" ] || continue
    mkdir -p "$folder/$(dirname "$name")"
    cp "$data/$fixture" "$folder/$name"
  done <<< "$fixtures"
  echo "$folder"
}

# run WHERE FOLDER COMMAND: the command through bash in FOLDER.
run() {
  local where=$1 folder=$2 command=$3 expected=0 tool
  if [[ $command =~ \#\ exit\ ([0-9]+)[[:space:]]*$ ]]; then
    expected=${BASH_REMATCH[1]}
  fi
  for tool in $(grep -oE '(^|[|;&( ])m68k-linux-gnu-[a-z+]+' <<< "$command" | tr -d ' |;&('); do
    if ! command -v "$tool" > /dev/null; then
      echo "skipped ($tool is not installed), $where: $command"
      skipped=$((skipped + 1))
      return
    fi
  done
  ran=$((ran + 1))
  (cd "$folder" && bash -c "$command" < /dev/null > "$work/stdout" 2> "$work/stderr")
  local status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "FAIL, $where: exit $status, not $expected: $command"
    sed 's/^/    /' "$work/stderr"
    failures=$((failures + 1))
  fi
}

# run_make WHERE FOLDER MAKEFILE: every target the block names, and what its
# pattern rules (T%: P%) make of those that match P%.
run_make() {
  local where=$1 folder=$2 makefile=$3 targets=() target made rule from to
  while IFS= read -r rule; do
    target=${rule%%:*}
    [[ $target == *%* ]] || targets+=("$target")
  done < <(grep -E '^[^[:space:]#=]+:' "$makefile")
  made=("${targets[@]}")
  while IFS= read -r rule; do
    to=${rule%%:*}
    from=$(awk '{print $1}' <<< "${rule#*:}")
    command -v "$as" > /dev/null || { echo "skipped ($as is not installed), $where: $to"; continue; }
    for target in "${targets[@]}"; do
      if [[ $target == ${from%%\%*}*${from#*%} ]]; then
        local stem=${target#${from%%\%*}}
        stem=${stem%${from#*%}}
        made+=("${to%%\%*}$stem${to#*%}")
      fi
    done
  done < <(grep -E '^[^[:space:]#=]*%[^:=]*:' "$makefile")
  run "$where" "$folder" "make -s -f '$makefile' AS=$as ${made[*]}"
}

# The README: its sh lines (continued lines joined) and make blocks, in order.
readme_folder=$(fixture_folder readme)
block=0 lang= line= command=
while IFS= read -r line || [ -n "$line" ]; do
  if [[ $line =~ ^\`\`\`([a-z]*)$ ]]; then
    if [ -z "$lang" ]; then
      lang=${BASH_REMATCH[1]:-none}
      block=$((block + 1))
      : > "$work/block$block"
    else
      [ "$lang" = make ] && run_make "README block $block" "$readme_folder" "$work/block$block"
      lang=
    fi
    continue
  fi
  case $lang in
    make) printf '%s\n' "$line" >> "$work/block$block" ;;
    sh)
      command+=${line%\\}
      [[ $line == *\\ ]] && continue
      if [[ $command =~ (^|[|;&[:space:]])(palfade-cli|m68k-linux-gnu-[a-z+]+)[[:space:]] ]]; then
        run "README block $block" "$readme_folder" "$command"
      fi
      command=
      ;;
  esac
done < "$readme"
readme_ran=$ran

# --help: the indented command lines from the first "Examples" heading to the
# next heading of another kind ("Other:").
help_folder=$(fixture_folder help)
command=
while IFS= read -r line; do
  line=${line#"${line%%[![:space:]]*}"}
  command+=${line%\\}
  [[ $line == *\\ ]] && continue
  [ -n "$command" ] && run "--help" "$help_folder" "$command"
  command=
done < <("$cli" --help | awk '/^Examples/ { on = 1; next } on && /^[A-Z].*:$/ { exit } on && /^  / { print }')
help_ran=$((ran - readme_ran))

# The manual page: the bold command lines of EXAMPLES, roff's escapes undone.
man_folder=$(fixture_folder man)
"$docs" man "$sections" "$work/palfade-cli.1" || { echo "FAIL: no manual page"; exit 1; }
while IFS= read -r line; do
  run "manual page" "$man_folder" "$line"
done < <(sed -n '/^\.SH EXAMPLES/,/^\.SH /p' "$work/palfade-cli.1" | sed -n 's/^\.B //p' |
         sed -e 's/\\-/-/g' -e 's/\\e/\\/g' -e 's/\\(aq/'"'"'/g')
man_ran=$((ran - readme_ran - help_ran))

echo "examples run: $readme_ran from the README, $help_ran from --help, $man_ran from the manual page;" \
     "$skipped skipped; $failures failed"
for source in readme_ran help_ran man_ran; do
  [ "${!source}" -gt 0 ] || { echo "FAIL: no example found (${source%_ran})"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ]
