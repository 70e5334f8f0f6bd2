#!/usr/bin/env bash
# SAVE and LOAD by a player who cannot write the game folder (installed by root, read-only
# media): the save goes to $XDG_DATA_HOME/qov/saves/<folder>-<hash>/ and loads back from there;
# a writable folder keeps its save as always; when neither place can be written the notice says
# why and where. As root the player runs as "nobody" (setpriv), since root writes everywhere.
# Usage: readonly_save.sh QOV_BINARY
set -u
qov=$1
dir=$(mktemp -d)
chmod 755 "$dir"
trap 'chmod -R u+w "$dir"; rm -rf "$dir"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fail() { echo "FAIL: $*"; exit 1; }

player=()
if [ "$(id -u)" = 0 ]; then
  command -v setpriv >/dev/null || { echo "setpriv is missing"; exit 77; }
  player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# A place of the player's own; as root, handed to "nobody".
own() {
  mkdir -p "$@"
  [ "$(id -u)" = 0 ] && chown 65534:65534 "$@"
  return 0
}
# A place the player cannot write.
locked() {
  mkdir -p "$1"
  [ "$(id -u)" = 0 ] || chmod a-w "$1"
}
# play GAME DATA_HOME SCRIPT_LINES...: writes wnatu.QOV, runs the player; status in $status.
play() {
  local game=$1 data=$2
  shift 2
  chmod u+w "$game"
  printf '%s\r\n' "$@" >"$game/wnatu.QOV"
  [ "$(id -u)" = 0 ] || [ "$game" != "$dir/ro" ] || chmod a-w "$game"
  HOME="$dir/home" XDG_DATA_HOME="$data" "${player[@]}" "$qov" "$game" >"$dir/out" 2>&1
  status=$?
}
saving=("LET,1,4" "SAVE" "EXIT")
loading=("LOAD" "GOTO,F01" "NO SUCH COMMAND" "EXIT")

own "$dir/home" "$dir/data" "$dir/rw"
locked "$dir/ro"

# A folder the player cannot write.
play "$dir/ro" "$dir/data" "${saving[@]}"
[ $status = 0 ] || fail "SAVE in a read-only folder: status $status: $(cat "$dir/out")"
saves=("$dir"/data/qov/saves/ro-????????)
[ -f "${saves[0]}/TOVELI2.DAT" ] || fail "no save in $dir/data: $(find "$dir/data")"
[ ! -e "$dir/ro/TOVELI2.DAT" ] || fail "a save appeared in the read-only folder"
[ "$(grep -c "saved in ${saves[0]}/TOVELI2.DAT" "$dir/out")" = 1 ] ||
  fail "the first save did not name its place: $(cat "$dir/out")"
grep -q 'セーブできませんでした' "$dir/out" && fail "a notice: $(cat "$dir/out")"
play "$dir/ro" "$dir/data" "${saving[@]}"
[ $status = 0 ] && [ ! -s "$dir/out" ] || fail "the second save said: $(cat "$dir/out")"
play "$dir/ro" "$dir/data" "${loading[@]}"
[ $status = 0 ] || fail "LOAD did not find the save: status $status: $(cat "$dir/out")"

# A writable folder keeps its save, and the user's place is not touched.
play "$dir/rw" "$dir/data-rw" "${saving[@]}"
[ $status = 0 ] && [ ! -s "$dir/out" ] || fail "SAVE in a writable folder: $(cat "$dir/out")"
[ -f "$dir/rw/TOVELI2.DAT" ] || fail "no save in the writable folder"
[ ! -e "$dir/data-rw" ] || fail "the user's place was made for a writable folder"
play "$dir/rw" "$dir/data-rw" "${loading[@]}"
[ $status = 0 ] || fail "LOAD in a writable folder: status $status: $(cat "$dir/out")"

# Neither place can be written: the notice names the file, and each place with its reason; the
# game goes on under the notice in the window, until the player closes the window (SIGTERM here).
locked "$dir/data-ro"
chmod u+w "$dir/ro"
printf '%s\r\n' "${saving[@]}" >"$dir/ro/wnatu.QOV"
[ "$(id -u)" = 0 ] || chmod a-w "$dir/ro"
HOME="$dir/home" XDG_DATA_HOME="$dir/data-ro" "${player[@]}" "$qov" "$dir/ro" >"$dir/out" 2>&1 &
running=$!
for _ in $(seq 600); do
  grep -q "data-ro/qov/saves/ro-" "$dir/out" && break
  sleep 0.1
done
kill -TERM $running
wait $running
status=$?
[ $status = 0 ] || fail "a failed SAVE ended the game: status $status"
expected="セーブできませんでした
TOVELI2.DAT
Permission denied: $dir/ro/TOVELI2.DAT
Permission denied: $dir/data-ro/qov/saves/ro-"
[[ "$(tr -d '\r' <"$dir/out")" == *"$expected"* ]] || fail "the notice was: $(cat -A "$dir/out")"
echo "ok"
