# Sourced, not run: what every script of the project shares.
#
#   JOBS                 the parallel jobs of every build and test run (default 2), exported
#   r512_end_processes PID...
#                        asks each to end (TERM), waits up to 5 s for it, then kills it; never
#                        fails (it runs in EXIT traps under set -e)

export JOBS=${JOBS:-2}
# ccache finds the objects of an earlier build of the same sources in another checkout.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

r512_end_processes() {
    local pid i
    for pid in "$@"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "$@"; do
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
