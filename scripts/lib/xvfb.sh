# Sourced, not run: an X server of the script's own, for programs whose windows are looked at
# (screenshots, xdotool, Wine's X11 driver) on a machine without a display.
#
#   r512_start_xvfb LOG   starts Xvfb on the first free display from :90 (its output in LOG),
#                         exports DISPLAY and waits until the server listens
#   r512_stop_xvfb        ends it (harmless when none runs)

# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

R512_XVFB_PID=

r512_start_xvfb() {
    local log=$1 n i
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1024x600x24 -nolisten tcp >"$log" 2>&1 &
    R512_XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 200); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        kill -0 "$R512_XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "xvfb: Xvfb did not start on $DISPLAY" >&2
    cat "$log" >&2
    return 1
}

r512_stop_xvfb() {
    [ -n "$R512_XVFB_PID" ] || return 0
    r512_end_processes "$R512_XVFB_PID"
    R512_XVFB_PID=
}
