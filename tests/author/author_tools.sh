#!/usr/bin/env bash
# The program's tools for authors: --check of the demo game prints nothing; --trace of a
# three-line script prints exactly its three lines; --autoplay ends with status 1 and the route
# on a game with a fault behind a menu choice.
# Usage: author_tools.sh QOV_BINARY DEMO_GAME_DIRECTORY FAULTY_GAME_DIRECTORY
set -u
qov=$1
game=$2
faulty=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fail() { echo "FAIL: $*"; exit 1; }

"$qov" --check "$game" >"$dir/out" 2>&1 || fail "--check of the demo game: status $?: $(cat "$dir/out")"
[ -s "$dir/out" ] && fail "--check of the demo game printed: $(cat "$dir/out")"

mkdir "$dir/game"
printf 'LET,1,1\r\nCMDS,0\r\nEXIT\r\n' >"$dir/game/wnatu.QOV"
"$qov" --trace "$dir/game" 2>"$dir/err" || fail "--trace: status $?: $(cat "$dir/err")"
printf 'wnatu.QOV:1: LET,1,1\nwnatu.QOV:2: CMDS,0\nwnatu.QOV:3: EXIT\n' | cmp -s - "$dir/err" ||
  fail "--trace wrote: $(cat -A "$dir/err")"

printf 'MSE,1\r\n' >"$dir/game/wnatu.QOV"
"$qov" --check "$dir/game" >"$dir/out" 2>&1
[ $? = 1 ] || fail "--check of a faulty script did not end with status 1"
printf 'wnatu.QOV:1: error: 命令無し\n    MSE,1\n' | cmp -s - "$dir/out" ||
  fail "--check printed: $(cat -A "$dir/out")"
"$qov" --autoplay 50 "$faulty" >"$dir/out" 2>&1
[ $? = 1 ] || fail "--autoplay of a faulty game did not end with status 1: $(cat "$dir/out")"
grep -q '^範囲外( 12)$' "$dir/out" && grep -q '^  wnatu.QOV:3: 「宿」$' "$dir/out" ||
  fail "--autoplay printed: $(cat "$dir/out")"
echo "ok"
