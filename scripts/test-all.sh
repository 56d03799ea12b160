#!/usr/bin/env bash
# Builds everything and runs every test: the formatting check, the normal build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the serial tests under ThreadSanitizer,
# the fuzz targets for a short while (clang's libFuzzer), the Windows parts cross-built and
# run under Wine, the Release build of INSTALL.md (in build-release), and the README's first
# command, both demos, headless. Every build treats warnings as errors.
# Each build is a preset of CMakePresets.json (native, asan, tsan, fuzz, windows, release): its
# settings, test environment and label filter live there, not here. JOBS (default 2) is the
# number of parallel jobs of every build and test run.
# Packages come from scripts/bootstrap.sh (run it first on a new machine).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=lib/common.sh
source "$root/scripts/lib/common.sh"
logs=$(mktemp -d /tmp/r512-tests.XXXXXX)
# Tests write their settings under a temporary folder, never the user's own.
export XDG_CONFIG_HOME=$logs/config

passed=0
failed=0
status=0

# build_preset NAME PRESET: configures and builds the preset, its output in the logs; false
# (with the end of the logs shown) when either fails.
build_preset() {
    local name=$1 preset=$2
    if cmake --preset "$preset" >"$logs/$name-configure.log" 2>&1 &&
       cmake --build --preset "$preset" -j "$JOBS" >"$logs/$name-build.log" 2>&1; then
        return 0
    fi
    echo "$name: build failed"
    tail -n 40 "$logs/$name-configure.log" "$logs/$name-build.log"
    failed=$((failed + 1))
    status=1
    return 1
}

# run_stage NAME PRESET: builds the preset and runs its tests (its test preset).
run_stage() {
    local name=$1 preset=$2
    echo "=== $name"
    build_preset "$name" "$preset" || return
    ctest --preset "$preset" -j "$JOBS" 2>&1 | tee "$logs/$name-test.log"
    count "$logs/$name-test.log"
}

# Adds a ctest summary ("N% tests passed, F tests failed out of T") to the totals.
count() {
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        echo "no test summary in $1"
        failed=$((failed + 1))
        status=1
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$bad" -eq 0 ] || status=1
}

# Every C++ file of the project in the committed style (.clang-format).
echo "=== formatting"
if git -C "$root" ls-files -z '*.cpp' '*.h' | (cd "$root" && xargs -0 clang-format --dry-run -Werror) \
        >"$logs/formatting.log" 2>&1; then
    echo "formatting: every file in the committed style"
    passed=$((passed + 1))
else
    echo "formatting: files differ from the committed style (clang-format -i fixes them):"
    grep -oE '^[^:]+\.(cpp|h)' "$logs/formatting.log" | sort -u
    failed=$((failed + 1))
    status=1
fi

run_stage native native
run_stage asan-ubsan asan
run_stage tsan tsan

# The receive path's fuzz target, briefly, where clang with libFuzzer is installed.
echo "=== fuzz (libFuzzer, 30 s)"
bash "$root/scripts/fuzz.sh" 30 2>&1 | tee "$logs/fuzz.log"
case ${PIPESTATUS[0]} in
    0) passed=$((passed + 1)) ;;
    2) ;;
    *) failed=$((failed + 1)); status=1 ;;
esac

echo "=== windows (mingw-w64 + Wine)"
if bash "$root/scripts/test-windows.sh" 2>&1 | tee "$logs/windows-test.log"; then
    count "$logs/windows-test.log"
else
    count "$logs/windows-test.log"
    status=1
fi

# The Release build that INSTALL.md describes, in its own folder (build/ keeps its type), with
# warnings as errors: -O3 finds warnings that the other builds don't.
echo "=== release (build-release)"
if build_preset release release; then
    echo "release: built without a warning"
    passed=$((passed + 1))
fi

# A screenshot of a window that shows the device's display: the window's size, and more than a
# handful of colours (a blank or black capture has one or two).
check_screenshot() {
    local shot=$1 size colours
    [ -s "$shot" ] || { echo "no screenshot $shot"; return 1; }
    size=$(identify -format '%wx%h' "$shot") || return 1
    colours=$(identify -format '%k' "$shot") || return 1
    echo "screenshot $shot: $size, $colours colours"
    [ "$size" = 775x168 ] || { echo "not the window's size (775x168)"; return 1; }
    [ "$colours" -ge 16 ] || { echo "a blank picture"; return 1; }
}

# What a demo may leave in the temporary folder: nothing of its own.
demo_leftovers() { ls -d /tmp/r512-demo* 2>/dev/null | sort; }

# run_demo NAME SCREENSHOT [run-demo.sh arguments...]: the README's first command as a new user
# without a display runs it: exit 0, a screenshot of the window following the simulator (which
# must have been asked for its registers), and nothing left behind.
run_demo() {
    local name=$1 shot=$2 before
    shift 2
    echo "=== demo: $name"
    before=$(demo_leftovers)
    rm -f "$shot"
    if env -u DISPLAY -u WAYLAND_DISPLAY SCREENSHOT="$shot" DEMO_SECONDS=4 \
            bash "$root/scripts/run-demo.sh" "$@" >"$logs/demo-$name.log" 2>&1 &&
       check_screenshot "$shot" >>"$logs/demo-$name.log" 2>&1 &&
       grep -qi 'refresh' "$logs/demo-$name.log" &&
       [ "$(demo_leftovers)" = "$before" ]; then
        echo "demo $name: exit 0, window captured, nothing left behind"
        passed=$((passed + 1))
    else
        echo "demo $name: failed"
        tail -n 30 "$logs/demo-$name.log"
        [ "$(demo_leftovers)" = "$before" ] || echo "left behind: $(demo_leftovers)"
        failed=$((failed + 1))
        status=1
    fi
}
run_demo linux "$root/build/r512-window.png"
run_demo windows "$root/build-win/r512-window-windows.png" --windows

echo
echo "logs: $logs"
echo "tests: $passed passed, $failed failed"
exit $status
