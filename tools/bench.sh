#!/usr/bin/env bash
# The benchmarks: figures of the shipped program measured against references
# on this machine in the same run, printed as one markdown table
#   | figure | min | median | budget | holds |
# (a figure holds when its median is within the budget). Not part of the
# tests: nothing here passes or fails.
#
# Builds the release tree (and the native reference server), then under
# 32-bit wine, in one wine prefix on an Xvfb display of the script's own,
# from a scratch folder whose authipconf.ini names 127.0.0.1:
#   - start to first paint and memory after it: Wavorin.exe against
#     barewindow.exe, rounds interleaved (bare, Wavorin, bare, ...); each
#     program reports its own figures (WAVORIN_FIRST_PAINT);
#   - idle: Wavorin logged in to the reference server on loopback and
#     barewindow.exe beside it, both untouched, over the same windows of
#     15 s (the heartbeat's period): wakeups a minute of Wavorin's
#     user-interface thread and of its token client's worker against the
#     bare window's threads (voluntary context switches in
#     /proc/<pid>/task/<tid>/status; wine's threads are Linux threads), shown
#     with the pointer outside both windows, then with it resting over each
#     window's middle, then hidden (Wavorin by a click on its close button,
#     the bare window by the close message), with the memory of both from 10 s
#     after hiding on; idle CPU from /proc/<pid>/stat, shown, with the wine
#     server's share. The user-interface thread is the process's first
#     thread; the worker is the thread begun last (the client starts it
#     after the first paint, after any thread of wine's own);
#   - click to request on the wire and click to code on screen: a fresh
#     Wavorin, its code button clicked with xdotool (codes live 1 s, so that
#     the button comes back), the program's moments of the click, of the
#     reply and of the end of the paint that shows the code, against the
#     server's receive stamp of "gimmeatoken" (both the host's wall clock, in
#     microseconds); the floor of the second is a bare Winsock round trip
#     to the same server (roundtrip.exe, each round) plus one full repaint;
#   - full repaints against a bare window's repaint of the same size
#     (repaint_bench.exe), the layout benchmark of the Windows tree and the
#     native parse benchmark when they are built, and the stripped size of
#     Wavorin.exe.
# With --parse only the parse benchmark is built and run (natively, no
# wine), its details on standard error; its status is 1 when the parsers'
# trees differ.
#
# usage: bash tools/bench.sh [--parse]
#   WAVORIN_BENCH_ROUNDS   rounds of the start-up figures (default 7, at least 5)
#   WAVORIN_BENCH_IDLE     seconds of each idle phase, shown and hidden
#                          (default 60, in windows of 15 s, at least 2 windows)
#   WAVORIN_BENCH_CLICKS   rounds of the click figures (default 11, at least 5)
#   WAVORIN_BUILD          build root (default: build/ in this tree)
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
parse_only=""
if [ $# -eq 1 ] && [ "$1" = --parse ]; then
    parse_only=1
elif [ $# -gt 0 ]; then
    sed -n 's/^# \{0,1\}//; /^usage:/,/^ *WAVORIN_BUILD/p' "$0" >&2
    exit 2
fi
rounds="${WAVORIN_BENCH_ROUNDS:-7}"
[ "$rounds" -ge 5 ] 2>/dev/null || rounds=5
idle_seconds="${WAVORIN_BENCH_IDLE:-60}"
clicks="${WAVORIN_BENCH_CLICKS:-11}"
[ "$clicks" -ge 5 ] 2>/dev/null || clicks=5
window_seconds=15
idle_windows=$(( (idle_seconds + window_seconds / 2) / window_seconds ))
[ "$idle_windows" -ge 2 ] 2>/dev/null || idle_windows=2
pointer_windows=$(( idle_windows / 2 ))
[ "$pointer_windows" -ge 2 ] || pointer_windows=2
size_budget_kb=512

bash tools/setup.sh --bench || exit 1
. "$here/tools/trees.sh"
say() { echo "== $*" >&2; }
# The native parse benchmark has a tree of its own (optimised, no sanitizers).
say "building the parse benchmark"
{ configure_bench_native && ninja -C "$bench_native" -j "$jobs" parse_bench; } >&2 || exit 1
parse_bench="$bench_native/tools/bench/parse/parse_bench"
if [ -n "$parse_only" ]; then
    say "parse"
    echo "| figure | min | median | budget | holds |"
    echo "|---|---|---|---|---|"
    exec "$parse_bench"
fi

configure_release || exit 1
say "building the release tree"
targets=(Wavorin barewindow endwindow repaint_bench roundtrip)
ninja -C "$release" -t query layout_bench >/dev/null 2>&1 && targets+=(layout_bench)
{ ninja -C "$native" -j "$jobs" refserver && ninja -C "$release" -j "$jobs" "${targets[@]}"; } >&2 || exit 1

scratch="$root/bench"
loopback_folder "$scratch" "$release/app/Wavorin.exe" "$release"/tools/bench/window/{barewindow,endwindow,repaint_bench,roundtrip}.exe \
    || exit 1

export WINEPREFIX="$release/wineprefix" WINEARCH=win32 WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
       WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid="" server_pid="" program_pid="" bare_pid="" beat_pid="" prefix_used=""
stop() {  # stop PID: ends a process this script started and reaps it
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
cleanup() {
    [ -n "$program_pid" ] && stop "$program_pid"
    [ -n "$bare_pid" ] && stop "$bare_pid"
    [ -n "$beat_pid" ] && stop "$beat_pid"
    [ -n "$prefix_used" ] && wineserver -k >/dev/null 2>&1
    [ -n "$server_pid" ] && stop "$server_pid"
    [ -n "$xvfb_pid" ] && stop "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_own_xvfb "$scratch/display" || exit 1

# The prefix's wine server (and its desktop) must belong to this display:
# one left from an earlier run is ended first. It then stays up between the
# rounds, as it would on a desktop.
prefix_used=1
wineserver -k >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "creating the wine prefix"
    wineboot -i >/dev/null 2>&1 </dev/null
fi
wineserver -p >/dev/null 2>&1

# The wine server of this prefix: its working folder is named after the
# prefix's device and inode.
wineserver_pid() {
    local dir pid
    dir="/tmp/.wine-$(id -u)/$(stat -c 'server-%D' "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
    for pid in $(pgrep -x wineserver); do
        [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$dir" ] && { echo "$pid"; return; }
    done
}
# Clock ticks spent by a process so far (user and system).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The resident memory of a process that no file backs (its heap, stacks,
# written pages): the closest Linux has to private bytes, which count what a
# process committed for itself, not the unchanged pages of files it maps
# (under wine the font files, which Windows maps outside the process).
private_bytes() { awk '/^Anonymous:/ { kb += $2 } END { print kb * 1024 }' "/proc/$1/smaps_rollup"; }

# start NAME [ARGUMENT...]: runs NAME.exe from the scratch folder, asking
# for its first paint report (and moments) in $scratch/NAME.report; sets
# program_pid.
start() {
    rm -f "$scratch/$1.report"
    (cd "$scratch" && WAVORIN_FIRST_PAINT="Z:$(echo "$scratch/$1.report" | tr / '\\')" \
        exec wine "$1.exe" "${@:2}" >"$scratch/$1.log" 2>&1 </dev/null) &
    program_pid=$!
}
# first_paint NAME: waits for the running program's report and prints
# "<ms> <private bytes>", the bytes from /proc when wine answers none.
first_paint() {
    local report="$scratch/$1.report" line ms bytes
    for _ in $(seq 600); do
        grep -q '^first_paint' "$report" 2>/dev/null && break
        kill -0 "$program_pid" 2>/dev/null || { echo "bench: $1.exe ended early" >&2; return 1; }
        sleep 0.05
    done
    line=$(grep '^first_paint' "$report") || { echo "bench: $1.exe reported no first paint" >&2; return 1; }
    ms=$(sed 's/.*first_paint_ms=\([0-9]*\).*/\1/' <<<"$line")
    bytes=$(sed 's/.*private_bytes=\([0-9]*\).*/\1/' <<<"$line")
    if [ "$bytes" = 0 ]; then
        sleep 0.2
        bytes=$(private_bytes "$program_pid")
        echo proc >"$scratch/memory-source"
    fi
    echo "$ms $bytes"
    echo "$1 $line" >>"$scratch/reports"
}
# end NAME [PID]: ends the running NAME.exe (program_pid unless PID is
# given) as its own menu would (a program that is killed leaves its
# notification-area icon behind, which slows the next window's creation by
# seconds), or kills it when that fails.
end() {
    local class pid="${2:-$program_pid}"
    class=$(window_class "$1")
    (cd "$scratch" && wine endwindow.exe "$class" >/dev/null 2>&1 </dev/null)
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    stop "$pid"
    [ "$pid" = "$program_pid" ] && program_pid=""
    [ "$pid" = "$bare_pid" ] && bare_pid=""
}
window_class() { if [ "$1" = Wavorin ]; then echo RAVarOrudadezez; else echo WavorinBareWindow; fi; }
# one_run NAME: starts NAME.exe, prints its figures, ends it.
one_run() {
    start "$1"
    first_paint "$1"
    local status=$?
    end "$1"
    sleep 0.3
    return $status
}

say "warming up (not counted)"
one_run barewindow >/dev/null && one_run Wavorin >/dev/null || exit 1
: >"$scratch/reports"
say "start to first paint, $rounds rounds"
for round in $(seq "$rounds"); do
    bare=$(one_run barewindow) && wavorin=$(one_run Wavorin) || exit 1
    echo "$round $bare $wavorin" >>"$scratch/startup"
    say "round $round: barewindow $bare, Wavorin $wavorin (ms, bytes)"
done

# The reference server on loopback, its log stamped in microseconds; codes
# live 1 s, so that the code button comes back soon after a code. Another
# user of the port may hold it a while.
say "starting the reference server"
for _ in $(seq 30); do
    rm -f "$scratch/server.log"
    "$native/tools/refserver/refserver" --log "$scratch/server.log" --stamp us --token-ttl 1 --duration 3600000 \
        2>"$scratch/server.stderr" &
    server_pid=$!
    for _ in $(seq 30); do
        grep -q listening "$scratch/server.log" 2>/dev/null && break
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q listening "$scratch/server.log" 2>/dev/null && break
    stop "$server_pid"
    server_pid=""
    sleep 2
done
[ -n "$server_pid" ] || { echo "bench: the reference server did not start" >&2; exit 1; }

# The pointer and the windows, in screen pixels. The bare window of the idle
# figures stands to the right of Wavorin's (which is in the middle of the
# 1024 x 768 screen), so that each window's middle is clear of the other.
corner=(1023 767)
bare_at=(520 84)
# pointer X Y: moves the pointer there in eight steps, as a person's hand
# does (wine takes a single jump from outside its windows into one for no
# movement of the pointer), and makes sure it got there. The display resets,
# pointer and all, whenever its last client leaves: only a display with a
# program on it keeps the pointer where it was put.
pointer() {
    local x0 y0 step
    read -r x0 y0 <<<"$(xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/p')"
    for step in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $((x0 + ($1 - x0) * step / 8)) $((y0 + ($2 - y0) * step / 8))
        sleep 0.03
    done
    for _ in $(seq 20); do
        xdotool getmouselocation | grep -q "^x:$1 y:$2 " && return 0
        xdotool mousemove "$1" "$2"
        sleep 0.1
    done
    echo "bench: the pointer does not stay at $1, $2" >&2
    return 1
}
# click_at X Y: moves the pointer there, pauses a moment, clicks, and takes
# the pointer back to the corner.
click_at() {
    pointer "$1" "$2" || return 1
    sleep 0.3
    xdotool click 1
    pointer "${corner[@]}"
}
# window_of NAME: the X window of the program's visible main window.
window_of() {
    local name='^bare window$'
    [ "$1" = Wavorin ] && name='^Wavorin\('
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 | grep . && return
        sleep 0.1
    done
    return 1
}
# origin WINDOW: "x y" of the window's top-left corner on the screen.
origin() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \(-\{0,1\}[0-9]*\),\(-\{0,1\}[0-9]*\).*/\1 \2/p'; }
# wait_unmapped WINDOW: polls until the X window is no longer shown. Hiding
# takes wine about 2 s on a display without a window manager.
wait_unmapped() {
    for _ in $(seq 100); do
        xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
        sleep 0.1
    done
    return 1
}
logins() { grep -c "session opened" "$scratch/server.log"; }
# wait_login COUNT: polls until the server has opened more than COUNT sessions.
wait_login() {
    for _ in $(seq 100); do
        [ "$(logins)" -gt "$1" ] && return 0
        sleep 0.1
    done
    echo "bench: Wavorin did not log in" >&2
    return 1
}
# wakeups PID [TID]: voluntary context switches of the thread, or of every
# thread of the process.
wakeups() {
    local tasks=("/proc/$1/task/"*)
    [ $# -eq 2 ] && tasks=("/proc/$1/task/$2")
    awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }' "${tasks[@]/%//status}" 2>/dev/null || true
}
# worker_thread PID: the thread other than the first that began last (ties
# go to the higher id).
worker_thread() {
    local task
    for task in "/proc/$1/task/"*; do
        [ "${task##*/}" = "$1" ] && continue
        echo "$(sed 's/.*) //' "$task/stat" | awk '{ print $20 }') ${task##*/}"
    done | sort -n -k1,1 -k2,2 | tail -n 1 | cut -d' ' -f2
}
# measure PHASE COUNT [memory]: COUNT windows of 15 s, each a line of
# $scratch/idle:
#   PHASE ns ui worker bare beat program_ticks server_ticks
# (the wakeups of Wavorin's two threads, of all the bare window's and of all
# the bare heartbeat's, the CPU ticks of Wavorin and of the wine server);
# with memory, the anonymous resident bytes of Wavorin and of the bare window
# after each window go to $scratch/memory-hidden.
measure() {
    local phase="$1" count="$2" memory="${3:-}" i u0 k0 b0 h0 p0 s0 t0 u1 k1 b1 h1 p1 s1 t1
    for i in $(seq "$count"); do
        u0=$(wakeups "$program_pid" "$program_pid") k0=$(wakeups "$program_pid" "$worker") b0=$(wakeups "$bare_pid")
        h0=$(wakeups "$beat_pid") p0=$(cpu_ticks "$program_pid") s0=$(cpu_ticks "${server:-0}") t0=$(date +%s%N)
        sleep "$window_seconds"
        u1=$(wakeups "$program_pid" "$program_pid") k1=$(wakeups "$program_pid" "$worker") b1=$(wakeups "$bare_pid")
        h1=$(wakeups "$beat_pid") p1=$(cpu_ticks "$program_pid") s1=$(cpu_ticks "${server:-0}") t1=$(date +%s%N)
        echo "$phase $((t1 - t0)) $((u1 - u0)) $((k1 - k0)) $((b1 - b0)) $((h1 - h0)) $((p1 - p0)) $((s1 - s0))" \
            >>"$scratch/idle"
        say "$phase $i/$count: wakeups of the UI thread $((u1 - u0)), the worker $((k1 - k0)), the bare window" \
            "$((b1 - b0)), the bare heartbeat $((h1 - h0))"
        [ -n "$memory" ] && echo "$(private_bytes "$program_pid") $(private_bytes "$bare_pid")" >>"$scratch/memory-hidden"
    done
}

say "idle: $idle_windows windows of $window_seconds s shown and hidden, $pointer_windows with the pointer over each window"
start barewindow "${bare_at[@]}"
bare_pid=$program_pid
first_paint barewindow >/dev/null || exit 1
start Wavorin
first_paint Wavorin >/dev/null || exit 1
wait_login 0 || exit 1
# The floor of the worker's wakeups: a bare program that waits on its socket
# and makes one exchange with the server every 15 s, as the heartbeat does.
(cd "$scratch" && exec wine roundtrip.exe $((2 * idle_windows + 2 * pointer_windows + 4)) 15000 \
    >"$scratch/heartbeat.log" 2>&1 </dev/null) &
beat_pid=$!
pointer "${corner[@]}" || exit 1
sleep 1
server=$(wineserver_pid)
worker=$(worker_thread "$program_pid")
[ -n "$worker" ] || { echo "bench: Wavorin runs no thread beside its first" >&2; exit 1; }
say "Wavorin's threads: $(ls "/proc/$program_pid/task" | tr '\n' ' ')(UI thread $program_pid, worker $worker)"
: >"$scratch/idle"
: >"$scratch/memory-hidden"
measure shown "$idle_windows"
# The heartbeat wakes the worker at least once in 15 s.
awk '$1 == "shown" { n += $4 } END { exit n > 0 ? 0 : 1 }' "$scratch/idle" \
    || say "the thread taken for the worker did not wake for the heartbeat: its rows are wrong"

wavorin_window=$(window_of Wavorin) && bare_window=$(window_of barewindow) \
    || { echo "bench: the windows are not on the screen" >&2; exit 1; }
read -r wx wy <<<"$(origin "$wavorin_window")"
pointer $((wx + 400)) $((wy + 300)) || exit 1
sleep 1
measure pointer "$pointer_windows"
pointer $((bare_at[0] + 400)) $((bare_at[1] + 300)) || exit 1
sleep 1
measure bare-pointer "$pointer_windows"
pointer "${corner[@]}" || exit 1

# Hidden as a person hides it: Wavorin's close button (window pixels
# (757, 0)-(800, 18)); the bare window has none and gets the close message.
click_at $((wx + 778)) $((wy + 9)) || exit 1
(cd "$scratch" && wine endwindow.exe --close WavorinBareWindow >/dev/null 2>&1 </dev/null)
wait_unmapped "$wavorin_window" && wait_unmapped "$bare_window" \
    || { echo "bench: the windows did not hide" >&2; exit 1; }
sleep 10
echo "$(private_bytes "$program_pid") $(private_bytes "$bare_pid")" >>"$scratch/memory-hidden"
measure hidden "$idle_windows" memory
stop "$beat_pid"
beat_pid=""
end Wavorin
end barewindow "$bare_pid"

say "click to code on screen, $clicks rounds"
before=$(logins)
start Wavorin
first_paint Wavorin >/dev/null || exit 1
wait_login "$before" || exit 1
pointer "${corner[@]}" || exit 1
sleep 1
wavorin_window=$(window_of Wavorin) || { echo "bench: Wavorin's window is not on the screen" >&2; exit 1; }
read -r wx wy <<<"$(origin "$wavorin_window")"
report="$scratch/Wavorin.report"
painted() { grep -c '^moment code_painted' "$report"; }
: >"$scratch/roundtrip"
worker_before=$(wakeups "$program_pid" "$(worker_thread "$program_pid")")
for round in $(seq "$clicks"); do
    echo "$round $(cd "$scratch" && wine roundtrip.exe 5 2>/dev/null </dev/null | tr -d '\r' \
        | sed -n 's/^roundtrip_us=//p' | tr '\n' ' ')" >>"$scratch/roundtrip"
    done_before=$(painted)
    # The button is back a second after a code; a click before that is
    # ignored by the program and made again.
    for _ in 1 2 3 4 5; do
        click_at $((wx + 400)) $((wy + 520)) || exit 1
        for _ in $(seq 30); do
            [ "$(painted)" -gt "$done_before" ] && break 2
            sleep 0.1
        done
    done
    [ "$(painted)" -gt "$done_before" ] || { echo "bench: round $round showed no code" >&2; exit 1; }
    say "round $round: $(awk '$1 == "moment" { split($3, at, "="); if ($2 == "click") { c = at[2]; s = "" }
                               else s = s sprintf("%s +%.2f ms  ", $2, (at[2] - c) / 1000) } END { print s }' "$report")"
    sleep 1.2
done
[ "$(wakeups "$program_pid" "$(worker_thread "$program_pid")")" -gt "$worker_before" ] \
    || say "the thread taken for the worker did not wake for the requests: its rows are wrong"
cp "$report" "$scratch/clicks.report"
end Wavorin
stop "$server_pid"
server_pid=""

say "repaint"
other_rows=$(cd "$scratch" && wine repaint_bench.exe 2>>"$scratch/repaint.log" | tr -d '\r')
if [ -x "$release/tools/bench/layout/layout_bench.exe" ]; then
    say "layout"
    other_rows+=$'\n'$(cd "$scratch" && wine "$release/tools/bench/layout/layout_bench.exe" 2>>"$scratch/layout.log" | tr -d '\r')
fi
say "parse"
other_rows+=$'\n'$("$parse_bench" 2>>"$scratch/parse.log")

memory_source="GetProcessMemoryInfo"
[ -f "$scratch/memory-source" ] && memory_source="/proc anonymous resident"
size=$(stat -c %s "$release/app/Wavorin.exe")
repaint_ms=$(sed -n 's/^repaint_ms=//p' <<<"$other_rows")
python3 - "$scratch" "$(getconf CLK_TCK)" "$memory_source" "$size" "$size_budget_kb" "${repaint_ms:-0}" <<'EOF'
import re, statistics, sys

scratch, tick, memory_source = sys.argv[1], int(sys.argv[2]), sys.argv[3]
size, size_budget, repaint_ms = int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6])
median = statistics.median
frame_ms = 16  # one frame at 60 Hz: what a person cannot tell from the floor

def row(figure, values, budget, unit, fmt):
    low, mid = min(values), median(values)
    print("| %s | %s%s | %s%s | ≤ %s%s | %s |" % (figure, fmt % low, unit, fmt % mid, unit, fmt % budget, unit,
                                                  "yes" if mid <= budget else "no"))

def lines(name):
    return [line.split() for line in open(scratch + "/" + name) if line.strip()]

startup = [list(map(int, r)) for r in lines("startup")]
bare_ms = [r[1] for r in startup]; bare_mem = [r[2] for r in startup]
wav_ms = [r[3] for r in startup]; wav_mem = [r[4] for r in startup]
n = len(startup)
print("| figure | min | median | budget | holds |")
print("|---|---|---|---|---|")
row("start to first paint, Wavorin / bare window (%d rounds; medians %d / %d ms)"
    % (n, median(wav_ms), median(bare_ms)),
    [w / max(b, 1) for w, b in zip(wav_ms, bare_ms)], 1.2, "×", "%.2f")
row("memory after first paint, Wavorin / bare window (%s; medians %.1f / %.1f MB)"
    % (memory_source, median(wav_mem) / 2**20, median(bare_mem) / 2**20),
    [w / max(b, 1) for w, b in zip(wav_mem, bare_mem)], 1.5, "×", "%.2f")
hidden_mem = [list(map(int, r)) for r in lines("memory-hidden")]
row("memory hidden, from 10 s after hiding on, Wavorin / bare window (/proc anonymous resident, %d readings; "
    "medians %.1f / %.1f MB)" % (len(hidden_mem), median(r[0] for r in hidden_mem) / 2**20,
                                 median(r[1] for r in hidden_mem) / 2**20),
    [r[0] / max(r[1], 1) for r in hidden_mem], 1.2, "×", "%.2f")

# Idle windows: phase, ns, wakeups of the UI thread, the worker, the bare
# window's threads, the bare heartbeat's, CPU ticks of Wavorin and of the
# wine server.
idle = {}
for r in lines("idle"):
    idle.setdefault(r[0], []).append(list(map(int, r[1:])))
def per_minute(phase, column):
    return [60e9 * r[column] / r[0] for r in idle[phase]]
shown = idle["shown"]
seconds = sum(r[0] for r in shown) / 1e9
row("idle CPU of Wavorin, logged in, untouched, pointer outside (%.0f s in %d windows; %% of one core)"
    % (seconds, len(shown)), [100.0 * r[5] / tick / (r[0] / 1e9) for r in shown], 0.2, " %", "%.2f")
server = [100.0 * r[6] / tick / (r[0] / 1e9) for r in shown]
print("| idle CPU of the wine server meanwhile (%% of one core) | %.2f %% | %.2f %% | — | — |"
      % (min(server), median(server)))
window = "%d windows of %.0f s" % (len(shown), shown[0][0] / 1e9)
row("idle wakeups a minute, Wavorin's UI thread, shown, pointer outside the window (%s; "
    "budget: the bare window's threads over the same time)" % window,
    per_minute("shown", 1), median(per_minute("shown", 3)), "", "%.1f")
row("idle wakeups a minute, UI thread, shown, pointer resting over the window's middle (400, 300) "
    "(%d windows; budget: the bare window's threads with the pointer over its middle)" % len(idle["pointer"]),
    per_minute("pointer", 1), median(per_minute("bare-pointer", 3)), "", "%.1f")
row("idle wakeups a minute, UI thread, hidden to the notification area (%d windows; budget: the bare "
    "window's threads, hidden, over the same time)" % len(idle["hidden"]),
    per_minute("hidden", 1), median(per_minute("hidden", 3)), "", "%.1f")
row("idle wakeups a minute, the token client's worker, shown, logged in (%s; a bare program's exchange "
    "with the server every 15 s meanwhile: median %.1f)" % (window, median(per_minute("shown", 4))),
    per_minute("shown", 2), 10, "", "%.1f")
row("idle wakeups a minute, the token client's worker, hidden (%d windows; the bare exchange every 15 s: "
    "median %.1f)" % (len(idle["hidden"]), median(per_minute("hidden", 4))),
    per_minute("hidden", 2), 10, "", "%.1f")

# Clicks: the program's moments against the server's stamps, both
# microseconds of the wall clock.
moments = []
for line in open(scratch + "/clicks.report"):
    m = re.match(r"moment (\w+) wall_us=(\d+)", line)
    if m:
        moments.append((m.group(1), int(m.group(2))))
requests, replies = [], []
for line in open(scratch + "/server.log"):
    m = re.match(r'(\d+) (in|out) \S+ "(.*)"', line)
    if m and m.group(2) == "in" and m.group(3).startswith("gimmeatoken"):
        requests.append(int(m.group(1)))
    elif m and m.group(2) == "out" and "token:" in m.group(3) and "token-valid" not in m.group(3):
        replies.append(int(m.group(1)))
trips = [sorted(int(v) for v in r[1:]) for r in lines("roundtrip") if len(r) > 1]
rounds, click_paints = [], []
click = reply = click_painted = None
for name, at in moments:
    if name == "click":
        click, reply, click_painted = at, None, None
    elif name == "click_painted" and click is not None:
        click_painted = at
    elif name == "code_reply" and click is not None:
        reply = at
    elif name == "code_painted" and click is not None and reply is not None:
        wire = next((t for t in requests if click <= t <= at), None)
        out = next((t for t in replies if wire is not None and wire <= t <= at), None)
        if wire is not None and out is not None:
            rounds.append((click, wire, out, reply, at))
            if click_painted is not None:
                click_paints.append(click_painted - click)
        click = reply = None
if rounds and trips:
    ms = lambda us: us / 1000.0
    trip_ms = [ms(median(t)) for t in trips]
    floor = median(trip_ms) + repaint_ms
    row("click to request on the wire, ms (%d rounds; the program's click notification to the server's receive "
        "stamp of \"gimmeatoken\")" % len(rounds), [ms(r[1] - r[0]) for r in rounds], 5, "", "%.2f")
    click_paint = ("the click's own paint ended %.2f (in %d rounds), " % (ms(median(click_paints)), len(click_paints))
                   if click_paints else "")
    row("click to code on screen, ms (%d rounds; to the end of the paint that shows it; budget: the floor %.2f ms, "
        "a bare round trip to the server %.2f + one full repaint %.2f, + one frame of %d ms; medians after the "
        "click: %sthe reply was sent %.2f and reached the window %.2f)"
        % (len(rounds), floor, median(trip_ms), repaint_ms, frame_ms, click_paint,
           median(ms(r[2] - r[0]) for r in rounds), median(ms(r[3] - r[0]) for r in rounds)),
        [ms(r[4] - r[0]) for r in rounds], floor + frame_ms, "", "%.2f")
else:
    print("| click rounds: no complete round (see %s/clicks.report and server.log) | — | — | — | no |" % scratch)
print("| stripped size of Wavorin.exe | %.0f KB | %.0f KB | ≤ %d KB | %s |"
      % (size / 1024, size / 1024, size_budget, "yes" if size <= size_budget * 1024 else "no"))
EOF
[ -n "$other_rows" ] && grep '^|' <<<"$other_rows"
say "reports of the rounds: $scratch/reports"
exit 0
