#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
# Idempotent: on a machine that already has it all it only checks and returns.
# With --fuzz it also installs what tools/fuzz.sh needs; with --bench it
# fetches the sources of the benchmarks' reference library.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps="${WAVORIN_DEPS:-$here/.deps}"

need_root() {
    if [ "$(id -u)" != 0 ]; then
        echo "setup: run as root (apt-get install is needed)" >&2
        exit 1
    fi
}

packages=(g++-mingw-w64-i686-posix wine wine32:i386 xvfb xauth xdotool x11-utils imagemagick
          fonts-wqy-microhei locales cmake ninja-build googletest libstb-dev
          libz-mingw-w64-dev zlib1g-dev g++ iproute2 python3 dpkg-dev nsis)
# tools/fuzz.sh asks with --fuzz for clang and libFuzzer as well.
if [ "${1:-}" = --fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi
# The parse benchmark (tools/bench/parse) measures against pugixml, built
# from its sources with the benchmark's own flags.
bench=""
if [ "${1:-}" = --bench ]; then
    bench=1
fi
has_sources() {
    ls "$deps"/zlib-src/contrib/minizip/unzip.c >/dev/null 2>&1 || return 1
    [ -z "$bench" ] || ls "$deps"/pugixml-src/src/pugixml.cpp >/dev/null 2>&1
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || ! has_sources; then
    need_root
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        cat > /etc/apt/sources.list.d/wavorin-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    fi
    apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
fi

# The tests run wine under the Chinese locale, so that the ANSI code page is 936
# as on most café PCs; wine needs no host locale for the others it is given.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    need_root
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

# source_package NAME FOLDER: unpacks the upstream sources of Debian's
# source package NAME into $deps/FOLDER.
source_package() {
    mkdir -p "$deps/download"
    (cd "$deps/download" && apt-get source --download-only -qq "$1/bookworm" >/dev/null)
    local tarball
    tarball=$(ls "$deps/download/$1"_*.orig.tar.* | head -n 1)
    rm -rf "${deps:?}/$2" && mkdir -p "$deps/$2"
    tar -xf "$tarball" -C "$deps/$2" --strip-components=1
}

# minizip has no package for the target; its sources come with zlib's.
if ! ls "$deps"/zlib-src/contrib/minizip/unzip.c >/dev/null 2>&1; then
    source_package zlib zlib-src
fi
# Debian's patches to pugixml touch only its documentation.
if [ -n "$bench" ] && ! ls "$deps"/pugixml-src/src/pugixml.cpp >/dev/null 2>&1; then
    source_package pugixml pugixml-src
fi
echo "setup: ready"
