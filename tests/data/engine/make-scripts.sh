#!/bin/sh
# Writes the test scripts NAME.QOV (CP932, CR LF) from their UTF-8 texts utf8/NAME.txt, in the
# directory given (tests/data/author/clean, for one) or else beside this script.
set -eu
cd "${1:-$(dirname "$0")}"
for source in utf8/*.txt; do
  name=$(basename "$source" .txt)
  iconv -f UTF-8 -t CP932 "$source" | sed 's/$/\r/' > "$name.QOV"
done
