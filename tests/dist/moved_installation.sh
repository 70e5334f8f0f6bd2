#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, moves the prefix and plays the installed
# demo game from there; its words in Japanese come from the catalog installed with it.
# Usage: moved_installation.sh CMAKE BUILD_DIR BIN_DIR PLAY_INSTALLED_SCRIPT
set -eu
cmake=$1 build=$2 bindir=$3 play=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cmake" --install "$build" --prefix "$dir/installed" >/dev/null
mv "$dir/installed" "$dir/moved"
bash "$play" "$dir/moved/$bindir/qov"
first=$(env -i HOME="$dir" LANGUAGE=ja "$dir/moved/$bindir/qov" --help | head -n 1)
[[ "$first" == "使い方: qov"* ]] || { echo "FAIL: the moved qov's --help in Japanese: $first"; exit 1; }
