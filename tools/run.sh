#!/usr/bin/env bash
# The program at work: builds Wavorin.exe as it ships (the release tree:
# optimised, stripped) and the reference server, starts the server on
# 127.0.0.1:9110 and the program under 32-bit wine from a scratch
# folder whose authipconf.ini names 127.0.0.1, so that it never talks to this
# machine's gateway.
#
# With DISPLAY set the window opens on that desktop: click "获取验证码", and
# end the program from its notification-area icon (right click, then the
# menu's item); the script waits for that and then stops the server.
# Without DISPLAY, or with --headless, the program runs on an Xvfb display of
# the script's own: the script clicks the button itself, prints the code it
# reads from the server's log, saves screenshots and ends everything.
#
# usage: bash tools/run.sh [--headless]
#        bash tools/run.sh driver [get|watch|check|status] [options]   the operator driver
#   WAVORIN_TOKEN_TTL   lifetime of the server's codes in seconds (default 120)
#   WAVORIN_BUILD       build root (default: build/ in this tree)
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
if [ "${1:-}" = driver ]; then
    shift
    exec bash "$here/tools/run-driver.sh" "$@"
fi
headless=""
if [ "${1:-}" = --headless ]; then
    headless=1
    shift
fi
if [ $# -gt 0 ]; then
    sed -n 's/^# \{0,1\}//; /^usage:/,/^ *WAVORIN_BUILD/p' "$0" >&2
    exit 2
fi
[ -n "${DISPLAY:-}" ] || headless=1

bash tools/setup.sh || exit 1
ttl="${WAVORIN_TOKEN_TTL:-120}"
title='Wavorin\(网吧专用\)'

# The build root of tools/test.sh, so that both reuse its native tree (the
# server) and its test tree's wine prefix; the program is the release tree's.
. "$here/tools/trees.sh"
configure_release || exit 1
ninja -C "$native" -j "$jobs" refserver || exit 1
ninja -C "$release" -j "$jobs" Wavorin || exit 1

scratch="$root/run-program"
loopback_folder "$scratch" "$release/app/Wavorin.exe" || exit 1

export WINEARCH=win32 WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid="" server_pid="" program_pid="" prefix_ready=""
cleanup() {
    # The scratch prefix and its wine server belong to this script alone.
    [ -n "$prefix_ready" ] && WINEPREFIX="$scratch/wineprefix" wineserver -k >/dev/null 2>&1
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null
        wait "$server_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A wine prefix of the run's own, copied from the test tree's (made once),
# so that its wine server, and with it the notification area, starts on this
# run's display. The large system folders, which wine only reads, are linked.
if [ ! -f "$win/wineprefix/system.reg" ]; then
    echo "== creating the wine prefix"
    WINEPREFIX="$win/wineprefix" wineboot -i >/dev/null 2>&1 </dev/null
    WINEPREFIX="$win/wineprefix" wineserver -k >/dev/null 2>&1
fi
mkdir -p "$scratch/wineprefix"
tar -C "$win/wineprefix" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/winsxs -cf - . \
    | tar -C "$scratch/wineprefix" -xf - || exit 1
for dir in system32 winsxs; do
    cp -al "$win/wineprefix/drive_c/windows/$dir" "$scratch/wineprefix/drive_c/windows/" 2>/dev/null \
        || cp -a "$win/wineprefix/drive_c/windows/$dir" "$scratch/wineprefix/drive_c/windows/" || exit 1
done
export WINEPREFIX="$scratch/wineprefix"
prefix_ready=1

if [ -n "$headless" ]; then
    start_own_xvfb "$scratch/display" || exit 1
fi

echo "== reference server on 127.0.0.1:9110 (codes live $ttl s), log: $scratch/server.log"
"$native/tools/refserver/refserver" --log "$scratch/server.log" --token-ttl "$ttl" --duration 3600000 \
    2>"$scratch/server.stderr" &
server_pid=$!
for _ in $(seq 50); do
    grep -q listening "$scratch/server.log" 2>/dev/null && break
    if ! kill -0 "$server_pid" 2>/dev/null; then
        echo "run: the reference server did not start: $(cat "$scratch/server.stderr")" >&2
        server_pid=""
        exit 1
    fi
    sleep 0.1
done

echo "== Wavorin.exe on display $DISPLAY, from $scratch"
wine "$scratch/Wavorin.exe" >"$scratch/program.log" 2>&1 </dev/null &
program_pid=$!

if [ -z "$headless" ]; then
    echo "   Click 获取验证码 for a code. To end, right-click the program's icon in the"
    echo "   notification area and choose the menu's item."
    wait "$program_pid"
    status=$?
    program_pid=""
    echo "== the program ended with $status; codes issued:"
    sed -n 's/.* note .* code \([^ ]*\) issued.*/   \1/p' "$scratch/server.log"
    exit 0
fi

# Without a person: find the window, click the button, read the code.
window=""
for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || { echo "run: the program ended early" >&2; program_pid=""; exit 1; }
    sleep 0.25
done
[ -n "$window" ] || { echo "run: no window appeared" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
for _ in $(seq 100); do
    grep -q "session opened" "$scratch/server.log" && break
    sleep 0.1
done
shot() { import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$scratch/$1.png"; }
shot idle

xdotool mousemove $((X + 400)) $((Y + 520))
sleep 0.3
xdotool click 1
xdotool mousemove $((X + WIDTH + 100)) $((Y + HEIGHT + 100))
code=""
for _ in $(seq 150); do
    code=$(sed -n 's/.* note .* code \([^ ]*\) issued.*/\1/p' "$scratch/server.log" | head -n 1)
    [ -n "$code" ] && break
    sleep 0.1
done
[ -n "$code" ] || { echo "run: the server issued no code" >&2; exit 1; }
# Two checks in the log: the countdown has ticked at least once.
for _ in $(seq 50); do
    [ "$(grep -c '"checktoken' "$scratch/server.log")" -ge 2 ] && break
    sleep 0.1
done
shot counting
echo "== the code: $code"
echo "== screenshots: $scratch/idle.png $scratch/counting.png"
