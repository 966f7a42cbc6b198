#!/usr/bin/env bash
# The soak: builds Wavorin.exe, the headroom probe and the reference server,
# then clicks the program for some minutes under wine, on an Xvfb display of
# its own, against the server on 127.0.0.1 with faults (lost, repeated,
# delayed, reordered and garbled datagrams, wrong sequence numbers, forgotten
# sessions, silences and restarts), and at the end without them. The
# program's folder has an authipconf.ini naming 127.0.0.1.
#
# It prints the program's GDI and USER object headroom and memory at the
# start and the end, the clicks and their outcomes by kind, how the
# countdowns ended and the longest time to an outcome; it fails when a click
# has no outcome within the engine's limits, the program ends, or the
# headroom or memory does not stay flat.
#
# usage: bash tools/soak.sh [minutes]    (default 10)
#   WAVORIN_BUILD   build root (default: build/ in this tree)
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
minutes="${1:-10}"
if ! [[ "$minutes" =~ ^[0-9]+([.][0-9]+)?$ ]] || [ $# -gt 1 ]; then
    sed -n 's/^# \{0,1\}//; /^usage:/,/^ *WAVORIN_BUILD/p' "$0" >&2
    exit 2
fi

bash tools/setup.sh || exit 1
. "$here/tools/trees.sh"
configure_trees || exit 1
ninja -C "$native" -j "$jobs" refserver || exit 1
ninja -C "$win" -j "$jobs" Wavorin headroom headroom_probe || exit 1

export WINEARCH=win32 WINEDEBUG=-all
if [ ! -f "$win/wineprefix/system.reg" ]; then
    echo "== creating the wine prefix"
    WINEPREFIX="$win/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 </dev/null
    WINEPREFIX="$win/wineprefix" wineserver -k >/dev/null 2>&1
fi

echo "== soaking for $minutes minutes; the soak's folder: $root/soak/soak"
exec python3 "$here/tests/app/soak_program.py" --minutes "$minutes" \
    --exe "$win/app/Wavorin.exe" \
    --server "$native/tools/refserver/refserver" \
    --prefix "$win/wineprefix" \
    --probe "$win/tests/app/probe/headroom.exe" \
    --work "$root/soak"
