#!/usr/bin/env bash
# The operator driver against the reference server: builds the server (native
# tree) and the driver (Windows tree), starts the server on loopback, runs the
# driver under 32-bit wine beside an authipconf.ini naming 127.0.0.1 and
# prints the code it gets. Stops everything it started.
#
# usage: bash tools/run.sh driver [get|watch|check|status] [driver options]
#        (or bash tools/run-driver.sh ...)
#   default: watch (the code, then a countdown checked once a second)
#   WAVORIN_TOKEN_TTL   lifetime of the server's codes in seconds (default 10)
#   WAVORIN_BUILD       build root (default: build/ in this tree)
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash tools/setup.sh || exit 1

ttl="${WAVORIN_TOKEN_TTL:-10}"
[ $# -gt 0 ] || set -- watch

# The same trees and settings as tools/test.sh, so that both reuse each other's builds.
. "$here/tools/trees.sh"
configure_trees || exit 1
ninja -C "$native" -j "$jobs" refserver || exit 1
ninja -C "$win" -j "$jobs" tokendriver || exit 1

# A scratch folder: the driver with its own authipconf.ini, so that the client
# talks to loopback and never to this machine's gateway.
scratch="$root/run"
loopback_folder "$scratch" "$win/tools/driver/tokendriver.exe" || exit 1

export WINEPREFIX="$win/wineprefix" WINEARCH=win32 WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

server_pid=""
our_wineserver=""
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null
        wait "$server_pid" 2>/dev/null
    fi
    [ -n "$our_wineserver" ] && wineserver -k >/dev/null 2>&1
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A wine server of our own for the prefix, ended at the end; one that was
# already running belongs to someone else and is left alone.
wineserver -p >/dev/null 2>&1 </dev/null && our_wineserver=1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the wine prefix"
    wineboot -i >/dev/null 2>&1 </dev/null
fi

echo "== reference server on 127.0.0.1:9110 (codes live $ttl s), log: $scratch/server.log"
"$native/tools/refserver/refserver" --log "$scratch/server.log" --token-ttl "$ttl" --duration 3600000 &
server_pid=$!
for _ in $(seq 50); do
    grep -q listening "$scratch/server.log" 2>/dev/null && break
    kill -0 "$server_pid" 2>/dev/null || { echo "run: the reference server did not start" >&2; server_pid=""; exit 1; }
    sleep 0.1
done

echo "== tokendriver $*"
wine "$scratch/tokendriver.exe" "$@" </dev/null | tee "$scratch/driver.txt"
status=${PIPESTATUS[0]}

code=$(sed -n 's/^code \([^ ]*\) valid for.*/\1/p' "$scratch/driver.txt" | head -n 1)
if [ -n "$code" ]; then
    echo "== the code: $code"
else
    echo "== no code (driver exit status $status)"
fi
exit "$status"
