#!/usr/bin/env bash
# The language of the player's own words, seen in --help and the command line's messages: the
# setting wins, else the first locale variable set, and Japanese needs no Japanese locale on
# the machine.
# Usage: help_language.sh QOV_BINARY
set -u
qov=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0
# help EXPECTED_START [VAR=VALUE...]: qov --help in a bare environment starts with EXPECTED_START.
help() {
  local expected=$1
  shift
  local first
  first=$(env -i HOME="$dir" XDG_CONFIG_HOME="$dir/config" "$@" "$qov" --help | head -n 1)
  if [[ "$first" != "$expected"* ]]; then
    echo "FAIL: with $* --help begins: $first"
    failed=1
  fi
}
english="usage: qov" japanese="使い方: qov"
help "$english"
help "$english" LANGUAGE=en LANG=ja_JP.UTF-8
help "$japanese" LANGUAGE=ja
help "$japanese" LANGUAGE=ja LC_ALL=C  # glibc alone would ignore LANGUAGE here
help "$japanese" LANGUAGE= LC_ALL=ja_JP.UTF-8
help "$japanese" LANG=ja_JP.UTF-8
help "$english" LANG=C
mkdir -p "$dir/config/qov"
printf '[player]\nlanguage = en\n' >"$dir/config/qov/qov.ini"
help "$english" LANGUAGE=ja
printf '[player]\nlanguage = ja\n' >"$dir/config/qov/qov.ini"
help "$japanese" LANGUAGE=en
rm "$dir/config/qov/qov.ini"

err=$(env -i HOME="$dir" XDG_CONFIG_HOME="$dir/config" LANGUAGE=ja "$qov" --nope 2>&1 >/dev/null)
status=$?
[ "$status" = 2 ] || { echo "FAIL: an unknown option ends with $status"; failed=1; }
[[ "$err" == "qov: 知らないオプション '--nope'"$'\n'"$japanese"* ]] ||
  { echo "FAIL: an unknown option in Japanese says: $err"; failed=1; }
[ "$failed" = 0 ] && echo ok
exit "$failed"
