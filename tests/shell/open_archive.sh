#!/usr/bin/env bash
# An archive named on the command line, without a display: extracted into the games folder,
# added to the library and played to its end (its save file lands in the copy); opened again,
# the same copy plays and the library still lists it once. --add of a file that is no archive
# is refused with a message naming it, and the library is unchanged.
# Usage: open_archive.sh QOV_BINARY ARCHIVES_DIR
set -u
qov=$1 archives=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$dir/data" XDG_CONFIG_HOME="$dir/config"
fail() { echo "FAIL: $*"; exit 1; }

for run in 1 2; do
  "$qov" "$archives/level2.lzh" >"$dir/out" 2>&1 || fail "run $run ended with status $?: $(cat "$dir/out")"
  [ "$("$qov" --list | wc -l)" = 1 ] || fail "run $run: the library lists $("$qov" --list)"
done
IFS=$'\t' read -r title folder played < <("$qov" --list)
case $folder in "$XDG_DATA_HOME"/qov/games/level2-*) ;; *) fail "the copy is at $folder" ;; esac
[ "$title" = "$(basename "$folder")" ] || fail "the title is $title for $folder"
[[ $played =~ ^20[0-9]{2}-[0-9]{2}-[0-9]{2}T[0-9:]{8}Z$ ]] || fail "last played: $played"
[ -f "$folder/TOVELI2.DAT" ] || fail "no save file in the copy $folder"

"$qov" --add "$archives/text.zip" >"$dir/out" 2>&1
[ $? = 1 ] || fail "--add of a text file named .zip did not end with status 1"
grep -q "text.zip" "$dir/out" || fail "the message does not name the file: $(cat "$dir/out")"
[ "$("$qov" --list | wc -l)" = 1 ] || fail "the library changed: $("$qov" --list)"
echo "ok"
