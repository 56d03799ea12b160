#!/usr/bin/env bash
# R512 --help and --version answer and end at once, without starting the GUI: run where no
# window system can be reached, a program that started its GUI would fail (or hang until the
# time-out) instead of printing.
#   check-info-options.sh PATH/TO/R512
set -uo pipefail
program=$1
status=0
check() {
    local option=$1 expected=$2 out code
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$program" "$option" 2>&1)
    code=$?
    if [ "$code" -ne 0 ] || ! grep -q -- "$expected" <<<"$out"; then
        echo "FAIL: R512 $option: exit status $code, output:"
        echo "$out"
        status=1
    else
        echo "ok: R512 $option: $(head -n 1 <<<"$out")"
    fi
}
check --help "usage: R512"
check -h "usage: R512"
check --version "^R512 Control Software [0-9]"
exit $status
