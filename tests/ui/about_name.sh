#!/bin/sh
# Runs the About box's window-name test on its own Xvfb server. Exits 77
# (skipped) where Xvfb or xprop is not installed.
set -eu
test_binary=$1
command -v Xvfb >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1 || exit 77

fifo_dir=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"
# -displayfd picks a free display number and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$fifo_dir/display" 2>/dev/null &
server=$!
read -r display <"$fifo_dir/display"
DISPLAY=:$display QT_QPA_PLATFORM=xcb "$test_binary"
