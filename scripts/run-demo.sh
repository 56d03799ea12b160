#!/usr/bin/env bash
# Builds the program and runs it against the built-in device simulator on a pseudo-terminal,
# with its settings in a temporary folder (the user's own settings are not touched).
# Extra arguments go to the simulator (e.g. --silent, --garbage, --split 20).
# Without a display the program runs under Xvfb: the script then writes a screenshot of the
# window (build/r512-window.png, or $SCREENSHOT) and ends after $DEMO_SECONDS (default 4).
# --windows runs the Windows program under Wine instead (scripts/run-demo-windows.sh).
set -euo pipefail
if [ "${1:-}" = --windows ]; then
    shift
    exec bash "$(dirname "$0")/run-demo-windows.sh" "$@"
fi
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-$root/build}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target R512 r512-sim >/dev/null

work=$(mktemp -d /tmp/r512-demo.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

port=$work/R512-port
"$build/src/simulator/r512-sim" --link "$port" "$@" >"$work/sim.out" 2>"$work/sim.log" &
pids+=($!)
for _ in $(seq 100); do [ -e "$port" ] && break; sleep 0.05; done
[ -e "$port" ] || { echo "the simulator did not start:"; cat "$work/sim.log"; exit 1; }

export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/ZEL"
printf '[Config]\nConfigured=1\nPort=%s\nSpeed=12000\n' "$port" \
    >"$XDG_CONFIG_HOME/ZEL/R512 Control Software.conf"
echo "simulated R512 on $(cat "$work/sim.out") (linked as $port)"

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
    Xvfb ":$n" -screen 0 1024x400x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
fi

"$build/src/R512" >"$work/r512.log" 2>&1 &
r512=$!
pids+=($r512)

if [ "$headless" -eq 1 ]; then
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name '^R512 Control Software$' 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "the window did not appear:"; cat "$work/r512.log"; exit 1; }
    sleep "${DEMO_SECONDS:-4}"
    shot=${SCREENSHOT:-$build/r512-window.png}
    import -window "$window" "$shot"
    echo "screenshot of the window: $shot"
    echo "what the simulator saw:"
    head -n 8 "$work/sim.log"
else
    echo "close the window (or press Ctrl+C) to end; the simulator logs to $work/sim.log"
    wait "$r512" || true
fi
