#!/usr/bin/env bash
# Save states in the real window on a virtual X server: F5 at the second page of a message,
# the window closed; started again with --resume, or plainly and F9, the second page shows and
# the game goes on to the same save file as a play never stopped. Exits 77 without Xvfb.
# Usage: xvfb_states.sh QOV_BINARY GAME_DATA_DIR OUTPUT_DIR X11_CLOSE_SCRIPT
set -u
qov=$1 source_game=$2 out=$3 close_script=$4
timeout=60
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
start_xvfb
# One game folder for every run: its states are found by its path.
game=$(mktemp -d)
cp "$source_game"/* "$game/"
rm -rf "$out/data"
export XDG_DATA_HOME="$out/data"
states="$XDG_DATA_HOME/qov/states"

message=(0 336 504 45)
page_is() { [ "$(digest "${message[@]}")" = "$1" ]; }
# Text in the message window that has stopped changing.
page_written() {
  local now
  now=$(digest "${message[@]}")
  sleep 0.3
  shot
  [ "$(digest "${message[@]}")" = "$now" ] && [ "$(count "${message[@]}" 0,0,0)" -gt 0 ]
}
second_page() { ! page_is "$first" && page_written; }
ended() { ! kill -0 "$qov_pid" 2>/dev/null; }
# Clicks the message window until the game ends by its EXIT; its status must be 0.
play_to_end() {
  local end=$((SECONDS + timeout))
  until ended; do
    [ $SECONDS -ge $end ] && fail "the game did not end"
    click 250 358 2>/dev/null
    sleep 0.4
  done
  wait "$qov_pid"
  local status=$?
  qov_pid=""
  [ "$status" = 0 ] || fail "qov ended with status $status"
}
key() {
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key "$1"
}
wait_state() {
  local end=$((SECONDS + timeout))
  until [ -n "$(find "$states" -name "$1" 2>/dev/null)" ]; do
    [ $SECONDS -ge $end ] && fail "no state $1 in $states"
    sleep 0.1
  done
}

# The play never stopped.
start_qov "$game"
wait_for "the first page" page_written
play_to_end
cp "$game/TOVELI2.DAT" "$out/uninterrupted.DAT" || fail "the game wrote no save file"
rm -f "$game/TOVELI2.DAT"

# F5 at the second page, then the window closed.
start_qov "$game"
wait_for "the first page" page_written
first=$(digest "${message[@]}")
click 250 358
wait_for "the second page" second_page
second=$(digest "${message[@]}")
key F5
wait_state quick.json
close_game "$close_script"
[ -n "$(find "$states" -name auto.json)" ] || fail "no autosave after the window closed"
[ -f "$game/TOVELI2.DAT" ] && fail "the save file was written before its SAVE"
for way in resume F9; do
  if [ "$way" = resume ]; then
    start_qov --resume "$game"
  else
    start_qov "$game"
    wait_for "the first page" page_written
    key F9
  fi
  wait_for "the second page again ($way)" page_is "$second"
  play_to_end
  cmp -s "$game/TOVELI2.DAT" "$out/uninterrupted.DAT" ||
    fail "the save file after $way differs from the play never stopped"
  rm -f "$game/TOVELI2.DAT"
done
[ "$(ls "$game")" = wnatu.QOV ] || fail "something besides the script in the game folder: $(ls "$game")"
echo "ok"
