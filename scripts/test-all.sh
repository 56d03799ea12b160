#!/usr/bin/env bash
# Builds everything and runs every test: the formatting check, the normal build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the serial tests under ThreadSanitizer,
# the fuzz targets for a short while (clang's libFuzzer), the Windows parts cross-built and
# run under Wine, the Release build of INSTALL.md (in build-release), and the README's first
# command, both demos, headless. Every build treats warnings as errors.
# The builds are those of CMakePresets.json (native, asan, tsan, windows).
# Packages come from scripts/bootstrap.sh (run it first on a new machine).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${JOBS:-2}
# ccache finds the objects of an earlier build of the same sources in another checkout.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
logs=$(mktemp -d /tmp/r512-tests.XXXXXX)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# Tests write their settings under a temporary folder, never the user's own.
export XDG_CONFIG_HOME=$logs/config

passed=0
failed=0
status=0

# run_stage NAME BUILD_DIR "CMAKE ARGS" "CTEST ARGS"
run_stage() {
    local name=$1 dir=$2 cmake_args=$3 ctest_args=$4
    echo "=== $name"
    if ! cmake -S "$root" -B "$dir" -G Ninja $cmake_args >"$logs/$name-configure.log" 2>&1 ||
       ! cmake --build "$dir" -j "$jobs" >"$logs/$name-build.log" 2>&1; then
        echo "$name: build failed"
        tail -n 40 "$logs/$name-configure.log" "$logs/$name-build.log"
        failed=$((failed + 1))
        status=1
        return
    fi
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 $ctest_args \
        2>&1 | tee "$logs/$name-test.log"
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

run_stage native "$root/build" "-DCMAKE_BUILD_TYPE=RelWithDebInfo -DR512_WERROR=ON" ""

ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$root/tests/lsan.supp \
    run_stage asan-ubsan "$root/build-asan" \
        "-DCMAKE_BUILD_TYPE=Debug -DR512_SANITIZE=address,undefined -DR512_WERROR=ON" ""

TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    run_stage tsan "$root/build-tsan" "-DCMAKE_BUILD_TYPE=Debug -DR512_SANITIZE=thread -DR512_WERROR=ON" \
        "-L serial"

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
if cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DR512_WERROR=ON \
        >"$logs/release-configure.log" 2>&1 &&
   cmake --build "$root/build-release" -j "$jobs" >"$logs/release-build.log" 2>&1; then
    echo "release: built without a warning"
    passed=$((passed + 1))
else
    echo "release: build failed"
    tail -n 40 "$logs/release-configure.log" "$logs/release-build.log"
    failed=$((failed + 1))
    status=1
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
