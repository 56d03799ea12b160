# Sourced, not run: what the Windows program's GUI runs need besides a throw-away Wine prefix
# (scripts/wine-prefix.sh): an X server of their own and COM ports played by the native device
# simulator. Every function records what it started in R512_GUI_PIDS / R512_GUI_LINKS;
# r512_gui_cleanup ends and removes them.
#
#   r512_start_xvfb LOGFILE          starts Xvfb on a free display and exports DISPLAY
#   r512_use_x11_driver              makes the prefix draw with Wine's X11 driver
#   r512_start_sim SIM NAME DIR [simulator options...]
#                                    starts a simulator (log DIR/NAME.log), sets $r512_pty
#   r512_map_com N PTY               maps COMn of the prefix to a pseudo-terminal
#   r512_gui_cleanup                 ends the simulators and X server, removes the mappings

R512_GUI_PIDS=()
R512_GUI_LINKS=()

r512_start_xvfb() {
    local log=$1 n i
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1024x600x24 -nolisten tcp >"$log" 2>&1 &
    R512_GUI_PIDS+=($!)
    export DISPLAY=":$n"
    for i in $(seq 200); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.05
    done
    echo "wine-gui: Xvfb did not start on $DISPLAY" >&2
    cat "$log" >&2
    return 1
}

r512_use_x11_driver() {
    timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
    # No window manager runs: Wine itself keeps the windows where the programs put them.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    timeout 60 wineserver -w || true
}

r512_start_sim() {
    local sim=$1 name=$2 dir=$3 i
    shift 3
    "$sim" "$@" >"$dir/$name.path" 2>"$dir/$name.log" &
    R512_GUI_PIDS+=($!)
    for i in $(seq 100); do
        [ -s "$dir/$name.path" ] && break
        kill -0 "${R512_GUI_PIDS[-1]}" 2>/dev/null || break
        sleep 0.05
    done
    r512_pty=$(head -n 1 "$dir/$name.path" 2>/dev/null)
    if [ -z "$r512_pty" ] || [ ! -e "$r512_pty" ]; then
        echo "wine-gui: the $name simulator did not start" >&2
        cat "$dir/$name.log" >&2
        return 1
    fi
}

r512_map_com() {
    local n=$1 pty=$2 link=$WINEPREFIX/dosdevices/com$1
    # Wine's mount manager links COM1 to COM4 to the machine's own serial devices each time the
    # Wine server starts; a port named in the registry is linked where the registry says.
    timeout 60 wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$pty" /f >/dev/null 2>&1
    rm -f "$link"
    ln -s "$pty" "$link"
    R512_GUI_LINKS+=("$link")
}

r512_gui_cleanup() {
    local pid i
    # Some may have ended already: no step here may fail (it runs in EXIT traps under set -e).
    for pid in "${R512_GUI_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${R512_GUI_PIDS[@]}"; do
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -f "${R512_GUI_LINKS[@]}"
    R512_GUI_PIDS=()
    R512_GUI_LINKS=()
}
