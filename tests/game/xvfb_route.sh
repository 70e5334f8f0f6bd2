#!/usr/bin/env bash
# The start of the sea route in the real window on a virtual X server, played with the mouse:
# the title menu, the prologue's messages, submenus, the item window's "＜", "＞" and "使う",
# and the save from the menu. Checked by screenshots of the window and by the save file's bytes.
# Usage: xvfb_route.sh QOV_BINARY GAME_DIR EXPECTED_SAVE OUTPUT_DIR X11_CLOSE_SCRIPT
# Exits 77 (skipped) only where the virtual X server or its tools are not available.
set -u
qov=$1
source_game=$2
expected_save=$3
out=$4
close_window=$5
timeout=90  # seconds for each wait: the machine may be slow and loaded
# shellcheck source=tests/xvfb_lib.sh
source "$(dirname "$0")/../xvfb_lib.sh"
start_game

# Title: the picture, the message and the menu.
to_menu
[ "$(pixel 400 100)" != 64,64,64 ] || fail "the title picture is not shown"
[ "$(pixel 193 295)" = 64,64,64 ] || fail "the menu's entries are not drawn"
[ "$(count 192 294 121 17 255,255,0)" -gt 0 ] || fail "no caption in the first entry"
[ "$(count 0 336 504 45 255,255,255)" -lt $((504 * 45)) ] || fail "no message shown"
cp "$out/shot.png" "$out/title.png"

choose 0  # はじめから
to_menu   # the prologue, then the shrine at 午後七時
[ "$(pixel 400 100)" != 64,64,64 ] || fail "the shrine is not shown"
cp "$out/shot.png" "$out/shrine.png"

choose_submenu 2  # 移動
choose 1          # 屋台通り
to_menu
choose 0  # 調べる
to_menu
choose 0  # ラムネ屋
to_menu

# 持ち物: "＜" twice goes from お守り past 地図 to ラムネ, which goes to ソウタ.
open_items
cp "$out/shot.png" "$out/items.png"
[ "$(count 32 24 120 100 64,64,64)" -lt 12000 ] || fail "the item window shows no picture"
browse 164
browse 164
use_item
to_menu
# 持ち物: "＞" twice goes to マッチ, which lights the lantern.
open_items
browse 187
browse 187
use_item
to_menu

choose_submenu 4  # その他
choose 0          # セーブ
end=$((SECONDS + timeout))
until [ -f "$game/TOVELI2.DAT" ] && cmp -s "$game/TOVELI2.DAT" "$expected_save"; do
  [ $SECONDS -ge $end ] && { cp "$game/TOVELI2.DAT" "$out/TOVELI2.DAT" 2>/dev/null;
                             fail "the save file differs from $expected_save (kept in $out)"; }
  sleep 0.2
done
to_menu
cp "$out/shot.png" "$out/saved.png"
echo "saved: the save file holds the expected bytes"

close_game "$close_window"
echo "route played, closed with status 0"
