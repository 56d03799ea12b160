#!/usr/bin/env bash
# Runs a Windows test program under Wine with COM ports whose other ends are played by the
# device simulator, which runs natively on pseudo-terminals.
#
# usage: run-with-simulator.sh R512_SIM PROGRAM.exe [program arguments...]
#
# Three simulators are started: "device" (logs every byte it receives), "split" (sends every
# byte on its own, R512_COM_SPLIT_MS apart) and "hangup" (ends, hanging up its line, once the
# program has made the file R512_COM_HANGUP_REQUEST). Each gets the first free COMn of the
# Wine prefix (a symbolic link in $WINEPREFIX/dosdevices to its pseudo-terminal), and a
# further COMn that is mapped to nothing is picked. The program learns them from
# R512_COM_DEVICE, R512_COM_DEVICE_LOG, R512_COM_SPLIT, R512_COM_SPLIT_MS, R512_COM_HANGUP,
# R512_COM_HANGUP_REQUEST and R512_COM_MISSING. Everything is
# undone on exit. The ports are mapped only in a throw-away prefix, the one that
# scripts/wine-prefix.sh made (R512_WINE_THROWAWAY_PREFIX = WINEPREFIX); otherwise a prefix is
# made (and removed) for this run alone, so that no one's own prefix is touched.
set -uo pipefail

sim=$1
program=$2
shift 2
wine=${R512_WINE:-wine}
split_ms=${R512_COM_SPLIT_MS:-600}

work=$(mktemp -d /tmp/r512-com.XXXXXX)
sim_pids=()
watcher=
links=()
own_prefix=

cleanup() {
    local pid i
    if [ -n "$watcher" ]; then kill -TERM "$watcher" 2>/dev/null; wait "$watcher" 2>/dev/null; fi
    for pid in "${sim_pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in "${sim_pids[@]}"; do
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -f "${links[@]}"
    if [ -n "$own_prefix" ]; then
        wineserver -k >/dev/null 2>&1
        rm -rf "$own_prefix"
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${WINEPREFIX:-}" ] || [ "${R512_WINE_THROWAWAY_PREFIX:-}" != "$WINEPREFIX" ]; then
    own_prefix=$(mktemp -d /tmp/r512-com-wine.XXXXXX)
    # shellcheck source=../../scripts/wine-prefix.sh
    source "$(dirname "$0")/../../scripts/wine-prefix.sh"
    r512_prepare_wine_prefix "$own_prefix/prefix" >/dev/null 2>&1
    # The server for this run, kept apart from the program's output (cleanup ends it).
    wineserver -p >/dev/null 2>&1 </dev/null
fi

# Listing the tests needs no ports.
for arg in "$@"; do
    if [ "$arg" = --gtest_list_tests ]; then
        timeout 120 "$wine" "$program" "$@"
        exit $?
    fi
done

dosdevices=$WINEPREFIX/dosdevices
if [ ! -d "$dosdevices" ]; then
    echo "run-with-simulator: $dosdevices is missing (no Wine prefix?)" >&2
    exit 1
fi
if [ ! -x "$sim" ]; then
    echo "run-with-simulator: no simulator at $sim; build r512-sim natively" \
         "(scripts/test-windows.sh does, into R512_NATIVE_BUILD_DIR)" >&2
    exit 1
fi

# Links left behind by a run that was killed point at pseudo-terminals that have gone.
for link in "$dosdevices"/com*; do
    if [ -L "$link" ] && [ ! -e "$link" ]; then rm -f "$link"; fi
done

# start_sim NAME [simulator options...]: starts a simulator, maps it to the first free COMn
# (2 to 8) and sets $port to that name.
start_sim() {
    local name=$1 pty n i
    shift
    "$sim" "$@" >"$work/$name.path" 2>"$work/$name.log" &
    sim_pids+=($!)
    for i in $(seq 100); do
        [ -s "$work/$name.path" ] && break
        if ! kill -0 "${sim_pids[-1]}" 2>/dev/null; then break; fi
        sleep 0.05
    done
    pty=$(head -n 1 "$work/$name.path")
    if [ -z "$pty" ] || [ ! -e "$pty" ]; then
        echo "run-with-simulator: the $name simulator did not start" >&2
        cat "$work/$name.log" >&2
        exit 1
    fi
    # ln -s fails when the name is taken, so two runs at once never share a port.
    for n in 2 3 4 5 6 7 8; do
        if ln -s "$pty" "$dosdevices/com$n" 2>/dev/null; then
            links+=("$dosdevices/com$n")
            port=COM$n
            return
        fi
    done
    echo "run-with-simulator: no free COM port in $dosdevices" >&2
    exit 1
}

start_sim device --log-bytes
export R512_COM_DEVICE=$port
start_sim split --split "$split_ms"
export R512_COM_SPLIT=$port
export R512_COM_SPLIT_MS=$split_ms
# Wine's path for the log: the whole file system is drive Z:.
export R512_COM_DEVICE_LOG="Z:${work//\//\\}\\device.log"
start_sim hangup
export R512_COM_HANGUP=$port
export R512_COM_HANGUP_REQUEST="Z:${work//\//\\}\\hangup.request"
# Ends the hang-up simulator (which closes its side of the line) when the program asks; gives
# up after a minute.
hangup_pid=${sim_pids[-1]}
(
    for i in $(seq 1200); do
        if [ -e "$work/hangup.request" ]; then
            kill -TERM "$hangup_pid"
            exit 0
        fi
        sleep 0.05
    done
) &
watcher=$!

# A port that nothing answers to: no link, and no serial device that Wine would take for it.
R512_COM_MISSING=
for n in 9 8 7 6 5; do
    if [ ! -e "$dosdevices/com$n" ] && [ ! -L "$dosdevices/com$n" ] &&
       [ ! -e "/dev/ttyS$((n - 1))" ]; then
        R512_COM_MISSING=COM$n
        break
    fi
done
export R512_COM_MISSING

echo "run-with-simulator: device on $R512_COM_DEVICE, split on $R512_COM_SPLIT," \
     "hang-up on $R512_COM_HANGUP, missing $R512_COM_MISSING"
timeout 300 "$wine" "$program" "$@"
status=$?
if [ $status -ne 0 ]; then
    echo "--- device simulator log"
    tail -n 40 "$work/device.log"
fi
exit $status
