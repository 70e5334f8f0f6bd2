#!/usr/bin/env bash
# The real program without a display: --help and --version answer in one line each; a game
# without "wnatu", or a machine without Japanese fonts, ends with a report and status 1.
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
"$qov" "$dir/game" 2>"$dir/err" && fail "status 0 without wnatu"
[ $? = 1 ] || fail "status other than 1 without wnatu"
printf 'ファイルが読込めません\nwnatu( 0)\n' | cmp -s - "$dir/err" ||
  fail "standard error was: $(cat -A "$dir/err")"

printf '<fontconfig><dir>%s/none</dir><cachedir>%s/cache</cachedir></fontconfig>\n' "$dir" "$dir" \
  >"$dir/fonts.conf"
FONTCONFIG_FILE="$dir/fonts.conf" "$qov" "$dir/game" 2>"$dir/err" && fail "status 0 without fonts"
[ $? = 1 ] || fail "status other than 1 without fonts"
grep -qi 'font' "$dir/err" || fail "no word of the fonts: $(cat "$dir/err")"
echo "ok"
