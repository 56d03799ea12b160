#!/usr/bin/env bash
# Builds the program and runs it against the built-in device simulator on a pseudo-terminal.
# Extra arguments go to the simulator (e.g. --silent, --garbage, --split 20).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-$root/build}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target r512-sim r512-probe >/dev/null

work=$(mktemp -d /tmp/r512-demo.XXXXXX)
port=$work/R512-port
"$build/src/simulator/r512-sim" --link "$port" "$@" >"$work/sim.out" 2>"$work/sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "$port" ] && break; sleep 0.05; done

echo "simulated R512 on $(cat "$work/sim.out") (linked as $port)"
"$build/src/r512-probe" "$port"
echo
echo "what the simulator saw:"
cat "$work/sim.log"
