#!/usr/bin/env bash
# Runs a Windows test program under Wine with COM ports whose other ends are played by the
# device simulator, which runs natively on pseudo-terminals.
#
# usage: run-with-simulator.sh R512_SIM PROGRAM.exe [program arguments...]
#
# Four simulators are started: "device" (logs every byte it receives), "split" (sends every
# byte on its own, R512_COM_SPLIT_MS apart), "hangup" (ends, hanging up its line, once the
# program has made the file R512_COM_HANGUP_REQUEST) and "replug" (once the program has made
# R512_COM_REPLUG_REQUEST, plays a USB adapter pulled out: its line closes and its COMn goes;
# R512_COM_REPLUG_AFTER_MS later a new pseudo-terminal is made and the COMn points at it). Each gets the first free COMn of the
# Wine prefix (a symbolic link in $WINEPREFIX/dosdevices to its pseudo-terminal), and a
# further COMn that is mapped to nothing is picked. The program learns them from
# R512_COM_DEVICE, R512_COM_DEVICE_LOG, R512_COM_SPLIT, R512_COM_SPLIT_MS, R512_COM_HANGUP,
# R512_COM_HANGUP_REQUEST, R512_COM_REPLUG, R512_COM_REPLUG_REQUEST, R512_COM_REPLUG_AFTER_MS
# and R512_COM_MISSING. Everything is
# undone on exit. The ports are mapped only in a throw-away prefix, the one that
# scripts/lib/wine-prefix.sh made (R512_WINE_THROWAWAY_PREFIX = WINEPREFIX); otherwise a prefix is
# made (and removed) for this run alone, so that no one's own prefix is touched.
set -uo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
# shellcheck source=../../../scripts/lib/wine-prefix.sh
source "$root/scripts/lib/wine-prefix.sh"
# shellcheck source=../../../scripts/lib/com-port.sh
source "$root/scripts/lib/com-port.sh"

sim=$1
program=$2
shift 2
wine=${R512_WINE:-wine}
split_ms=${R512_COM_SPLIT_MS:-600}

work=$(mktemp -d /tmp/r512-com.XXXXXX)
watchers=()
own_prefix=

cleanup() {
    local pid
    for pid in "${watchers[@]}"; do kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    r512_end_sims
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

# start_sim NAME [simulator options...]: starts a simulator, maps it to the first free COMn and
# sets $port to that name. With R512_SIM_OWNS_LINK=1 the COMn is claimed first and handed to
# the simulator (--link), which then points it wherever its line is.
start_sim() {
    local name=$1
    shift
    if [ "${R512_SIM_OWNS_LINK:-0}" = 1 ]; then
        r512_map_free_com /dev/null || exit 1
        set -- "$@" --link "$dosdevices/${r512_com,,}"
    fi
    r512_start_sim "$sim" "$name" "$work" "$@" || exit 1
    [ "${R512_SIM_OWNS_LINK:-0}" = 1 ] || r512_map_free_com "$r512_pty" || exit 1
    port=$r512_com
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
hangup_pid=${R512_SIM_PIDS[-1]}
# on_request FILE SIGNAL PID: sends the signal once the program has made the file; gives up
# after a minute.
on_request() {
    (
        for i in $(seq 1200); do
            if [ -e "$1" ]; then
                kill "-$2" "$3"
                exit 0
            fi
            sleep 0.05
        done
    ) &
    watchers+=($!)
}
on_request "$work/hangup.request" TERM "$hangup_pid"

replug_ms=${R512_COM_REPLUG_AFTER_MS:-2000}
R512_SIM_OWNS_LINK=1 start_sim replug --replug-after "$(awk "BEGIN { print $replug_ms / 1000 }")"
export R512_COM_REPLUG=$port
export R512_COM_REPLUG_AFTER_MS=$replug_ms
export R512_COM_REPLUG_REQUEST="Z:${work//\//\\}\\replug.request"
on_request "$work/replug.request" USR1 "${R512_SIM_PIDS[-1]}"

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
     "hang-up on $R512_COM_HANGUP, replug on $R512_COM_REPLUG, missing $R512_COM_MISSING"
timeout 300 "$wine" "$program" "$@"
status=$?
if [ $status -ne 0 ]; then
    echo "--- device simulator log"
    tail -n 40 "$work/device.log"
fi
exit $status
