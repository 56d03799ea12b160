#!/usr/bin/env bash
# Runs the GUI tests of R512.exe: a throw-away Wine prefix of their own drawing with Wine's X11
# driver on an Xvfb server of their own, and two simulated devices played by the native
# r512-sim on pseudo-terminals: one answering (COM1, and COM12 for a port above 9), one silent
# (COM2) and one that answers a names download short (COM3), all logging what they receive.
#
# usage: run-gui-tests.sh R512_SIM TEST_PROGRAM.exe R512.exe [test arguments...]
set -uo pipefail
sim=$1
program=$2
r512=$3
shift 3
root=$(cd "$(dirname "$0")/../../.." && pwd)

work=$(mktemp -d /tmp/r512-gui.XXXXXX)
# shellcheck source=../../../scripts/lib/wine-prefix.sh
source "$root/scripts/lib/wine-prefix.sh"
# shellcheck source=../../../scripts/lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
# shellcheck source=../../../scripts/lib/com-port.sh
source "$root/scripts/lib/com-port.sh"
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1
    r512_end_sims
    r512_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ ! -x "$sim" ]; then
    echo "run-gui-tests: no simulator at $sim; build r512-sim natively" >&2
    exit 1
fi

started=$(date +%s)
r512_prepare_wine_prefix "$work/prefix"
r512_start_xvfb "$work/xvfb.log" || exit 1
r512_use_x11_driver
r512_start_sim "$sim" device "$work" --log-bytes || exit 1
device=$r512_pty
r512_start_sim "$sim" silent "$work" --silent --log-bytes || exit 1
silent=$r512_pty
r512_start_sim "$sim" short-names "$work" --names short --log-bytes || exit 1
shortNames=$r512_pty
r512_map_com 1 "$device"
r512_map_com 12 "$device"
r512_map_com 2 "$silent"
r512_map_com 3 "$shortNames"
# One Wine server for the whole run, so the mappings stay as they are.
wineserver -p >/dev/null 2>&1 </dev/null
echo "run-gui-tests: prefix, X server and devices ready in $(( $(date +%s) - started )) s" \
     "(display $DISPLAY, device $device, silent $silent)"

windows_path() { echo "Z:${1//\//\\}"; }
export R512_EXE
R512_EXE=$(windows_path "$r512")
export R512_COM_DEVICE=COM1 R512_COM_WIDE=COM12 R512_COM_SILENT=COM2 R512_COM_SHORT_NAMES=COM3
R512_COM_DEVICE_LOG=$(windows_path "$work/device.log")
R512_COM_SILENT_LOG=$(windows_path "$work/silent.log")
R512_COM_SHORT_NAMES_LOG=$(windows_path "$work/short-names.log")
export R512_COM_DEVICE_LOG R512_COM_SILENT_LOG R512_COM_SHORT_NAMES_LOG

timeout 600 wine "$program" "$@"
status=$?
if [ $status -ne 0 ]; then
    echo "--- device log (last lines)"
    tail -n 30 "$work/device.log"
    echo "--- silent device log (last lines)"
    tail -n 10 "$work/silent.log"
fi
exit $status
