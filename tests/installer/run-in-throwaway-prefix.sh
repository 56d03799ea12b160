#!/usr/bin/env bash
# Runs a Windows test program under Wine in a throw-away prefix: the one the Windows test run
# made (scripts/test-windows.sh), or else a new one made here and removed afterwards. Tests that
# change the registry, Start Menu and desktop of their prefix go through this script, so that they
# can never touch a prefix that matters.
#   run-in-throwaway-prefix.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# Drive R: of the prefix, an empty folder inside it, for the tests of an installation at the top
# of a drive.
add_test_drive() {
    mkdir -p "$WINEPREFIX/drive_r"
    ln -sfn ../drive_r "$WINEPREFIX/dosdevices/r:"
}

if [ -n "${R512_WINE_THROWAWAY_PREFIX:-}" ] && [ "${WINEPREFIX:-}" = "$R512_WINE_THROWAWAY_PREFIX" ]; then
    add_test_drive
    exec wine "$@"
fi

work=$(mktemp -d /tmp/r512-wine-e2e.XXXXXX)
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
# What of the real home a Wine run could write to (menu entries for Start Menu shortcuts):
# none of it may appear because of the test.
real_home=$HOME
home_marks() {
    local path
    for path in "$real_home/.config/menus" "$real_home/.local/share/applications"; do
        [ -e "$path" ] && echo "$path"
    done
    return 0
}
before=$(home_marks)
# shellcheck source=../../scripts/lib/wine-prefix.sh
source "$here/../../scripts/lib/wine-prefix.sh"
r512_prepare_wine_prefix "$work/prefix"
add_test_drive
status=0
wine "$@" || status=$?
timeout 30 wineserver -w || true
if [ "$(home_marks)" != "$before" ]; then
    echo "run-in-throwaway-prefix: the Wine run wrote into the real home: $(home_marks)" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
