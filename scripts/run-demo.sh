#!/usr/bin/env bash
# Builds the program and runs it against the built-in device simulator on a pseudo-terminal,
# with its settings in a temporary folder (the user's own settings are not touched).
# Extra arguments go to the simulator (e.g. --silent, --garbage, --split 20).
# Without a display the program runs under Xvfb: the script then writes a screenshot of the
# window (build/r512-window.png, or $SCREENSHOT) and ends after $DEMO_SECONDS (default 4).
# With a display it runs until the window is closed.
# --windows runs the Windows program under Wine instead (scripts/run-demo-windows.sh).
#
# Exit status: 0 when the program came up (and, with a display, ended normally); otherwise
# non-zero, with what went wrong and the program's own output on standard error. Nothing is left
# behind: the simulator, the X server and the temporary folder go when the script ends.
set -euo pipefail
if [ "${1:-}" = --windows ]; then
    shift
    exec bash "$(dirname "$0")/run-demo-windows.sh" "$@"
fi
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=lib/common.sh
source "$root/scripts/lib/common.sh"
# shellcheck source=lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
# shellcheck source=lib/com-port.sh
source "$root/scripts/lib/com-port.sh"
build=$root/build

fail() {
    echo "run-demo: $*" >&2
    exit 1
}

# build/ is the native preset's; one made otherwise keeps the build type it was made with, so
# that the demo never rebuilds a tree of another type.
if [ -f "$build/CMakeCache.txt" ]; then
    cmake "$build" >/dev/null || fail "could not configure $build"
else
    cmake --preset native >/dev/null || fail "could not configure $build"
fi
cmake --build "$build" -j "$JOBS" --target R512 r512-sim >/dev/null ||
    fail "could not build R512 and r512-sim in $build (run: cmake --build $build)"
program=$build/src/qt/R512
[ -x "$program" ] || fail "$program was not built"

work=$(mktemp -d /tmp/r512-demo.XXXXXX)
r512=
cleanup() {
    [ -z "$r512" ] || r512_end_processes "$r512"
    r512_end_sims
    r512_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

# What the program said, for a failure.
show_program_log() {
    if [ -s "$work/r512.log" ]; then
        echo "--- output of $program:" >&2
        cat "$work/r512.log" >&2
    fi
}

port=$work/R512-port
r512_start_sim "$build/src/simulator/r512-sim" sim "$work" --link "$port" "$@" ||
    fail "the simulator did not start"

export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/ZEL"
printf '[Config]\nConfigured=1\nPort=%s\nSpeed=12000\n' "$port" \
    >"$XDG_CONFIG_HOME/ZEL/R512 Control Software.conf"
echo "simulated R512 on $r512_pty (linked as $port)"

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    r512_start_xvfb "$work/xvfb.log" || fail "Xvfb did not start"
fi

# The window is looked for on the X display: the program must draw there, even when the caller
# has chosen Qt's offscreen platform for everything else.
QT_QPA_PLATFORM=xcb "$program" >"$work/r512.log" 2>&1 &
r512=$!

# The window must come up, with a display or without.
window=""
for _ in $(seq 300); do
    window=$(xdotool search --name '^R512 Control Software$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    if ! kill -0 "$r512" 2>/dev/null; then
        set +e
        wait "$r512"
        code=$?
        set -e
        show_program_log
        fail "$program ended (exit status $code) before its window appeared"
    fi
    sleep 0.1
done
if [ -z "$window" ]; then
    show_program_log
    fail "the window of $program did not appear within 30 s"
fi

if [ "$headless" -eq 1 ]; then
    sleep "${DEMO_SECONDS:-4}"
    kill -0 "$r512" 2>/dev/null || { show_program_log; fail "$program ended during the demo"; }
    shot=${SCREENSHOT:-$build/r512-window.png}
    import -window "$window" "$shot" || fail "could not take the screenshot $shot"
    echo "screenshot of the window: $shot"
    echo "what the simulator saw:"
    head -n 8 "$work/sim.log"
else
    echo "close the window (or press Ctrl+C) to end"
    set +e
    wait "$r512"
    code=$?
    set -e
    if [ "$code" -ne 0 ]; then
        show_program_log
        fail "$program ended with exit status $code"
    fi
fi
