#!/usr/bin/env bash
# Takes the screenshot of the game for the README: the festival stalls, a message and a menu,
# in the real window on a virtual X server. Not part of the tests; run it again after the look
# of the game changed.
# Usage: tests/game/make_screenshot.sh [QOV_BINARY [OUTPUT_PNG]]
#        (default: build/qov and docs/screenshot.png of this repository)
set -u
repo=$(cd "$(dirname "$0")/../.." && pwd)
qov=${1:-$repo/build/qov}
target=${2:-$repo/docs/screenshot.png}
source_game=$repo/game
out=$(mktemp -d)
timeout=120
# shellcheck source=tests/xvfb_lib.sh
source "$repo/tests/xvfb_lib.sh"
[ -x "$qov" ] || { echo "no program at $qov: build it first, or name it"; exit 1; }
start_game

to_menu
choose 0          # はじめから
to_menu
choose_submenu 2  # 移動…
choose 1          # 屋台通り
to_menu
choose 0          # 調べる: "どの屋台をのぞこうか。" and the stalls' menu
to_menu
sleep 1
shot
mkdir -p "$(dirname "$target")"
convert "$out/shot.png" -strip "$target"
close_game "$repo/tests/ui/x11_close.py"
rm -rf "$out"
echo "wrote $target"
