#!/usr/bin/python3
"""Screenshots of the web remote for the README: r512d on r512-sim, headless Chromium at a
phone-sized viewport (dark) and a wide one (light).

usage: screenshots.py R512D R512SIM OUTPUT_FOLDER"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
import webrig  # noqa: E402
from webrig import NO_CONNECTION, wait_for  # noqa: E402


def main():
    r512d, r512sim, output = sys.argv[1:4]
    folder = webrig.scratch_folder()
    sim = webrig.Simulator(r512sim, folder)
    daemon = webrig.Daemon(r512d, sim.link, folder, extra=["--max-volume", "-10"])
    try:
        for key in ("source-cd", "bass-up", "bass-up"):
            sim.press(key)
        for width, height, name, scheme in ((390, 844, "web-remote-phone.png", "dark"),
                                            (1280, 800, "web-remote-wide.png", "light")):
            driver = browser.start(width, height)
            try:
                driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
                    "features": [{"name": "prefers-color-scheme", "value": scheme}]})
                driver.get(daemon.url)
                wait_for(lambda: driver.execute_script(
                    "return document.getElementById('display').dataset.lines") not in
                    (None, "\n".join(NO_CONNECTION)), timeout=10)
                time.sleep(0.5)
                full = driver.execute_script("return document.documentElement.scrollHeight")
                driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": full, "deviceScaleFactor": 1,
                    "mobile": width < 600})
                time.sleep(0.3)
                driver.save_screenshot(os.path.join(output, name))
            finally:
                driver.quit()
    finally:
        daemon.stop()
        sim.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
