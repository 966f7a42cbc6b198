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
#   - idle CPU: Wavorin shown, logged in to the reference server on loopback
#     and left alone, from /proc/<pid>/stat, with the wine server's share;
#   - full repaints against BitBlt (repaint_bench.exe), the layout benchmark
#     of the Windows tree and the native parse benchmark when they are built,
#     and the stripped size of Wavorin.exe.
# With --parse only the parse benchmark is built and run (natively, no
# wine), its details on standard error; its status is 1 when the parsers'
# trees differ.
#
# usage: bash tools/bench.sh [--parse]
#   WAVORIN_BENCH_ROUNDS   rounds of the start-up figures (default 7, at least 5)
#   WAVORIN_BENCH_IDLE     seconds of the idle figure (default 60), in 5 windows
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
targets=(Wavorin barewindow endwindow repaint_bench)
ninja -C "$release" -t query layout_bench >/dev/null 2>&1 && targets+=(layout_bench)
{ ninja -C "$native" -j "$jobs" refserver && ninja -C "$release" -j "$jobs" "${targets[@]}"; } >&2 || exit 1

scratch="$root/bench"
loopback_folder "$scratch" "$release/app/Wavorin.exe" "$release"/tools/bench/window/{barewindow,endwindow,repaint_bench}.exe \
    || exit 1

export WINEPREFIX="$release/wineprefix" WINEARCH=win32 WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
       WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid="" server_pid="" program_pid="" prefix_used=""
stop() {  # stop PID: ends a process this script started and reaps it
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
cleanup() {
    [ -n "$program_pid" ] && stop "$program_pid"
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

# start NAME: runs NAME.exe from the scratch folder, asking for its first
# paint report in $scratch/NAME.report; sets program_pid.
start() {
    rm -f "$scratch/$1.report"
    (cd "$scratch" && WAVORIN_FIRST_PAINT="Z:$(echo "$scratch/$1.report" | tr / '\\')" \
        exec wine "$1.exe" >"$scratch/$1.log" 2>&1 </dev/null) &
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
# end NAME: ends the running NAME.exe as its own menu would (a program that
# is killed leaves its notification-area icon behind, which slows the next
# window's creation by seconds), or kills it when that fails.
end() {
    local class=WavorinBareWindow
    [ "$1" = Wavorin ] && class=RAVarOrudadezez
    (cd "$scratch" && wine endwindow.exe "$class" >/dev/null 2>&1 </dev/null)
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    stop "$program_pid"
    program_pid=""
}
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

# The reference server on loopback; another user of the port may hold it a while.
say "idle CPU over $idle_seconds s"
for _ in $(seq 30); do
    rm -f "$scratch/server.log"
    "$native/tools/refserver/refserver" --log "$scratch/server.log" --duration 3600000 \
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
start Wavorin
first_paint Wavorin >/dev/null || exit 1
for _ in $(seq 100); do
    grep -q "session opened" "$scratch/server.log" && break
    sleep 0.1
done
grep -q "session opened" "$scratch/server.log" || { echo "bench: Wavorin did not log in" >&2; exit 1; }
sleep 1
server=$(wineserver_pid)
window=$((idle_seconds / 5))
for sample in 1 2 3 4 5; do
    p0=$(cpu_ticks "$program_pid") s0=$(cpu_ticks "${server:-0}") t0=$(date +%s%N)
    sleep "$window"
    p1=$(cpu_ticks "$program_pid") s1=$(cpu_ticks "${server:-0}") t1=$(date +%s%N)
    echo "$sample $((p1 - p0)) $((s1 - s0)) $((t1 - t0))" >>"$scratch/idle"
done
end Wavorin

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
python3 - "$scratch" "$(getconf CLK_TCK)" "$memory_source" "$size" "$size_budget_kb" <<'EOF'
import statistics, sys

scratch, tick, memory_source, size, size_budget = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4]), int(sys.argv[5])

def row(figure, values, budget, unit, fmt):
    low, mid = min(values), statistics.median(values)
    print("| %s | %s%s | %s%s | ≤ %s%s | %s |" % (figure, fmt % low, unit, fmt % mid, unit, fmt % budget, unit,
                                                  "yes" if mid <= budget else "no"))

startup = [list(map(int, line.split())) for line in open(scratch + "/startup")]
bare_ms = [r[1] for r in startup]; bare_mem = [r[2] for r in startup]
wav_ms = [r[3] for r in startup]; wav_mem = [r[4] for r in startup]
n = len(startup)
print("| figure | min | median | budget | holds |")
print("|---|---|---|---|---|")
row("start to first paint, Wavorin / bare window (%d rounds; medians %d / %d ms)"
    % (n, statistics.median(wav_ms), statistics.median(bare_ms)),
    [w / max(b, 1) for w, b in zip(wav_ms, bare_ms)], 1.2, "×", "%.2f")
row("memory after first paint, Wavorin / bare window (%s; medians %.1f / %.1f MB)"
    % (memory_source, statistics.median(wav_mem) / 2**20, statistics.median(bare_mem) / 2**20),
    [w / max(b, 1) for w, b in zip(wav_mem, bare_mem)], 1.5, "×", "%.2f")
idle = [list(map(int, line.split())) for line in open(scratch + "/idle")]
seconds = sum(r[3] for r in idle) / 1e9
program = [100.0 * r[1] / tick / (r[3] / 1e9) for r in idle]
server = [100.0 * r[2] / tick / (r[3] / 1e9) for r in idle]
row("idle CPU of Wavorin, logged in, untouched (%.0f s in 5 windows; %% of one core)" % seconds,
    program, 0.2, " %", "%.2f")
print("| idle CPU of the wine server meanwhile (%% of one core) | %.2f %% | %.2f %% | — | — |"
      % (min(server), statistics.median(server)))
print("| stripped size of Wavorin.exe | %.0f KB | %.0f KB | ≤ %d KB | %s |"
      % (size / 1024, size / 1024, size_budget, "yes" if size <= size_budget * 1024 else "no"))
EOF
[ -n "$other_rows" ] && grep '^|' <<<"$other_rows"
say "reports of the rounds: $scratch/reports"
exit 0
