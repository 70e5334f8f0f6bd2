#!/usr/bin/env bash
# An installed qov started without an argument (no game lies beside it) shows the library,
# which lists the demo game installed with it (found from its own place, so the installation
# may have been moved), without a display or sound until it is asked to close, which ends it
# with status 0 and nothing on stderr but the time of its first frame.
# Usage: play_installed.sh QOV_BINARY
set -u
qov=$1
dir=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; sed 's/^/  qov: /' "$dir/err"; exit 1; }

cd "$dir" || exit 1
# The library starts empty, out of the user's home.
export XDG_DATA_HOME="$dir/data"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QOV_TRACE_FIRST_FRAME=1 "$qov" 2>"$dir/err" &
pid=$!
for _ in $(seq 200); do
  grep -q 'first frame' "$dir/err" && break
  kill -0 "$pid" 2>/dev/null || fail "ended before its first frame"
  sleep 0.1
done
grep -q 'first frame' "$dir/err" || fail "no frame after 20 s"
sleep 2
kill -0 "$pid" 2>/dev/null || fail "ended without being asked to"
kill -TERM "$pid"  # what the desktop sends at log-out: the window's closing steps
wait "$pid"
status=$?
pid=""
[ "$status" = 0 ] || fail "status $status"
grep -v 'first frame' "$dir/err" && fail "wrote to stderr"
echo "ok"
