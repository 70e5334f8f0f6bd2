#!/usr/bin/env bash
# The real window on a virtual X server: caption, size and centring, drawing, left and right
# clicks, and closing it as a window manager would (status 0). Exits 77 without Xvfb.
# Usage: xvfb_window.sh QOV_BINARY GAME_DATA_DIR OUTPUT_DIR X11_CLOSE_SCRIPT
set -u
qov=$1 source_game=$2 out=$3
timeout=60
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
start_game

info=$(xwininfo -id "$wid")
field() { echo "$info" | sed -n "s/^ *$1: *\\(-\\{0,1\\}[0-9]*\\).*/\\1/p" | head -n 1; }
x=$(field "Absolute upper-left X") y=$(field "Absolute upper-left Y")
w=$(field "Width") h=$(field "Height")
name=$(xdotool getwindowname "$wid")
[ "$name" = "夏灯り" ] || fail "caption is \"$name\""
[ "$w" = 506 ] && [ "$h" = 384 ] || fail "client area is ${w}x$h, not 506x384"
dx=$((x - (1024 - w) / 2)) dy=$((y - (768 - h) / 2))
[ ${dx#-} -le 1 ] && [ ${dy#-} -le 1 ] || fail "window at $x,$y is not centred"

is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
wait_for "the grey strip right of the controls" is 505 100 128,128,128
wait_for "the empty scene picture" is 300 100 64,64,64
wait_for "the message window" is 500 370 255,255,255
click 250 360  # ends the message's wait; the script then shows its menu
wait_for "the menu after the left click" menu_shown
xdotool mousemove --window "$wid" 400 100 click 3
wait_for "the menu hidden by the right click" menu_hidden
close_game "$4"
echo "ok"
