#!/usr/bin/env bash
# The start of the sea route in the real window on a virtual X server, played with the mouse:
# the title menu, the prologue, submenus, the item window's "＜", "＞" and "使う", and the save,
# whose bytes must be those of the headless route. Exits 77 without Xvfb.
# Usage: xvfb_route.sh QOV_BINARY GAME_DIR EXPECTED_SAVE OUTPUT_DIR X11_CLOSE_SCRIPT
set -u
qov=$1 source_game=$2 expected_save=$3 out=$4
timeout=90
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
start_game

to_menu
[ "$(pixel 400 100)" != 64,64,64 ] || fail "the title picture is not shown"
[ "$(count 192 294 121 17 255,255,0)" -gt 0 ] || fail "no caption in the first entry"
[ "$(count 0 336 504 45 255,255,255)" -lt $((504 * 45)) ] || fail "no message shown"
choose 0          # はじめから
to_menu           # the prologue, then the shrine
choose_submenu 2  # 移動…
choose 1          # 屋台通り
to_menu
choose 0  # 調べる
to_menu
choose 0  # ラムネ屋
to_menu
open_items  # 持ち物: "＜" twice from お守り past 地図 to ラムネ
[ "$(count 32 24 120 100 64,64,64)" -lt 12000 ] || fail "the item window shows no picture"
browse 164
browse 164
use_item
to_menu
open_items  # "＞" twice to マッチ
browse 187
browse 187
use_item
to_menu
choose_submenu 4  # その他…
choose 0          # セーブ
end=$((SECONDS + timeout))
until cmp -s "$game/TOVELI2.DAT" "$expected_save"; do
  [ $SECONDS -lt $end ] || { cp "$game/TOVELI2.DAT" "$out/" 2>/dev/null; fail "the save file differs"; }
  sleep 0.2
done
to_menu
close_game "$5"
echo "ok"
