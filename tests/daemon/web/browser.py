"""Headless Chromium through Debian's chromedriver, for the web remote's tests and benchmarks."""

import os
import shutil
import tempfile

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


def missing():
    """Why the browser cannot run here, or None when it can."""
    for program in (CHROMIUM, CHROMEDRIVER):
        if not os.access(program, os.X_OK):
            return f"{program} is not installed (apt-get install chromium chromium-driver)"
    try:
        import selenium  # noqa: F401
    except ImportError:
        return "python3-selenium is not installed"
    return None


def start(width=412, height=915):
    """A headless Chromium with a profile of its own, which the caller quits."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    profile = tempfile.mkdtemp(prefix="r512-chromium-")
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--no-first-run",
                     "--disable-background-networking", "--disable-extensions",
                     "--disable-component-update", "--disable-sync",
                     f"--user-data-dir={profile}", f"--window-size={width},{height}",
                     "--force-device-scale-factor=1",
                     # Timers of a hidden page are not throttled, so a stop is the page's own.
                     "--disable-background-timer-throttling",
                     "--disable-renderer-backgrounding"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_page_load_timeout(20)
    driver.set_script_timeout(20)
    original_quit = driver.quit

    def quit_and_clean():
        try:
            original_quit()
        finally:
            shutil.rmtree(profile, ignore_errors=True)

    driver.quit = quit_and_clean
    return driver
