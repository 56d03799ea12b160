# Sourced, not run: makes a throw-away Wine prefix fit for the Windows tests.
#
#   r512_prepare_wine_prefix DIR   creates and boots a prefix in DIR and exports WINEPREFIX etc.
#   r512_use_x11_driver            makes the prefix draw with Wine's X11 driver (on $DISPLAY,
#                                  e.g. an Xvfb of lib/xvfb.sh), for the GUI runs
#
# The prefix is cut off from the user's own files and desktop: the user folders that Wine links
# to $HOME (Desktop, Documents, ...) become plain folders, so that a shortcut made by a test lands
# inside the prefix; the menu builder, which would copy Start Menu shortcuts into the user's
# desktop menus, is disabled; and the debugger, which would wait for a person after a crash, is
# kept from starting. Windows are drawn by Wine's null display driver, so no X server is needed
# unless r512_use_x11_driver asks for one.
# HOME and the XDG folders point into DIR as well (DIR/home), so that nothing Wine or a program
# run in it does (menu entries under ~/.config/menus and ~/.local/share/applications, for one)
# reaches the real home.

r512_prepare_wine_prefix() {
    local dir=$1
    export WINEPREFIX=$dir
    export WINEARCH=win64
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
    # The prefix this function made; tests that change a prefix's registry and shell folders
    # run only in such a prefix.
    export R512_WINE_THROWAWAY_PREFIX=$dir
    unset DISPLAY WAYLAND_DISPLAY
    export HOME=$dir/home
    export XDG_CONFIG_HOME=$HOME/.config
    export XDG_DATA_HOME=$HOME/.local/share
    export XDG_CACHE_HOME=$HOME/.cache
    export XDG_STATE_HOME=$HOME/.local/state
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"

    mkdir -p "$dir"
    timeout 180 wineboot --init >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true

    local link
    while IFS= read -r -d '' link; do
        rm -f "$link" && mkdir -p "$link"
    done < <(find "$dir/drive_c/users" -mindepth 2 -maxdepth 2 -type l -print0)

    timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    timeout 60 wineserver -w || true
}

r512_use_x11_driver() {
    timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
    # No window manager runs: Wine itself keeps the windows where the programs put them.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    timeout 60 wineserver -w || true
}
