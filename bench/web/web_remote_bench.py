#!/usr/bin/python3
"""Benchmarks of the web remote in headless Chromium against the real r512d and r512-sim, on the
loopback address:
  - a device frame -> the page's display updated: p99 <= 30 ms
  - page load -> first live display: <= 300 ms
  - all the page's files together: <= 100 KB

usage: web_remote_bench.py R512D R512SIM [--samples N]
Exit status 0 when every target is met, 1 when one is missed, 77 when Chromium is missing."""

import os
import shutil
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "daemon", "web"))
import browser  # noqa: E402
import webrig  # noqa: E402
from webrig import NO_CONNECTION, wait_for  # noqa: E402

WATCH_DISPLAY = """
window.r512BenchChanges = [];
new MutationObserver(() => window.r512BenchChanges.push(performance.timeOrigin + performance.now()))
  .observe(document.getElementById('display'), {attributes: true, attributeFilter: ['data-lines']});
"""

FIRST_LIVE = """
const mark = performance.getEntriesByName('r512-first-live-display')[0];
return mark ? mark.startTime : null;
"""

# Every file the page loads from r512d (the page itself, and each resource it asked for),
# fetched again without cache and counted in bytes.
PAGE_BYTES = """
const done = arguments[arguments.length - 1];
const urls = new Set([location.origin + '/']);
for (const entry of performance.getEntriesByType('resource')) {
  if (entry.name.startsWith(location.origin + '/') && !entry.name.endsWith('/ws')) {
    urls.add(entry.name);
  }
}
Promise.all([...urls].map((url) => fetch(url, {cache: 'no-store'}).then((r) => r.blob())))
  .then((blobs) => done({files: [...urls], bytes: blobs.reduce((sum, b) => sum + b.size, 0)}));
"""


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


def main():
    why = browser.missing()
    if why:
        print(f"SKIPPED: {why}")
        return 77
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    samples = int(sys.argv[sys.argv.index("--samples") + 1]) if "--samples" in sys.argv else 100
    folder = webrig.scratch_folder()
    sim = webrig.Simulator(sys.argv[2], folder)
    daemon = webrig.Daemon(sys.argv[1], sim.link, folder)
    driver = browser.start()
    results = []
    try:
        def lines():
            return driver.execute_script(
                "return document.getElementById('display').dataset.lines || ''")

        # Page load to the first live display, on a fresh navigation each time, after one
        # navigation that starts the browser's renderer (reported apart).
        loads = []
        for attempt in range(11):
            driver.get(daemon.url + "?load=" + str(time.monotonic()))
            wait_for(lambda: driver.execute_script(FIRST_LIVE) is not None, timeout=10)
            if attempt == 0:
                cold = driver.execute_script(FIRST_LIVE)
                continue
            loads.append(driver.execute_script(FIRST_LIVE))
        worst_load = max(loads)
        results.append(("page load -> first live display, worst of 10", worst_load, 300, "ms"))

        driver.get(daemon.url)
        wait_for(lambda: driver.execute_script(FIRST_LIVE) is not None, timeout=10)
        size = driver.execute_async_script(PAGE_BYTES)
        print(f"  (files: {', '.join(size['files'])})")
        results.append(("the page's files together", size["bytes"] / 1024, 100, "KB"))

        # A frame of the device (its own panel's volume key) -> the page's display redrawn.
        assert wait_for(lambda: lines() not in ("", "\n".join(NO_CONNECTION)), timeout=10)
        driver.execute_script(WATCH_DISPLAY)
        latencies = []
        for i in range(samples):
            seen = len(driver.execute_script("return window.r512BenchChanges"))
            sent = time.time() * 1000
            sim.press("volume-up" if i % 2 == 0 else "volume-down")
            changes = wait_for(lambda: driver.execute_script(
                "return window.r512BenchChanges.slice(arguments[0])", seen), timeout=5)
            if not changes:
                raise RuntimeError(f"sample {i}: the display did not change")
            latencies.append(changes[0] - sent)
            time.sleep(0.02)
        results.append((f"device frame -> display, p99 of {samples}",
                        percentile(latencies, 0.99), 30, "ms"))
        print(f"  (frame -> display: median {percentile(latencies, 0.5):.1f} ms, "
              f"max {max(latencies):.1f} ms; first load in a new browser {cold:.0f} ms, then "
              f"{', '.join(f'{v:.0f}' for v in loads)} ms)")
    finally:
        driver.quit()
        daemon.stop()
        sim.stop()
        shutil.rmtree(folder, ignore_errors=True)

    missed = 0
    for name, value, limit, unit in results:
        ok = value <= limit
        missed += not ok
        print(f"{'ok  ' if ok else 'MISS'} {name}: {value:.1f} {unit} (target <= {limit} {unit})")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
