# Sourced, not run: the native device simulator on a pseudo-terminal, and the COM ports of a
# Wine prefix ($WINEPREFIX) that lead to it. What is started and linked here is recorded;
# r512_end_sims ends and removes it.
#
#   r512_start_sim SIM NAME DIR [simulator options...]
#                          starts the simulator (it writes its pseudo-terminal's path to
#                          DIR/NAME.path, its log to DIR/NAME.log) and sets r512_pty to the path
#   r512_map_com N PTY     COMn leads to PTY
#   r512_map_free_com TARGET
#                          the first free COMn of 2 to 16 but 9 (kept for a port that nothing
#                          answers) leads to TARGET; sets r512_com to its name (COMn). Taking a
#                          name is one ln -s, so two runs at once never share a port
#   r512_end_sims          ends the simulators and removes the links

# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

R512_SIM_PIDS=()
R512_COM_LINKS=()

r512_start_sim() {
    local sim=$1 name=$2 dir=$3 i
    shift 3
    if [ ! -x "$sim" ]; then
        echo "com-port: no simulator at $sim; build r512-sim natively (cmake --preset native)" >&2
        return 1
    fi
    "$sim" "$@" >"$dir/$name.path" 2>"$dir/$name.log" </dev/null &
    R512_SIM_PIDS+=($!)
    for i in $(seq 100); do
        [ -s "$dir/$name.path" ] && break
        kill -0 "${R512_SIM_PIDS[-1]}" 2>/dev/null || break
        sleep 0.05
    done
    r512_pty=$(head -n 1 "$dir/$name.path" 2>/dev/null)
    if [ -z "$r512_pty" ] || [ ! -e "$r512_pty" ]; then
        echo "com-port: the $name simulator did not start" >&2
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
    R512_COM_LINKS+=("$link")
}

r512_map_free_com() {
    local target=$1 n
    for n in 2 3 4 5 6 7 8 10 11 12 13 14 15 16; do
        if ln -s "$target" "$WINEPREFIX/dosdevices/com$n" 2>/dev/null; then
            R512_COM_LINKS+=("$WINEPREFIX/dosdevices/com$n")
            r512_com=COM$n
            return 0
        fi
    done
    echo "com-port: no free COM port in $WINEPREFIX/dosdevices" >&2
    return 1
}

r512_end_sims() {
    r512_end_processes "${R512_SIM_PIDS[@]}"
    rm -f "${R512_COM_LINKS[@]}"
    R512_SIM_PIDS=()
    R512_COM_LINKS=()
}
