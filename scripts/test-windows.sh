#!/usr/bin/env bash
# Cross-builds the Windows parts with mingw-w64 and runs their tests under Wine, in a
# throw-away Wine prefix (never the user's own).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_WIN_DIR:-$root/build-win}

work=$(mktemp -d /tmp/r512-wine.XXXXXX)
export WINEPREFIX=$work/prefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build"

wineboot --init >/dev/null 2>&1 || true
wineserver -w || true

ctest --test-dir "$build" --output-on-failure --timeout 300
