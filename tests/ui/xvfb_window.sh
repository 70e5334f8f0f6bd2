#!/usr/bin/env bash
# The real window on a virtual X server: size and centring, drawing, left and right clicks,
# idle CPU while it waits, and closing it as a window manager would (status 0).
# Usage: xvfb_window.sh QOV_BINARY GAME_DATA_DIR OUTPUT_DIR X11_CLOSE_SCRIPT
# Exits 77 (skipped) only where the virtual X server or its tools are not available.
set -u
qov=$1
data=$2
out=$3
close_window=$4
mkdir -p "$out"

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; [ -f "$out/qov.stderr" ] && sed 's/^/  qov: /' "$out/qov.stderr"; exit 1; }

for tool in Xvfb xdotool import xwininfo convert python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

xvfb_pid=""
qov_pid=""
game=$(mktemp -d)
cleanup() {
  [ -n "$qov_pid" ] && kill "$qov_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$game"
}
trap cleanup EXIT
trap "exit 1" INT TERM PIPE

screen_w=1024
screen_h=768
# The server picks a free display number itself, so tests that run at once never collide.
Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp 3>"$out/display" \
  >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 100); do
  [ -s "$out/display" ] && display=":$(head -n 1 "$out/display")" && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$display" ] || skip "Xvfb cannot start here ($(head -c 300 "$out/xvfb.log"))"
export DISPLAY=$display
up=0
for _ in $(seq 100); do
  if xwininfo -root >/dev/null 2>&1; then up=1; break; fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ $up = 1 ] || skip "Xvfb cannot start here ($(head -c 300 "$out/xvfb.log"))"

cp "$data/wnatu.QOV" "$game/"
SDL_AUDIODRIVER=dummy "$qov" "$game" >"$out/qov.stdout" 2>"$out/qov.stderr" &
qov_pid=$!

wid=""
for _ in $(seq 300); do
  wid=$(xdotool search --onlyvisible --pid "$qov_pid" 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  kill -0 "$qov_pid" 2>/dev/null || fail "qov ended before showing its window"
  sleep 0.1
done
[ -n "$wid" ] || fail "no window appeared"

info=$(xwininfo -id "$wid")
field() { echo "$info" | sed -n "s/^ *$1: *\\(-\\{0,1\\}[0-9]*\\).*/\\1/p" | head -n 1; }
x=$(field "Absolute upper-left X")
y=$(field "Absolute upper-left Y")
w=$(field "Width")
h=$(field "Height")
name=$(xdotool getwindowname "$wid")
echo "window $wid \"$name\" at $x,$y size ${w}x$h on a ${screen_w}x$screen_h screen"
[ "$name" = "夏灯り" ] || fail "caption is \"$name\""
[ "$w" = 506 ] && [ "$h" = 384 ] || fail "client area is ${w}x$h, not 506x384"
want_x=$(((screen_w - w) / 2))
want_y=$(((screen_h - h) / 2))
[ $((x - want_x)) -ge -1 ] && [ $((x - want_x)) -le 1 ] &&
  [ $((y - want_y)) -ge -1 ] && [ $((y - want_y)) -le 1 ] ||
  fail "window at $x,$y, not centred at $want_x,$want_y"

# The colour of a window pixel in the screenshot, as "r,g,b".
shot() { import -window root "$out/screen.png" 2>/dev/null; }
pixel() {
  convert "$out/screen.png" -format \
    "%[fx:int(255*p{$((x + $1)),$((y + $2))}.r+0.5)],%[fx:int(255*p{$((x + $1)),$((y + $2))}.g+0.5)],%[fx:int(255*p{$((x + $1)),$((y + $2))}.b+0.5)]" \
    info:
}
# Waits until the window pixel (dx, dy) shows the colour r,g,b.
wait_pixel() {
  local got=""
  for _ in $(seq 100); do
    shot
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] && return 0
    sleep 0.1
  done
  fail "pixel $1,$2 is $got, expected $3 ($4)"
}

wait_pixel 505 100 128,128,128 "the grey strip right of the controls"
wait_pixel 300 100 64,64,64 "the empty scene picture"
wait_pixel 500 370 255,255,255 "the message window"
cp "$out/screen.png" "$out/xvfb_start.png"

# A left click on the message window ends its wait; the script then shows its menu, whose
# header is green.
xdotool mousemove $((x + 250)) $((y + 360)) click 1
wait_pixel $((72 + 119)) $((294 + 1)) 0,128,0 "the menu header after the left click"
cp "$out/screen.png" "$out/xvfb_menu.png"
# A right click on the scene picture hides the menu.
xdotool mousemove $((x + 400)) $((y + 100)) click 3
wait_pixel $((72 + 119)) $((294 + 1)) 64,64,64 "the menu hidden by the right click"

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

python3 "$close_window" "$wid" || fail "could not send the close request"
status=""
for _ in $(seq 100); do
  if ! kill -0 "$qov_pid" 2>/dev/null; then
    wait "$qov_pid"
    status=$?
    break
  fi
  sleep 0.1
done
qov_pid_done=$qov_pid
qov_pid=""
[ -n "$status" ] || { kill "$qov_pid_done"; fail "qov did not end after the close request"; }
[ "$status" = 0 ] || fail "qov ended with status $status"
echo "closed, status 0"
