#!/usr/bin/env bash
# Cross-builds the Windows parts with mingw-w64 and runs every test of that build (ctest over the
# whole build-win tree) under Wine, in a throw-away Wine prefix (never the user's own). No X
# server is needed: the prefix draws with Wine's null display driver (scripts/wine-prefix.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_WIN_DIR:-$root/build-win}
jobs=${R512_JOBS:-2}

work=$(mktemp -d /tmp/r512-wine.XXXXXX)
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# The Win32 serial tests (tests/core/serial/ComPortTest.cpp) talk to the device simulator, which
# runs natively: it is taken from the native build folder (scripts/test-all.sh has built it there).
native=${R512_NATIVE_BUILD_DIR:-$root/build}
if [ ! -f "$native/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
        echo "test-windows: could not configure the native build in $native" >&2
fi
cmake --build "$native" -j "$jobs" --target r512-sim ||
    echo "test-windows: could not build r512-sim in $native; the COM port tests will fail" >&2

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DR512_NATIVE_BUILD_DIR="$native" -DR512_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"

# shellcheck source=wine-prefix.sh
source "$root/scripts/wine-prefix.sh"
started=$(date +%s)
r512_prepare_wine_prefix "$work/prefix"
echo "test-windows: Wine prefix ready in $(( $(date +%s) - started )) s"

# Every test carries its own time-out; this is the bound for one that sets none.
ctest --test-dir "$build" --output-on-failure --timeout 300
