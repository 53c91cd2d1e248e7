#!/usr/bin/env bash
# install_test.sh BUILD_DIR SCRATCH APP_ID: installs the build into SCRATCH
# with DESTDIR and checks the installed files as a desktop and a shell use them.
set -euo pipefail
build=$1 scratch=$2 id=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
DESTDIR="$scratch" cmake --install "$build" --prefix /usr > /dev/null
root=$scratch/usr

expected="bin/palfade
bin/palfade-cli
share/applications/$id.desktop
share/bash-completion/completions/palfade-cli
share/doc/palfade/changelog.gz
share/doc/palfade/copyright
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/palfade-cli.1.gz
share/man/man1/palfade.1.gz
share/metainfo/$id.metainfo.xml
share/mime/packages/$id.xml"
installed=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$(LC_ALL=C sort <<< "$expected")" ] ||
  fail "installed files differ:$(diff <(LC_ALL=C sort <<< "$expected") - <<< "$installed")"

# PNG width and height are the big-endian words at bytes 16 and 20.
for size in 48 256; do
  dims=$(od -An -tu1 -j16 -N8 "$root/share/icons/hicolor/${size}x$size/apps/$id.png" | tr -s ' ')
  word=" 0 0 $((size >> 8)) $((size & 255))"
  [ "$dims" = "$word$word" ] || fail "$size px icon is$dims"
done

desktop-file-validate "$root/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" > /dev/null
xmllint --noout "$root/share/mime/packages/$id.xml"
XDG_DATA_DIRS=$root/share update-mime-database "$root/share/mime"
grep -qx 'application/x-ngpal:\*\.ngpal' "$root/share/mime/globs" || fail "*.ngpal is no application/x-ngpal"

for page in palfade palfade-cli; do
  file=$root/share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "$page(1): $warnings"
  sections=$(MANWIDTH=80 man -l "$file" 2> /dev/null | grep -E '^[A-Z][A-Z ]+$' | tr '\n' ,)
  for s in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' EXAMPLES FILES; do
    [[ ,$sections == *,$s,* ]] || fail "$page(1) has no $s section: $sections"
  done
done

# Outputs are kept whole before grep -q looks at them: grep stops reading at
# the first match, and pipefail would count the writer's broken pipe.
fade=$("$root/bin/palfade-cli" fade --top white --palettes 3 --colors 2 --format c -o -)
grep -q '0x0000, 0x0888,  // step 2' <<< "$fade" || fail "the installed palfade-cli wrote no fade"
[ "$(QT_QPA_PLATFORM=offscreen "$root/bin/palfade" --version)" = "palfade $("$root/bin/palfade-cli" --version | cut -d' ' -f2)" ] ||
  fail "palfade --version"

# offers WORD WORDS...: completing the last of WORDS offers WORD.
offers() {
  local word=$1 offered
  shift
  offered=$(bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _palfade_cli
                     printf "%s\n" "${COMPREPLY[@]}"' _ "$root/share/bash-completion/completions/palfade-cli" "$@")
  grep -qx -- "$word" <<< "$offered" || fail "completing '$*' offers no $word: $offered"
}
offers preview palfade-cli ''
offers --palettes palfade-cli fade --pal
offers asm palfade-cli fade --format ''
echo "installed files all present and valid"
