#!/usr/bin/env bash
# The text hook and the clipboard in the real window on a virtual X server: qov --texthook
# writes each page as it is shown, and with the clipboard setting on, another program reads
# the page from the clipboard (xclip). Exits 77 without Xvfb or xclip.
# Usage: xvfb_text.sh QOV_BINARY GAME_DATA_DIR OUTPUT_DIR X11_CLOSE_SCRIPT
set -u
qov=$1 source_game=$2 out=$3
timeout=60
qov_args=(--texthook)
settings=$'[text]\nclipboard = yes'
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
command -v xclip >/dev/null || skip "xclip is not installed"
start_game

hook_says() { [ "$(cat "$out/qov.stdout")" = "$1" ]; }
clipboard_holds() { [ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
first="左クリックを待っている。"
second="右クリックでメニューを隠す。"
wait_for "the first page on standard output" hook_says "$first"
wait_for "the first page on the clipboard" clipboard_holds "$first"
click 250 360
wait_for "the second page and the menu on standard output" \
  hook_says "$first"$'\n'"$second"$'\n'"コマンド"$'\t'"終わる"
wait_for "the second page on the clipboard" clipboard_holds "$second"
close_game "$4"
echo "ok"
