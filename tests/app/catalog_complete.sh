#!/usr/bin/env bash
# Every word of the player's that the sources mark has its translation in each catalog: a new
# or changed text without one would show in English among the Japanese.
# Usage: catalog_complete.sh XGETTEXT MSGCMP PO_DIR SOURCE... -- XGETTEXT_ARGUMENT...
set -u
xgettext=$1 msgcmp=$2 po=$3
shift 3
sources=()
while [ "$1" != "--" ]; do sources+=("$1"); shift; done
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$xgettext" "$@" -o "$dir/qov.pot" "${sources[@]}" || exit 1
failed=0
for catalog in "$po"/*.po; do
  "$msgcmp" "$catalog" "$dir/qov.pot" || failed=1
done
[ "$failed" = 0 ] && echo ok
exit "$failed"
