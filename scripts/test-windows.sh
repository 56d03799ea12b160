#!/usr/bin/env bash
# Cross-builds the Windows parts with mingw-w64 (the windows preset, build-win) and runs every
# test of that build (its test preset) under Wine, in a throw-away Wine prefix (never the user's
# own). No X server is needed: the prefix draws with Wine's null display driver
# (scripts/lib/wine-prefix.sh); the GUI tests start their own. Arguments go to ctest, e.g.
# -R ComPort for some of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=lib/common.sh
source "$root/scripts/lib/common.sh"
# shellcheck source=lib/wine-prefix.sh
source "$root/scripts/lib/wine-prefix.sh"

work=$(mktemp -d /tmp/r512-wine.XXXXXX)
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# The Win32 serial and GUI tests talk to the device simulator, which runs natively: it comes
# from the native preset's build (which also makes the windows build's code generators).
[ -f build/CMakeCache.txt ] || cmake --preset native >/dev/null ||
    echo "test-windows: could not configure the native build" >&2
cmake --build --preset native -j "$JOBS" --target r512-sim ||
    echo "test-windows: could not build r512-sim natively; the COM port tests will fail" >&2

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$JOBS"

started=$(date +%s)
r512_prepare_wine_prefix "$work/prefix"
echo "test-windows: Wine prefix ready in $(( $(date +%s) - started )) s"

# One test at a time: they share the one Wine prefix and its server.
ctest --preset windows "$@"
