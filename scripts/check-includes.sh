#!/usr/bin/env bash
# The layers of src/ and what each may include. Every folder of src/ is one
# layer; a layer includes only its own headers and those of the layers it is
# allowed below it, uses only the Qt modules and libraries written here, and
# its CMake target links only what it may include. Fails with file:line and
# the include for each breach. Tests and benchmarks are not checked.
#   scripts/check-includes.sh [SRC_DIR]   (default: src/ of this checkout)
set -euo pipefail

# The order, lowest first: a layer may include only layers before it.
# cli and app are the two programs at the top: neither includes the other.
order=(core render io text pictures sources exports dialogs ui cli app)
declare -A rank=([core]=0 [render]=1 [io]=2 [text]=3 [pictures]=4 [sources]=5 [exports]=6 [dialogs]=7 [ui]=8 [cli]=9 [app]=9)

# layer     | the layers it may include     | Qt modules       | other headers
rules='
core        |                                |                  |
render      | core                           |                  |
io          | core                           | Core             | png.h
text        | core io                        | Core             |
pictures    | core io                        | Core Gui         | png.h gif_lib.h
sources     | core io text pictures          | Core Gui         |
exports     | core render io text pictures sources | Core Gui   | png.h zlib.h gif_lib.h
dialogs     | core                           | Core Gui Widgets |
ui          | core render io text pictures sources exports dialogs | Core Gui Widgets | xcb/xcb.h
cli         | core render io text pictures sources exports | Core Gui   | unistd.h
app         | core render io text pictures sources exports dialogs ui | Core Gui Widgets |
'
# png.h in io: libpng's message hooks, shared by reading and writing.
# unistd.h in cli and xcb in ui: platform files the portable build leaves out
# (scripts/check-portable.sh).

src=$(cd "${1:-$(dirname "$0")/../src}" && pwd)
cd "$src/.."
top=$(basename "$src")

declare -A layers modules libraries
while IFS='|' read -r layer uses qt libs; do
  layer=$(echo $layer)
  [ -n "$layer" ] || continue
  layers[$layer]=$(echo $uses)
  modules[$layer]=$(echo $qt)
  libraries[$layer]=$(echo $libs)
done <<< "$rules"

failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}
has() { # word list...
  local word=$1; shift
  for w in "$@"; do [ "$w" = "$word" ] && return 0; done
  return 1
}

# The table itself keeps to the order.
for layer in "${order[@]}"; do
  for used in ${layers[$layer]}; do
    [ "${rank[$used]}" -lt "${rank[$layer]}" ] ||
      fail "scripts/check-includes.sh: $layer may not use $used, which is not below it"
  done
done

# Which Qt module a header such as <QFile> or <QtCore/qfile.h> belongs to.
qt_headers=${QT_HEADERS:-}
if [ -z "$qt_headers" ]; then
  qt_headers=$(qtpaths6 --query QT_INSTALL_HEADERS 2> /dev/null || true)
fi
[ -d "$qt_headers" ] || { echo "check-includes: no Qt headers found: Qt modules not checked" >&2; qt_headers=; }
declare -A module_of
qt_module() {
  local header=$1
  if [[ $header == Qt*/* ]]; then
    local m=${header%%/*}
    echo "${m#Qt}"
    return
  fi
  if [ -z "${module_of[$header]+x}" ]; then
    local found
    found=$(ls -d "$qt_headers"/Qt*/"$header" 2> /dev/null | head -n 1 || true)
    found=${found%/*}
    found=${found##*/}
    module_of[$header]=${found#Qt}
  fi
  echo "${module_of[$header]}"
}

for dir in "$top"/*/; do
  layer=$(basename "$dir")
  if [ -z "${layers[$layer]+x}" ]; then
    fail "$top/$layer: a folder that is no layer of scripts/check-includes.sh (add it to the table)"
    continue
  fi
  allowed=($layer ${layers[$layer]})
  while IFS=: read -r file line text; do
    if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      [[ $header == */* ]] || continue # beside the file: its own layer
      used=${header%%/*}
      if [ -z "${rank[$used]+x}" ]; then
        [ -e "$top/$header" ] && fail "$file:$line: #include \"$header\": no layer $used"
        continue # a generated header of the layer's own build
      fi
      has "$used" "${allowed[@]}" ||
        fail "$file:$line: #include \"$header\": $layer may include ${layers[$layer]:-only itself}, not $used"
    elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      if [[ $header =~ ^[a-z_0-9]+$ ]]; then
        continue # the C++ standard library
      elif [[ $header == Q* ]]; then
        if [ -z "${modules[$layer]}" ]; then
          fail "$file:$line: #include <$header>: $layer uses the standard library only, no Qt"
        elif [ -n "$qt_headers" ]; then
          module=$(qt_module "$header")
          if [ -z "$module" ]; then
            fail "$file:$line: #include <$header>: no such Qt header"
          elif ! has "$module" ${modules[$layer]}; then
            fail "$file:$line: #include <$header>: Qt $module; $layer may use Qt ${modules[$layer]// /, }"
          fi
        fi
      elif ! has "$header" ${libraries[$layer]}; then
        fail "$file:$line: #include <$header>: $layer may include ${libraries[$layer]:-no headers} besides the standard library${modules[$layer]:+ and Qt}"
      fi
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' -r --include='*.h' --include='*.cpp' --include='*.in' "$dir" | sort -t: -k1,1 -k2,2n)

  # The CMake target links only what its sources may include.
  cmake_file=${dir%/}/CMakeLists.txt
  [ -f "$cmake_file" ] || continue
  links=$(tr '\n' ' ' < "$cmake_file" | grep -oE 'target_link_libraries\([^)]*\)' || true)
  for target in $(echo "$links" | sed -E 's/target_link_libraries\([[:space:]]*[^[:space:]]+//' | grep -oE 'palfade_[a-z]+|Qt6::[A-Za-z]+'); do
    case $target in
      palfade_*)
        has "${target#palfade_}" "${allowed[@]}" ||
          fail "$cmake_file: links $target: $layer may use ${layers[$layer]:-only itself}"
        ;;
      Qt6::*)
        has "${target#Qt6::}" ${modules[$layer]} ||
          fail "$cmake_file: links $target: $layer may use Qt ${modules[$layer]:-not at all}"
        ;;
    esac
  done
done

if [ $failures -gt 0 ]; then
  echo "check-includes: $failures includes or links against the layer order (see the table in scripts/check-includes.sh)" >&2
  exit 1
fi
echo "check-includes: every include and link of $top/ keeps to the layer order"
