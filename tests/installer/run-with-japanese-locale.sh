#!/usr/bin/env bash
# Runs run-in-throwaway-prefix.sh with the arguments given, on a Japanese system: Wine takes the
# code page of its processes (932) from the Unix locale, and that locale must exist for Wine to
# name files with Japanese characters. It is made here, in a folder of its own, from the C
# library's locale sources; without them the test is reported as skipped (exit code 77).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

locales=$(mktemp -d /tmp/r512-locale.XXXXXX)
trap 'rm -rf "$locales"' EXIT
if ! localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1; then
    echo "run-with-japanese-locale: can't make the ja_JP.UTF-8 locale (Debian package locales)" >&2
    exit 77
fi
export LOCPATH=$locales LC_ALL=ja_JP.UTF-8
bash "$here/run-in-throwaway-prefix.sh" "$@"
