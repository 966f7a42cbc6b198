# Sourced by the test and run scripts (after `here` is set): the build root
# and the configuration of its two trees, so that both scripts share builds.
# WAVORIN_BUILD names another build root, so that several work trees' builds can coexist.
root="${WAVORIN_BUILD:-$here/build}"
native="$root/native"
win="$root/win"
jobs=$(nproc)

# Configures the native tree (sanitizers on) and the Windows tree; prints the
# log and fails when either configuration fails.
configure_trees() {
    mkdir -p "$root"
    local log="$root/configure.log"
    cmake -S "$here" -B "$native" -G Ninja -DWAVORIN_SANITIZE=ON >"$log" 2>&1 \
        && cmake -S "$here" -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw32.cmake" \
                 -DWAVORIN_NATIVE_BUILD="$native" >>"$log" 2>&1 \
        || { cat "$log"; return 1; }
}

# The release tree: the Windows programs optimised, as they ship (stripped,
# symbols beside them in .exe.debug). The main job and the benchmarks run it.
release="$root/release"
configure_release() {
    mkdir -p "$root"
    local log="$root/configure-release.log"
    cmake -S "$here" -B "$native" -G Ninja -DWAVORIN_SANITIZE=ON >"$log" 2>&1 \
        && cmake -S "$here" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
                 -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw32.cmake" \
                 -DWAVORIN_NATIVE_BUILD="$native" >>"$log" 2>&1 \
        || { cat "$log"; return 1; }
}

# The native benchmark tree: optimised, no sanitizers, so that the figures
# measure the code as it runs (tools/bench/parse needs pugixml: setup.sh --bench).
bench_native="$root/bench-native"
configure_bench_native() {
    mkdir -p "$root"
    local log="$root/configure-bench-native.log"
    cmake -S "$here" -B "$bench_native" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >"$log" 2>&1 \
        || { cat "$log"; return 1; }
}
