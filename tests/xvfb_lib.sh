# The game in the real window on a virtual X server, driven with xdotool and looked at with
# ImageMagick; for the real-window tests and make_screenshot.sh. The caller sets qov,
# source_game, out and timeout (and, if it likes, the array qov_args of options and the text
# settings of the player's settings file), then calls start_game.

skip() { echo "SKIP: $*"; exit 77; }
fail() {
  echo "FAIL: $*"
  [ -f "$out/shot.png" ] && cp "$out/shot.png" "$out/failed.png" && echo "  last shot: $out/failed.png"
  [ -f "$out/qov.stderr" ] && sed 's/^/  qov: /' "$out/qov.stderr"
  exit 1
}

xvfb_pid="" qov_pid="" game=""
cleanup() {
  [ -n "$qov_pid" ] && kill "$qov_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$game" ] && rm -rf "$game"
}

# Starts Xvfb; sets DISPLAY, and the player's own settings start from nothing.
start_xvfb() {
  for tool in Xvfb xdotool import xwininfo convert python3 cmp; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
  trap cleanup EXIT
  trap "exit 1" INT TERM PIPE
  mkdir -p "$out"
  rm -f "$out/failed.png"
  # The server picks a free display itself, so tests that run at once never collide.
  # -noreset: the server resets when its last client leaves, and a connection made meanwhile
  # fails; the probe below is such a client.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$out/display" >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local tries=0
  until [ -s "$out/display" ] && DISPLAY=":$(head -n 1 "$out/display")" xwininfo -root >/dev/null 2>&1; do
    kill -0 "$xvfb_pid" 2>/dev/null && [ $((tries += 1)) -le 100 ] ||
      skip "Xvfb cannot start here ($(head -c 300 "$out/xvfb.log"))"
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$out/display")"
  # The player's own settings start from nothing and stay out of the user's home.
  rm -rf "$out/config"
  export XDG_CONFIG_HOME="$out/config"
  if [ -n "${settings:-}" ]; then
    mkdir -p "$XDG_CONFIG_HOME/qov"
    printf '%s\n' "$settings" >"$XDG_CONFIG_HOME/qov/qov.ini"
  fi
}

# Starts qov with the arguments and waits for its window; sets qov_pid and wid.
start_qov() {
  SDL_AUDIODRIVER=dummy "$qov" "$@" >"$out/qov.stdout" 2>"$out/qov.stderr" &
  qov_pid=$!
  for _ in $(seq 300); do
    wid=$(xdotool search --onlyvisible --pid "$qov_pid" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && return 0
    kill -0 "$qov_pid" 2>/dev/null || fail "qov ended before showing its window"
    sleep 0.1
  done
  fail "no window appeared"
}

# Starts Xvfb and qov on a copy of the game without its save file; sets game and wid.
start_game() {
  start_xvfb
  game=$(mktemp -d)
  cp "$source_game"/* "$game/"
  rm -f "$game/TOVELI2.DAT"
  # qov_args: options before the game folder, if the test sets them.
  start_qov ${qov_args[@]+"${qov_args[@]}"} "$game"
}

# Asks the window to close as a window manager does; qov must end with status 0.
close_game() {
  python3 "$1" "$wid" || fail "could not send the close request"
  for _ in $(seq 300); do
    if ! kill -0 "$qov_pid" 2>/dev/null; then
      wait "$qov_pid"
      local status=$?
      qov_pid=""
      [ "$status" = 0 ] || fail "qov ended with status $status"
      return 0
    fi
    sleep 0.1
  done
  fail "qov did not end after the close request"
}

# Shots of the window alone: pixel (x, y) of a shot is pixel (x, y) of the frame.
shot() {
  kill -0 "$qov_pid" 2>/dev/null || fail "qov ended"
  import -window "$wid" "$out/shot.png" 2>/dev/null
}
pixel() {
  convert "$out/shot.png" -format \
    "%[fx:int(255*p{$1,$2}.r+0.5)],%[fx:int(255*p{$1,$2}.g+0.5)],%[fx:int(255*p{$1,$2}.b+0.5)]" info:
}
digest() { convert "$out/shot.png" -crop "$3x$4+$1+$2" +repage -format "%#" info:; }
# Pixels of the rectangle x y w h that have the colour r,g,b.
count() {
  convert "$out/shot.png" -crop "$3x$4+$1+$2" +repage -fill black +opaque "rgb($5)" \
    -fill white -opaque "rgb($5)" -format "%[fx:int(mean*w*h+0.5)]" info:
}
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }

# Polls with a new shot each time until the command succeeds.
wait_for() {
  local what=$1 end=$((SECONDS + timeout))
  shift
  until shot && "$@"; do
    [ $SECONDS -ge $end ] && fail "timed out waiting for $what"
    sleep 0.2
  done
}
menu_shown() { [ "$(pixel 188 295)" = 0,128,0 ]; }
menu_hidden() { ! menu_shown; }
items_open() { [ "$(pixel 190 147)" = 255,192,128 ]; }
items_closed() { ! items_open; }
changed() { [ "$(digest "$@")" != "$before" ]; }
# Clicks and waits for the rectangle x y w h to change.
click_until_changed() {
  local what=$1 x=$2 y=$3
  shift 3
  shot
  before=$(digest "$@")
  click "$x" "$y"
  wait_for "$what" changed "$@"
}

# Clicks the message window until a menu waits (a menu ignores the click).
to_menu() {
  local end=$((SECONDS + timeout))
  until shot && menu_shown; do
    [ $SECONDS -ge $end ] && fail "timed out clicking through the messages to a menu"
    click 250 358
    sleep 0.4
  done
}
# The menu's labels: the header and entries 0 to 4.
declare -A label=([head]="132 302" [0]="252 302" [1]="372 302" [2]="132 318" [3]="252 318"
                  [4]="372 318")
# An entry that leads to messages: the menu goes away.
choose() {
  # shellcheck disable=SC2086
  click ${label[$1]}
  wait_for "the menu to close after entry $1" menu_hidden
}
# A submenu entry: the header's caption changes.
# shellcheck disable=SC2086
choose_submenu() { click_until_changed "the submenu of entry $1" ${label[$1]} 72 294 121 16; }
# The item window: open it, "＜" (164) or "＞" (187) to the next item, "使う".
open_items() {
  click 252 318
  wait_for "the item window" items_open
}
browse() { click_until_changed "the item window to show another item" "$1" 42 32 124 166 27; }
use_item() {
  click 175 77
  wait_for "the item window to close" items_closed
}
