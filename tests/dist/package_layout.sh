#!/usr/bin/env bash
# `cpack -G DEB` in a build tree that does not install Debian's layout for games under /usr
# stops before it packages anything and names the way to a good package; the check lets the
# packaging tree through.
# Usage: package_layout.sh CPACK CMAKE BUILD_DIR CHECK_SCRIPT
set -u
cpack=$1 cmake=$2 build=$3 check=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$out") >"$out/log" 2>&1 && fail "cpack made a package: $(cat "$out/log")"
grep -q "scripts/package" "$out/log" || fail "the message does not name scripts/package: $(cat "$out/log")"
grep -q -- "-DQOV_INSTALL_LAYOUT=games" "$out/log" || fail "the message does not name the layout"
ls "$out"/*.deb >/dev/null 2>&1 && fail "a package was left behind"

# layout prefix accepted
while read -r layout prefix accepted; do
  if "$cmake" -DCPACK_GENERATOR=DEB -DCPACK_QOV_LAYOUT="$layout" \
    -DCPACK_PACKAGING_INSTALL_PREFIX="$prefix" -P "$check" >/dev/null 2>&1; then
    [ "$accepted" = yes ] || fail "$layout under $prefix was let through"
  else
    [ "$accepted" = no ] || fail "$layout under $prefix was refused"
  fi
done <<'TABLE'
games /usr yes
games /usr/local no
gnu /usr no
gnu /usr/local no
TABLE
# Other generators are not Debian's business.
"$cmake" -DCPACK_GENERATOR=TGZ -DCPACK_QOV_LAYOUT=gnu -DCPACK_PACKAGING_INSTALL_PREFIX=/usr/local \
  -P "$check" >/dev/null 2>&1 || fail "a tarball of the gnu layout was refused"
echo "ok"
