#!/usr/bin/env bash
# Builds the libFuzzer targets (the receive stream, the names download) with clang, ASan and
# UBSan on (the fuzz preset of CMakePresets.json, in build-fuzz), and runs each for SECONDS
# (default 30) over a copy of its corpus in tests/fuzz/corpus; new inputs go to the copy, not to
# the tree. Exits 0 when every target ran without a finding, 1 on a finding or a failed build,
# and 2 when this machine has no clang with libFuzzer (Debian: clang, libclang-rt-14-dev).
#   scripts/fuzz.sh            30 s per target (what scripts/test-all.sh runs)
#   scripts/fuzz.sh 600        the long run, by hand
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=lib/common.sh
source "$root/scripts/lib/common.sh"
seconds=${1:-30}
build=$root/build-fuzz

if ! command -v clang++ >/dev/null ||
   ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
       clang++ -x c++ -fsanitize=fuzzer -o /dev/null - >/dev/null 2>&1; then
    echo "fuzz: no clang with libFuzzer here; skipped"
    exit 2
fi

mkdir -p "$build"
if ! cmake --preset fuzz >"$build/fuzz-configure.log" 2>&1 ||
   ! cmake --build --preset fuzz -j "$JOBS" >"$build/fuzz-build.log" 2>&1; then
    echo "fuzz: build failed"
    tail -n 40 "$build/fuzz-configure.log" "$build/fuzz-build.log"
    exit 1
fi

status=0
# Each target with the longest input it needs: a few reads' worth of stream, or a names
# download's answer (the 1024-byte memory and whatever comes with it).
for entry in receive_stream:512 names_download:1200; do
    target=${entry%%:*}
    max_len=${entry##*:}
    work=$(mktemp -d /tmp/r512-fuzz.XXXXXX)
    cp "$root/tests/fuzz/corpus/$target"/* "$work/"
    echo "fuzz: $target for $seconds s"
    if "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len="$max_len" \
            -print_final_stats=1 -artifact_prefix="$work/" "$work" >"$work.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^Done' "$work.log"
    else
        echo "fuzz: $target found a fault (inputs kept in $work)"
        tail -n 40 "$work.log"
        status=1
        continue
    fi
    rm -rf "$work" "$work.log"
done
exit $status
