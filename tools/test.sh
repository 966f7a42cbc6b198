#!/usr/bin/env bash
# Builds both trees and runs every test: the native build under AddressSanitizer
# and UBSan, then the 32-bit Windows build under wine with its own Xvfb display.
# Stops exactly the wine server and X server it started.
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash tools/setup.sh || exit 1

. "$here/tools/trees.sh"
configure_trees || exit 1
ninja -C "$native" -j "$jobs" || exit 1
ninja -C "$win" -j "$jobs" || exit 1

status=0
echo "== native tests (AddressSanitizer, UBSan)"
(cd "$native" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j "$jobs") || status=1

# A display of our own for the tests that create windows.
xvfb_pid=""
for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; break; fi
    xvfb_pid=""
done
[ -n "$xvfb_pid" ] || { echo "test: could not start Xvfb" >&2; exit 1; }

export WINEPREFIX="$win/wineprefix" WINEARCH=win32 WINEDEBUG=-all LANG=zh_CN.UTF-8
cleanup() {
    wineserver -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the wine prefix"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
fi
# One wine server for the whole run, so that each test starts quickly; its
# services start here, so that none of them holds a test's output open.
wineserver -p >/dev/null 2>&1 </dev/null
wineboot >/dev/null 2>&1 </dev/null

echo "== Windows tests (32-bit, under wine)"
(cd "$win" && ctest --output-on-failure -j "$jobs") || status=1

exit $status
