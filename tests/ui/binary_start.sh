#!/usr/bin/env bash
# The real program without a display: --help and --version answer in one line each, and a
# game directory without "wnatu" ends with the error report on standard error and status 1,
# as does a machine without Japanese fonts.
# Usage: binary_start.sh QOV_BINARY
set -u
qov=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fail() { echo "FAIL: $*"; exit 1; }

for option in --help --version; do
  "$qov" "$option" >"$dir/out" 2>&1 || fail "$option ended with status $?"
  [ "$(wc -l <"$dir/out")" = 1 ] || fail "$option printed: $(cat "$dir/out")"
done
grep -q '^qov [0-9]' "$dir/out" || fail "--version printed: $(cat "$dir/out")"

mkdir "$dir/game"
status=0
"$qov" "$dir/game" >"$dir/out" 2>"$dir/err" || status=$?
[ "$status" = 1 ] || fail "status $status without wnatu"
printf 'ファイルが読込めません\nwnatu( 0)\n' >"$dir/expected"
cmp -s "$dir/err" "$dir/expected" || fail "standard error was: $(cat -A "$dir/err")"
# Without any font that covers Japanese the program says so and ends with status 1.
printf '<?xml version="1.0"?>\n<fontconfig><dir>%s/none</dir><cachedir>%s/cache</cachedir></fontconfig>\n' \
  "$dir" "$dir" >"$dir/fonts.conf"
status=0
FONTCONFIG_FILE="$dir/fonts.conf" "$qov" "$dir/game" >"$dir/out" 2>"$dir/err" || status=$?
[ "$status" = 1 ] || fail "status $status without fonts"
grep -qi 'font' "$dir/err" || fail "no word of the fonts: $(cat "$dir/err")"
echo "ok"
