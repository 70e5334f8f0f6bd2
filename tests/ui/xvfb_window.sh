#!/usr/bin/env bash
# The real window on a virtual X server: size and centring, drawing, left and right clicks,
# idle CPU while it waits, and closing it as a window manager would (status 0).
# Usage: xvfb_window.sh QOV_BINARY GAME_DATA_DIR OUTPUT_DIR X11_CLOSE_SCRIPT
# Exits 77 (skipped) only where the virtual X server or its tools are not available.
set -u
qov=$1
source_game=$2
out=$3
close_window=$4
timeout=60  # seconds for each wait: the machine may be slow and loaded
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
start_game

info=$(xwininfo -id "$wid")
field() { echo "$info" | sed -n "s/^ *$1: *\\(-\\{0,1\\}[0-9]*\\).*/\\1/p" | head -n 1; }
x=$(field "Absolute upper-left X")
y=$(field "Absolute upper-left Y")
w=$(field "Width")
h=$(field "Height")
name=$(xdotool getwindowname "$wid")
echo "window $wid \"$name\" at $x,$y size ${w}x$h on a 1024x768 screen"
[ "$name" = "夏灯り" ] || fail "caption is \"$name\""
[ "$w" = 506 ] && [ "$h" = 384 ] || fail "client area is ${w}x$h, not 506x384"
want_x=$(((1024 - w) / 2))
want_y=$(((768 - h) / 2))
[ $((x - want_x)) -ge -1 ] && [ $((x - want_x)) -le 1 ] &&
  [ $((y - want_y)) -ge -1 ] && [ $((y - want_y)) -le 1 ] ||
  fail "window at $x,$y, not centred at $want_x,$want_y"

is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
wait_for "the grey strip right of the controls" is 505 100 128,128,128
wait_for "the empty scene picture" is 300 100 64,64,64
wait_for "the message window" is 500 370 255,255,255
cp "$out/shot.png" "$out/xvfb_start.png"

# A left click on the message window ends its wait; the script then shows its menu.
click 250 360
wait_for "the menu header after the left click" menu_shown
cp "$out/shot.png" "$out/xvfb_menu.png"
# A right click on the scene picture hides the menu.
xdotool mousemove --window "$wid" 400 100 click 3
wait_for "the menu hidden by the right click" menu_hidden

# Idle CPU while the menu waits for a click, over 5 seconds.
ticks() { awk '{ print $14 + $15 }' "/proc/$qov_pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
sleep 5
t1=$(ticks)
cpu=$(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / (5 * hz) }')
echo "idle CPU while waiting for a click: $cpu % of a core"
echo "$cpu" >"$out/idle_cpu_percent.txt"
# Only a busy loop fails here; the figure itself is for the report.
awk -v c="$cpu" 'BEGIN { exit !(c < 10) }' || fail "the waiting window uses $cpu % of a core"

close_game "$close_window"
echo "closed, status 0"
