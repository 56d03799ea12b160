#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there; then has CPack make the
# .deb, checks its contents and has Debian's package checker and the AppStream and desktop-entry
# validators judge it.
#   check-install.sh BUILD_DIR [PROGRAM...]   PROGRAMs: the executables bin/ must hold
set -euo pipefail
build=$1
shift
work=$(mktemp -d /tmp/r512-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for program in "$@"; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing or not executable"
    page=$prefix/share/man/man1/$program.1.gz
    if [ ! -s "$page" ]; then
        fail "the manual page of $program is missing"
    elif command -v man >/dev/null; then
        # The page must format without troff complaints.
        warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "the manual page of $program has troff warnings: $warnings"
    fi
done
metainfo=$(find "$prefix/share/metainfo" -name '*.metainfo.xml' 2>/dev/null | head -n 1)
if [ -z "$metainfo" ]; then
    fail "share/metainfo holds no AppStream metadata"
elif ! appstreamcli validate --no-net "$metainfo"; then
    fail "appstreamcli rejects $metainfo"
fi
entry=$prefix/share/applications/r512.desktop
[ -f "$entry" ] || fail "share/applications/r512.desktop is missing"
for size in 16 32; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/r512.png
    [ -s "$icon" ] || fail "the ${size}x${size} icon is missing"
done

if [ -f "$entry" ]; then
    # The entry must start a program that is installed and name the icon that is installed.
    exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon_name=$(sed -n 's/^Icon=//p' "$entry")
    [ -x "$prefix/bin/$exec_program" ] || fail "Exec=$exec_program is not in bin/"
    [ -f "$prefix/share/icons/hicolor/32x32/apps/$icon_name.png" ] || fail "Icon=$icon_name is not installed"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
    else
        fail "desktop-file-validate is not installed (package desktop-file-utils)"
    fi
fi

# The Debian package holds the same files under /usr.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack could not build the .deb"
deb=$(find "$work/package" -maxdepth 1 -name '*.deb' | head -n 1)
if [ -n "$deb" ]; then
    contents=$(dpkg-deb -c "$deb")
    expected=(./usr/share/applications/r512.desktop ./usr/share/icons/hicolor/32x32/apps/r512.png)
    for program in "$@"; do
        expected+=("./usr/bin/$program" "./usr/share/man/man1/$program.1.gz")
    done
    if [[ " $* " == *" r512d "* ]]; then
        expected+=(./lib/systemd/system/r512d.service ./etc/default/r512d)
        dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/default/r512d ||
            fail "/etc/default/r512d is not a conffile"
        # The service takes no port until one has been named.
        grep -q '^R512D_PORT=$' "$work/etc/default/r512d" ||
            fail "the installed settings file names a port"
        grep -q '^ExecCondition=.*R512D_PORT' "$work/lib/systemd/system/r512d.service" ||
            fail "the unit starts without a port named"
    fi
    for path in "${expected[@]}"; do
        grep -q " $path\$" <<<"$contents" || fail "the .deb lacks $path"
    done
    dpkg-deb -f "$deb" Depends | grep -q 'libqt6' || fail "the .deb does not depend on Qt"
    # Nothing from the tests or the benchmarks goes into the package.
    grep -qE '_test|bench|gtest' <<<"$contents" && fail "the .deb holds test or benchmark files"
    # Errors and warnings fail; informational tags are allowed.
    lintian_out=$(lintian --fail-on error,warning "$deb" 2>&1) || {
        echo "$lintian_out"
        fail "lintian reports errors or warnings on the .deb"
    }
else
    fail "no .deb was made"
fi

[ "$failures" -eq 0 ] && echo "install checks passed"
exit $((failures > 0))
