# Sourced by the test and run scripts (after `here` is set): the build root
# and the configuration of its two trees, so that both scripts share builds.
# WAVORIN_BUILD names another build root, so that several work trees' builds can coexist.
root="${WAVORIN_BUILD:-$here/build}"
native="$root/native"
win="$root/win"
jobs=$(nproc)

# Configures the native tree (sanitizers on) and a Windows tree in `$1` with
# the cmake arguments after it; prints the log `$root/<log>` and fails when
# either configuration fails.
configure_native_and_windows() {
    local tree="$1" log="$root/$2"
    shift 2
    mkdir -p "$root"
    cmake -S "$here" -B "$native" -G Ninja -DWAVORIN_SANITIZE=ON >"$log" 2>&1 \
        && cmake -S "$here" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw32.cmake" \
                 -DWAVORIN_NATIVE_BUILD="$native" "$@" >>"$log" 2>&1 \
        || { cat "$log"; return 1; }
}

# The native tree and the Windows test tree.
configure_trees() {
    configure_native_and_windows "$win" configure.log
}

# The release tree: the Windows programs optimised, as they ship (stripped,
# symbols beside them in .exe.debug). The main job and the benchmarks run it.
release="$root/release"
configure_release() {
    configure_native_and_windows "$release" configure-release.log -DCMAKE_BUILD_TYPE=Release
}

# The native benchmark tree: optimised, no sanitizers, so that the figures
# measure the code as it runs. tools/bench/parse compiles pugixml's sources
# (setup.sh --bench fetches them) with the same flags as the framework.
bench_native="$root/bench-native"
configure_bench_native() {
    mkdir -p "$root"
    local log="$root/configure-bench-native.log"
    cmake -S "$here" -B "$bench_native" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >"$log" 2>&1 \
        || { cat "$log"; return 1; }
}

# Starts an Xvfb display of the script's own, which picks a free display
# number and writes it to `$1`; sets DISPLAY and xvfb_pid (for the caller to
# stop), or fails.
start_own_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        grep -q '[0-9]' "$1" 2>/dev/null && break
        kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; xvfb_pid=""; return 1; }
        sleep 0.1
    done
    export DISPLAY=":$(tr -dc 0-9 <"$1")"
}

# Makes `$1` afresh with copies of the programs named after it and an
# authipconf.ini naming 127.0.0.1 beside them, so that a client run from it
# talks to loopback and never to this machine's gateway.
loopback_folder() {
    local folder="$1"
    shift
    rm -rf "$folder" && mkdir -p "$folder" && cp "$@" "$folder/" \
        && printf 'serverip=127.0.0.1\r\n' >"$folder/authipconf.ini"
}
