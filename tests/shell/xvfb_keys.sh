#!/usr/bin/env bash
# A game played in the real window on a virtual X server with keys alone, then again with the
# player's menu opened and closed at every wait, reaches the save file that clicks reach: three
# pages, a menu and its submenu, the item window browsed and used, the save. The text hook says
# when each wait has come. Exits 77 without Xvfb.
# Usage: xvfb_keys.sh QOV_BINARY OUTPUT_DIR X11_CLOSE_SCRIPT
set -u
qov=$1 out=$2
source_game="$(dirname "$0")/../data/shell/keys"
timeout=60
qov_args=(--texthook)
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"

lines_shown() { [ "$(wc -l <"$out/qov.stdout")" -ge "$1" ]; }
# Waits for the n-th thing shown, then does the rest of the arguments.
at() {
  local n=$1
  shift
  wait_for "the wait after line $n of the text hook" lines_shown "$n"
  "$@"
}
# The player's menu opens with the middle button (Esc is the item window's own key) and
# closes with Esc; then the key.
with_menu=no
menu_seen() { [ "$(count 160 100 180 100 0,0,48)" -gt 1000 ]; }
menu_gone() { ! menu_seen; }
key() {
  if [ "$with_menu" = yes ]; then
    xdotool mousemove --window "$wid" 450 200 click 2
    wait_for "the player's menu" menu_seen
    xdotool key --window "$wid" Escape
    wait_for "the player's menu to close" menu_gone
  fi
  xdotool key --window "$wid" "$@"
}
ended() {
  for _ in $(seq 300); do
    if ! kill -0 "$qov_pid" 2>/dev/null; then
      wait "$qov_pid" || fail "qov ended with status $?"
      qov_pid=""
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end by itself"
}
# One play: "keys" or "clicks"; the save file is left as $out/<name>.DAT.
play() {
  local how=$1 name=$2
  start_game
  if [ "$how" = clicks ]; then
    for n in 1 2 3; do at "$n" click 250 360; done
    at 4 click 372 302       # 移動
    at 5 click 252 302       # 海へ
    at 6 click 252 302       # 持ち物
    at 7 click 187 42        # ＞
    at 8 click 187 42        # ＞
    at 9 click 175 77        # 使う
    at 10 click 250 360
  else
    for n in 1 2 3; do at "$n" key Return; done
    at 4 key Right           # from 話す to 移動
    at 4 key space           # its submenu
    at 5 key z               # 海へ, the first entry
    at 6 key Return          # 持ち物
    at 7 key Right
    at 8 key Right
    at 9 key Return          # 使う, the item window's own key
    at 10 key Return
  fi
  ended
  cp "$game/TOVELI2.DAT" "$out/$name.DAT" || fail "$name: no save file"
  cleanup
  xvfb_pid="" game=""
}

play clicks clicks
play keys keys
with_menu=yes
play keys keys-and-menu
cmp "$out/clicks.DAT" "$out/keys.DAT" || fail "keys alone saved other bytes than clicks"
cmp "$out/clicks.DAT" "$out/keys-and-menu.DAT" || fail "the player's menu at each wait changed the save"
echo "ok"
