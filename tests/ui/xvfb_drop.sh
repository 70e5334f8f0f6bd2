#!/usr/bin/env bash
# Drops onto the real window on a virtual X server, as a file manager does: a folder that is
# no game shows a notice in the window (named on stderr too) and the game goes on; then a file
# of another game ends the game and the program starts anew on that game (the same process, a
# new window showing it, traced as the first was), which closes with status 0. Exits 77
# without Xvfb.
# Usage: xvfb_drop.sh QOV_BINARY GAME_DATA_DIR OUTPUT_DIR X11_CLOSE_SCRIPT X11_DROP_SCRIPT
set -u
qov=$1 source_game=$2 out=$3 drop=$5
timeout=60
# The player's words in Japanese, as the expected texts are, whatever the machine's locale.
export LANGUAGE=ja
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
rm -rf "$out/next" "$out/photos"
mkdir -p "$out/next" "$out/photos"
convert -size 504x336 xc:'rgb(255,0,255)' "png:$out/next/PINK.SZG"
printf 'GHG,PINK\r\nMES,次の夜。￥\r\nEXIT\r\n' | iconv -t CP932 >"$out/next/wnatu.QOV"
qov_args=(--trace)
start_game
is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
wait_for "the first game's window" is 505 100 128,128,128
first=$wid

python3 "$drop" "$wid" "$out/photos" || fail "the drop of a folder without a game failed"
# The notice is drawn in the window, over the game, until a click closes it.
notice_shown() { is 40 192 0,0,48; }
notice_gone() { ! notice_shown; }
wait_for "the notice" notice_shown
grep -q "ゲームのフォルダではありません（wnatu.QOV がありません）" "$out/qov.stderr" &&
  grep -q "$out/photos" "$out/qov.stderr" || fail "the notice does not name the folder"
[ "$(xdotool search --onlyvisible --pid "$qov_pid" 2>/dev/null | wc -l)" = 1 ] ||
  fail "the notice opened a window of its own"
click 250 192
wait_for "the notice to close" notice_gone
kill -0 "$qov_pid" 2>/dev/null || fail "the notice ended the game"

python3 "$drop" "$wid" "$out/next/wnatu.QOV" || fail "the drop of a file of a game failed"
# The same process (it starts itself anew) shows the dropped game's picture in its new window.
wid=""
end=$((SECONDS + timeout))
until [ -n "$wid" ] && shot && is 300 100 255,0,255; do
  [ $SECONDS -ge $end ] && fail "the dropped game did not start"
  kill -0 "$qov_pid" 2>/dev/null || fail "qov ended instead of starting the dropped game"
  sleep 0.2
  wid=$(xdotool search --onlyvisible --pid "$qov_pid" 2>/dev/null | head -n 1)
done
# Traced as the game before it was.
[ "$(tr '\0' ' ' </proc/"$qov_pid"/cmdline)" = "$qov --trace -- $out/next " ] ||
  fail "qov runs as: $(tr '\0' ' ' </proc/"$qov_pid"/cmdline)"
close_game "$4"
echo "ok"
