#!/usr/bin/env bash
# The Windows program under Wine, following the device simulator: builds R512.exe (mingw-w64)
# and r512-sim (native), starts the simulator on a pseudo-terminal, maps COM1 of a throw-away
# Wine prefix to it, runs R512.exe there on Xvfb with Wine's X11 driver and writes a screenshot
# of its window (build-win/r512-window-windows.png, or $SCREENSHOT) after $DEMO_SECONDS
# (default 4). Extra arguments go to the simulator (e.g. --silent). Nothing of the user's own
# Wine prefix, registry or home is touched, and nothing is left behind: the prefix, the
# simulator and the X server go when the script ends.
# Exit status: 0 when the window came up and was captured; otherwise non-zero, with what went
# wrong on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=lib/common.sh
source "$root/scripts/lib/common.sh"
# shellcheck source=lib/wine-prefix.sh
source "$root/scripts/lib/wine-prefix.sh"
# shellcheck source=lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
# shellcheck source=lib/com-port.sh
source "$root/scripts/lib/com-port.sh"
native=$root/build
build=$root/build-win

fail() {
    echo "run-demo-windows: $*" >&2
    exit 1
}

# The native build keeps its own build type (the native preset's when it is made here).
if [ -f "$native/CMakeCache.txt" ]; then
    cmake "$native" >/dev/null || fail "could not configure $native"
else
    cmake --preset native >/dev/null || fail "could not configure $native"
fi
cmake --build "$native" -j "$JOBS" --target r512-sim >/dev/null || fail "could not build r512-sim"
cmake --preset windows >/dev/null || fail "could not configure $build"
cmake --build --preset windows -j "$JOBS" --target R512 >/dev/null || fail "could not build R512.exe"

work=$(mktemp -d /tmp/r512-demo-win.XXXXXX)
r512=
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && { wineserver -k >/dev/null 2>&1 || true; }
    # The program's Wine loader ends with the server; a loader still running when the prefix
    # is removed would make a new prefix there.
    [ -z "$r512" ] || r512_end_processes "$r512"
    [ -n "${WINEPREFIX:-}" ] && { timeout 30 wineserver -w >/dev/null 2>&1 || true; }
    r512_end_sims
    r512_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

echo "preparing a throw-away Wine prefix..."
r512_prepare_wine_prefix "$work/prefix"
r512_start_xvfb "$work/xvfb.log" || fail "Xvfb did not start"
r512_use_x11_driver
r512_start_sim "$native/src/simulator/r512-sim" sim "$work" "$@" || fail "the simulator did not start"
r512_map_com 1 "$r512_pty"
echo "simulated R512 on $r512_pty, mapped to COM1"

key='HKCU\Software\ZEL\R512 Control Software\Config'
wine reg add "$key" /v Configured /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$key" /v Port /t REG_SZ /d COM1 /f >/dev/null 2>&1

wine "$build/src/win32/R512.exe" >"$work/r512.log" 2>&1 &
r512=$!
window=""
for _ in $(seq 300); do
    window=$(xdotool search --name '^R512 Control Software$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    cat "$work/r512.log" >&2
    fail "the window of R512.exe did not appear within 30 s"
fi
sleep "${DEMO_SECONDS:-4}"
shot=${SCREENSHOT:-$build/r512-window-windows.png}
import -window "$window" "$shot" || fail "could not take the screenshot $shot"
echo "screenshot of the window: $shot"
echo "what the simulator saw:"
head -n 8 "$work/sim.log"
wine cmd /c exit >/dev/null 2>&1 || true
