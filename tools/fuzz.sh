#!/usr/bin/env bash
# Builds the fuzz harnesses of tests/fuzz with clang and libFuzzer in a
# native tree of their own (AddressSanitizer and UBSan) and runs one
# harness, or each in turn, for the given number of seconds (or until it has
# run the given number of inputs, whichever comes first) on a copy of its
# seed corpus in that tree. What the engine finds is left beside the copy.
#
#   fuzz.sh <harness|all> <seconds> [runs]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
# One harness per source file of tests/fuzz, beside the replay program.
harnesses=()
for source in tests/fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    [ "$name" = ReplayMain ] || harnesses+=("$name")
done

usage() {
    echo "usage: $0 <harness|all> <seconds> [runs]; harnesses: ${harnesses[*]}" >&2
    exit 2
}
[ $# -eq 2 ] || [ $# -eq 3 ] || usage
runs=${3:--1}
case "$2" in ''|*[!0-9]*) usage ;; esac
case "$runs" in -1) ;; ''|*[!0-9]*) usage ;; esac
if [ "$1" = all ]; then
    chosen=("${harnesses[@]}")
else
    [[ " ${harnesses[*]} " == *" $1 "* ]] || usage
    chosen=("$1")
fi

bash tools/setup.sh --fuzz

root="${WAVORIN_BUILD:-$here/build}"
tree="$root/fuzz"
mkdir -p "$tree"
cmake -S "$here" -B "$tree" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DWAVORIN_SANITIZE=ON -DWAVORIN_FUZZ=ON >"$tree/configure.log" 2>&1 \
    || { cat "$tree/configure.log"; exit 1; }
ninja -C "$tree" -j "$(nproc)" fuzzers

status=0
for name in "${chosen[@]}"; do
    corpus="$tree/corpus/$name"
    findings="$tree/findings/$name"
    mkdir -p "$corpus" "$findings"
    # The seeds join what earlier runs kept; the checked-in corpus is not
    # written to.
    cp -n "$here/tests/fuzz/corpus/$name"/* "$corpus"/
    echo "== $name: $2 s"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$tree/tests/fuzz/${name}_fuzzer" -max_total_time="$2" -runs="$runs" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$tree/$name.log" 2>&1 || status=1
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^stat::peak_rss_mb|ERROR|runtime error|^artifact_prefix|Test unit written' \
        "$tree/$name.log" || true
done
[ $status -eq 0 ] || echo "fuzz: findings in $tree/findings (logs: $tree/<harness>.log)" >&2
exit $status
