#!/usr/bin/env bash
# The library in the real window on a virtual X server: --add and --list on the command line;
# the library lists the games added (compared with its golden shot), a click plays one (the
# same process starts anew and its window's caption is the game's title), the game's EXIT
# brings the library back, an entry is removed after its confirmation, and the folder browser
# adds a game; closing the window ends qov with status 0. Exits 77 without Xvfb.
# Usage: xvfb_library.sh QOV_BINARY OUTPUT_DIR X11_CLOSE_SCRIPT GOLDEN_PNG
set -u
qov=$1 out=$2 golden=$4
timeout=60
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
start_xvfb
export HOME="$out/home" XDG_DATA_HOME="$out/data"
# The player's words in Japanese, as the expected texts are, whatever the machine's locale.
export LANGUAGE=ja
rm -rf "$HOME" "$XDG_DATA_HOME"
make_game() {
  mkdir -p "$HOME/games/$1"
  printf 'MES,%sです。￥\r\nEXIT\r\n' "$2" | iconv -t CP932 >"$HOME/games/$1/wnatu.QOV"
  printf '[game]\ntitle = %s\n' "$2" >"$HOME/games/$1/qov.ini"
}
make_game one ひとつめ
make_game two ふたつめ
make_game three みっつめ

[ "$("$qov" --add "$HOME/games/one")" = "ひとつめ	$HOME/games/one" ] || fail "--add one"
[ "$("$qov" --add "$HOME/games/two")" = "ふたつめ	$HOME/games/two" ] || fail "--add two"
printf 'ふたつめ\t%s\t-\nひとつめ\t%s\t-\n' "$HOME/games/two" "$HOME/games/one" |
  cmp -s - <("$qov" --list) || fail "--list printed: $("$qov" --list)"
games() { "$qov" --list | cut -f 1 | tr '\n' ' '; }

start_qov --library
is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
# The heading band, the first row selected.
wait_for "the library" is 200 45 48,48,136
# The two rows of the player's games, the heading and its button (the demo game's row below
# shows where this build lies).
convert "$out/shot.png" -crop 506x110+0+0 +repage "$out/rows.png"
if [ "${QOV_UPDATE_GOLDEN:-0}" = 1 ]; then
  cp "$out/rows.png" "$golden"
else
  [ "$(compare -metric AE "$out/rows.png" "$golden" null: 2>&1)" = 0 ] ||
    fail "the library's rows differ from $golden (see $out/rows.png)"
fi

# Waits for the process (started anew) to show a window with the caption.
wait_caption() {
  local end=$((SECONDS + timeout)) name=""
  until [ "$name" = "$1" ]; do
    [ $SECONDS -ge $end ] && fail "no window captioned $1 (last: $name)"
    kill -0 "$qov_pid" 2>/dev/null || fail "qov ended instead of showing $1"
    sleep 0.2
    wid=$(xdotool search --onlyvisible --pid "$qov_pid" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && name=$(xdotool getwindowname "$wid" 2>/dev/null)
  done
}
cmdline() { tr '\0' ' ' </proc/"$qov_pid"/cmdline; }

click 200 40
wait_caption ふたつめ
[ "$(cmdline)" = "$qov --from-library -- $HOME/games/two " ] || fail "qov runs as: $(cmdline)"
"$qov" --list | head -n 1 | grep -Eq "^ふたつめ	$HOME/games/two	20[0-9]{2}-[0-9]{2}-[0-9]{2}T[0-9:]{8}Z\$" ||
  fail "the game played is not first with its time: $("$qov" --list)"
# Its message waits for a click; then its EXIT brings the library back.
wait_for "the game's message" is 20 350 255,255,255
click 250 358
wait_caption Qov
[ "$(cmdline)" = "$qov --library " ] || fail "qov runs as: $(cmdline)"
wait_for "the library again" is 200 45 48,48,136

# The first row's button, then "外す" in the confirmation.
click 470 59
wait_for "the confirmation" is 60 120 0,0,96
[ "$(games)" = "ふたつめ ひとつめ " ] || fail "removed before the confirmation: $(games)"
click 128 246
end=$((SECONDS + timeout))
until [ "$(games)" = "ひとつめ " ]; do
  [ $SECONDS -ge $end ] && fail "not removed: $(games)"
  sleep 0.2
done
[ -f "$HOME/games/two/wnatu.QOV" ] || fail "the removed game's folder was deleted"

# The browser starts at home: "..", games. A second click opens a line.
click 436 15
line() { click 100 $((30 + $1 * 24 + 12)); sleep 0.3; click 100 $((30 + $1 * 24 + 12)); }
sleep 0.5
line 1
sleep 0.5
# In games: "..", one, three, two.
line 2
end=$((SECONDS + timeout))
until [ "$(games)" = "みっつめ ひとつめ " ]; do
  [ $SECONDS -ge $end ] && fail "the browser did not add the game: $(games)"
  sleep 0.2
done
close_game "$3"
echo "ok"
