#!/usr/bin/env bash
# Runs the Windows program's benchmarks side by side in one Wine session (the GUI tests' runner:
# a throw-away prefix on Xvfb with Wine's X11 driver, the simulated devices on COM1 and, silent,
# on COM2). Needs build-win (mingw) and build (native r512-sim).
#   bench/win32/run-win32-bench.sh [RUNS] [IDLE_SECONDS] [FRAMES]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/common.sh
source "$root/scripts/lib/common.sh"
build=$root/build-win
native=$root/build
runs=${1:-15}
idle=${2:-30}
frames=${3:-1000}
cmake --build "$build" -j "$JOBS" --target R512 r512_bare_window r512_window_bench >/dev/null
cmake --build "$native" -j "$JOBS" --target r512-sim >/dev/null

exe=$build/src/win32/R512.exe
echo "R512.exe: $(stat -c %s "$exe") bytes; DLLs it loads: $(x86_64-w64-mingw32-objdump -p "$exe" |
    awk '/DLL Name/ {print $3}' | tr '\n' ' ')"
win() { echo "Z:${1//\//\\}"; }
bench=$build/bench/win32/r512_window_bench.exe
runner=$root/tests/win32/gui/run-gui-tests.sh
sim=$native/src/simulator/r512-sim
bash "$runner" "$sim" "$bench" "$exe" startup "$runs" "$(win "$exe")" \
    "$(win "$build/bench/win32/r512_bare_window.exe")"
[ "${STARTUP_ONLY:-0}" = 1 ] && exit 0
bash "$runner" "$sim" "$bench" "$exe" idle "$idle" "$(win "$exe")" COM1
bash "$runner" "$sim" "$bench" "$exe" idle "$idle" "$(win "$exe")" COM2
bash "$runner" "$sim" "$bench" "$exe" frame "$frames" COM1
