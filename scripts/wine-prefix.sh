# Sourced, not run: makes a throw-away Wine prefix fit for the Windows tests.
#
#   r512_prepare_wine_prefix DIR   creates and boots a prefix in DIR and exports WINEPREFIX etc.
#
# The prefix is cut off from the user's own files and desktop: the user folders that Wine links
# to $HOME (Desktop, Documents, ...) become plain folders, so that a shortcut made by a test lands
# inside the prefix; the menu builder, which would copy Start Menu shortcuts into the user's
# desktop menus, is disabled; and the debugger, which would wait for a person after a crash, is
# kept from starting. Windows are drawn by Wine's null display driver, so no X server is needed.

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
