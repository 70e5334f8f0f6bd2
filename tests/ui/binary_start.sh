#!/usr/bin/env bash
# The real program without a display: --help lists the modes, --version answers in one line,
# an unknown option is a usage error with status 2; a game
# without "wnatu" (named with the folder searched), or a machine without Japanese fonts, ends
# with a report and status 1; an empty, missing or file argument is a usage error (status 2).
# Usage: binary_start.sh QOV_BINARY
set -u
qov=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fail() { echo "FAIL: $*"; exit 1; }

"$qov" --help >"$dir/out" 2>&1 || fail "--help ended with status $?"
grep -q '^usage: qov' "$dir/out" || fail "--help printed: $(cat "$dir/out")"
"$qov" --version >"$dir/out" 2>&1 || fail "--version ended with status $?"
[ "$(wc -l <"$dir/out")" = 1 ] && grep -q '^qov [0-9]' "$dir/out" ||
  fail "--version printed: $(cat "$dir/out")"
"$qov" --no-such-option >"$dir/out" 2>&1
[ $? = 2 ] || fail "an unknown option did not end with status 2"
grep -q "unknown option '--no-such-option'" "$dir/out" || fail "unknown option: $(cat "$dir/out")"

touch "$dir/file"
for arg in "" "$dir/file" "$dir/none"; do
  "$qov" "$arg" >"$dir/out" 2>&1
  [ $? = 2 ] || fail "'$arg' as the game directory did not end with status 2: $(cat "$dir/out")"
  [ "$(wc -l <"$dir/out")" = 1 ] && grep -q '^qov: .*\(empty\|file\|not exist\)' "$dir/out" ||
    fail "'$arg' as the game directory: $(cat "$dir/out")"
done

mkdir "$dir/game"
"$qov" "$dir/game" 2>"$dir/err" && fail "status 0 without wnatu"
[ $? = 1 ] || fail "status other than 1 without wnatu"
printf 'qov: no script "wnatu" (wnatu.QOV) in the game folder %s\nファイルが読込めません\nwnatu( 0)\n' \
  "$dir/game" | cmp -s - "$dir/err" ||
  fail "standard error was: $(cat -A "$dir/err")"

printf '<fontconfig><dir>%s/none</dir><cachedir>%s/cache</cachedir></fontconfig>\n' "$dir" "$dir" \
  >"$dir/fonts.conf"
FONTCONFIG_FILE="$dir/fonts.conf" "$qov" "$dir/game" 2>"$dir/err" && fail "status 0 without fonts"
[ $? = 1 ] || fail "status other than 1 without fonts"
grep -qi 'font' "$dir/err" || fail "no word of the fonts: $(cat "$dir/err")"
echo "ok"
