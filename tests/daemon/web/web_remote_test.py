#!/usr/bin/python3
"""The web remote in a real browser (headless Chromium) against the real r512d and r512-sim, all
on the loopback address.

usage: web_remote_test.py R512D R512SIM
Exits 77 (skipped) with a message when Chromium, its driver or selenium is missing."""

import os
import shutil
import sys
import time
import unittest
import urllib.error
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
import webrig  # noqa: E402
from webrig import NO_CONNECTION, wait_for  # noqa: E402

R512D = R512SIM = None

# Each button of the page by its accessible name, and the command code a tap on it must send:
# the codes of the remote window's hot spots, its source menus, the Control Panel's Ext 5.1 and
# the tone and levels popups.
TAPS = [
    ("Power", 0x06), ("Mute", 0x07), ("Audio", 0x74), ("Video", 0x75),
    ("Tape Monitor", 0x1A), ("Multi Source", 0x76), ("Mode", 0x77), ("Speakers", 0x60),
    ("Delay", 0x19), ("Levels", 0x18), ("Tone", 0x73), ("Brightness", 0x79),
    ("Video 1", 0x0D), ("Video 2", 0x0E), ("Video 3", 0x0F), ("Video 4", 0x10),
    ("Video 5", 0x11), ("Video 6", 0x12), ("CD", 0x13), ("Aux", 0x14), ("Tuner", 0x48),
    ("Ext 5.1", 0x64), ("Treble up", 0x46), ("Treble down", 0x47), ("Bass up", 0x44),
    ("Bass down", 0x45), ("Sub.W up", 0x61), ("Sub.W down", 0x62), ("Center up", 0x81),
    ("Center down", 0x82), ("Surr. up", 0x83), ("Surr. down", 0x84),
    ("Volume down", 0x16), ("Volume up", 0x15), ("Power", 0x06),
]
KNOB_DOWN = 0x16

# The page's display as a canvas compared cell by cell with the font strip it was drawn from.
PIXELS_MATCH_FONT = """
const done = arguments[arguments.length - 1];
const canvas = document.getElementById('display');
const font = new Image();
font.onload = () => {
  // The lines and the pixels read together, in one task: no display event between them.
  const lines = canvas.dataset.lines.split('\\n');
  const expected = document.createElement('canvas');
  expected.width = 140; expected.height = 18;
  const e = expected.getContext('2d');
  for (let row = 0; row < 2; ++row)
    for (let column = 0; column < 20; ++column) {
      const code = lines[row].charCodeAt(column);
      const x = code >= 32 && code <= 127 ? (code - 32) * 7 : 0;
      e.drawImage(font, x, 0, 7, 9, column * 7, row * 9, 7, 9);
    }
  const a = canvas.getContext('2d').getImageData(0, 0, 140, 18).data;
  const b = e.getImageData(0, 0, 140, 18).data;
  let lit = 0, differ = 0;
  for (let i = 0; i < a.length; i += 4) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) ++differ;
    if (a[i + 2] > 200) ++lit;
  }
  done({differ, lit});
};
font.src = 'font.bmp';
"""

# A status request of r512d on a WebSocket of its own, from the page's origin.
DAEMON_STATUS = """
const done = arguments[arguments.length - 1];
const socket = new WebSocket(`ws://${location.host}/ws`);
socket.onopen = () => socket.send(JSON.stringify({cmd: 'status'}));
socket.onmessage = (event) => { done(JSON.parse(event.data)); socket.close(); };
socket.onerror = () => done(null);
"""


class Rig:
    """One simulator, one r512d on it, one relay in front of r512d's web server, one browser."""

    def __init__(self, token_file=None):
        self.folder = webrig.scratch_folder()
        self.sim = webrig.Simulator(R512SIM, self.folder)
        self.daemon = webrig.Daemon(R512D, self.sim.link, self.folder, token_file=token_file)
        self.relay = webrig.Relay(self.daemon.port)
        self.url = f"http://{webrig.LOOPBACK}:{self.relay.port}/"
        self.driver = None

    def open_browser(self, width=412, height=915):
        self.driver = browser.start(width, height)
        return self.driver

    def close(self):
        try:
            if self.driver:
                self.driver.quit()
            self.relay.stop()
            self.daemon.stop()
        finally:
            self.sim.stop()
            shutil.rmtree(self.folder, ignore_errors=True)


class PageFixture(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig()
        cls.driver = cls.rig.open_browser()

    @classmethod
    def tearDownClass(cls):
        cls.rig.close()

    def setUp(self):
        self.driver.get(self.rig.url)
        self.assertTrue(wait_for(self.live, timeout=10), f"no live display: {self.lines()}")

    def lines(self):
        text = self.driver.execute_script(
            "return document.getElementById('display').dataset.lines || ''")
        return text.split("\n")

    def live(self):
        lines = self.lines()
        return len(lines) == 2 and lines != NO_CONNECTION

    def button(self, name):
        """The page's button whose accessible name (its label or its text) is `name`."""
        element = self.driver.execute_script(
            "return [...document.querySelectorAll('button')].find((b) =>"
            "  (b.getAttribute('aria-label') || b.textContent.trim()) === arguments[0]);", name)
        if element is None:
            self.fail(f"no button named {name!r}")
        return element

    def knob_down_count(self):
        return self.rig.sim.codes().count(KNOB_DOWN)

    def record_knob_sends(self):
        """From now on the page's WebSocket notes the wall-clock time of each knob key it sends
        (on the prototype: the page's socket, and any socket it opens later, are covered)."""
        self.driver.execute_script("""
            window.r512KnobSends = [];
            if (!WebSocket.prototype.r512Send) {
              WebSocket.prototype.r512Send = WebSocket.prototype.send;
              WebSocket.prototype.send = function (data) {
                if (String(data).includes('knob-')) window.r512KnobSends.push(Date.now());
                return this.r512Send(data);
              };
            }""")

    def assert_stopped(self, stopped_ms, before, what, back_to_page=lambda: None):
        """Nothing sent 200 ms after `stopped_ms` (wall clock) by the page, and nothing more
        reaching the device once what was on its way has arrived."""
        self.assertTrue(wait_for(self.quiet_device, timeout=5), f"{what}: the repeat runs on")
        back_to_page()
        sends = self.driver.execute_script("return window.r512KnobSends")
        late = [t - stopped_ms for t in sends if t > stopped_ms + 200]
        self.assertEqual(late, [], f"{what}: keys sent this many ms after the stop")
        self.assertLessEqual(self.knob_down_count() - before, len(sends))

    def quiet_device(self):
        """No knob-down reached the device for 400 ms."""
        count = self.knob_down_count()
        time.sleep(0.4)
        return self.knob_down_count() == count

    def assert_repeat_stops(self, stop, what, back_to_page=lambda: None):
        """Holds the page's volume-down button, checks that it repeats, applies `stop` and
        checks that the page sent nothing 200 ms after it."""
        from selenium.webdriver.common.action_chains import ActionChains
        self.record_knob_sends()
        before = self.knob_down_count()
        ActionChains(self.driver).move_to_element(self.button("Volume down")).click_and_hold() \
            .perform()
        self.assertTrue(wait_for(lambda: self.knob_down_count() >= before + 4, timeout=3),
                        f"{what}: holding does not repeat")
        stop()
        stopped_ms = time.time() * 1000
        self.assert_stopped(stopped_ms, before, what, back_to_page)
        ActionChains(self.driver).release().perform()


class WebRemoteTest(PageFixture):
    def test_display_shows_what_r512d_composes_in_the_panel_font(self):
        self.rig.sim.press("volume-down")  # a change the device reports by itself
        status = {}

        def page_shows_status():
            status.update(self.driver.execute_async_script(DAEMON_STATUS) or {})
            return status.get("reply") == "status" and self.lines() == status["display"]

        self.assertTrue(wait_for(page_shows_status),
                        f"page {self.lines()} daemon {status.get('display')}")
        pixels = self.driver.execute_async_script(PIXELS_MATCH_FONT)
        self.assertEqual(pixels["differ"], 0, "canvas pixels differ from the font strip")
        self.assertGreater(pixels["lit"], 50)
        volume = next(r for r in status["registers"] if r["name"] == "RS_VOLUME")
        self.assertTrue(wait_for(lambda: self.driver.find_element(
            "id", "volume-text").text == volume["text"]))
        spoken = self.driver.find_element("id", "display-text")
        self.assertEqual(spoken.get_attribute("aria-live"), "polite")
        self.assertIn(status["display"][0].split()[0], spoken.get_attribute("textContent"))

    def test_each_tap_sends_its_code_once(self):
        # The whole page in view at the phone's width; each tap a real press and release of
        # the mouse at the button's centre, through the browser's input pipeline.
        height = self.driver.execute_script("return document.documentElement.scrollHeight")
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 412, "height": height, "deviceScaleFactor": 1, "mobile": False})
        try:
            before = len(self.rig.sim.codes())
            for name, _ in TAPS:
                x, y = self.driver.execute_script(
                    "const r = arguments[0].getBoundingClientRect();"
                    "return [r.left + r.width / 2, r.top + r.height / 2];", self.button(name))
                for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
                    self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
                        "type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})
                time.sleep(0.06)  # well inside the rate limit of r512d's web clients
        finally:
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        expected = [code for _, code in TAPS]
        wait_for(lambda: len(self.rig.sim.codes()) >= before + len(expected), timeout=5)
        time.sleep(0.3)
        self.assertEqual([f"{c:#04x}" for c in self.rig.sim.codes()[before:]],
                         [f"{c:#04x}" for c in expected])

    def test_holding_minus_repeats_until_the_release(self):
        from selenium.webdriver.common.action_chains import ActionChains
        self.assert_repeat_stops(lambda: ActionChains(self.driver).release().perform(),
                                 "release")

    def test_pointercancel_stops_the_repeat(self):
        box = self.driver.execute_script(
            "const b = document.getElementById('volume-down').getBoundingClientRect();"
            "return [b.left + b.width / 2, b.top + b.height / 2];")
        point = {"x": box[0], "y": box[1], "id": 1}
        self.record_knob_sends()
        before = self.knob_down_count()
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchStart", "touchPoints": [point]})
        self.assertTrue(wait_for(lambda: self.knob_down_count() >= before + 4, timeout=3),
                        "a held touch does not repeat")
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchCancel", "touchPoints": []})
        self.assert_stopped(time.time() * 1000, before, "pointercancel")

    def test_hiding_the_page_stops_the_repeat(self):
        page = self.driver.current_window_handle

        def hide():
            self.driver.switch_to.new_window("tab")

        def back():
            if self.driver.current_window_handle != page:
                self.driver.close()
            self.driver.switch_to.window(page)

        try:
            self.assert_repeat_stops(hide, "hidden page", back)
        finally:
            back()

    def test_dropping_the_websocket_stops_the_repeat(self):
        self.assert_repeat_stops(self.rig.relay.cut, "dropped WebSocket")
        # The page connects again by itself.
        self.assertTrue(wait_for(self.live, timeout=10))

    def test_pulled_line_shows_no_connection_and_recovers(self):
        self.rig.sim.unplug()
        self.assertTrue(wait_for(lambda: self.lines() == NO_CONNECTION, timeout=10),
                        f"still {self.lines()}")
        self.assertIn("lost", self.driver.find_element("id", "link").get_attribute("class"))
        self.assertTrue(wait_for(self.live, timeout=15), "the page did not recover")

    def test_keyboard_names_and_phone_targets(self):
        from selenium.webdriver.common.keys import Keys
        # Every button has a name and is at least 44 CSS px square on the phone-sized screen.
        sizes = self.driver.execute_script(
            "return [...document.querySelectorAll('button')].map((b) => {"
            "  const r = b.getBoundingClientRect();"
            "  return [b.getAttribute('aria-label') || b.textContent.trim(), r.width, r.height];"
            "});")
        self.assertEqual(len(sizes), len({name for name, _ in TAPS}))
        for name, width, height in sizes:
            self.assertTrue(name)
            self.assertGreaterEqual(min(width, height), 44, name)
        self.assertEqual(self.driver.execute_script(
            "return getComputedStyle(document.querySelector('main')).gridTemplateColumns"
            ".split(' ').length"), 1, "the phone layout is one column")
        # Enter on a focused button sends its key once; on the knob too.
        before = len(self.rig.sim.codes())
        self.button("Mute").send_keys(Keys.ENTER)
        self.button("Volume down").send_keys(Keys.ENTER)
        self.button("Mute").send_keys(Keys.ENTER)
        wait_for(lambda: len(self.rig.sim.codes()) >= before + 3)
        time.sleep(0.3)
        self.assertEqual(self.rig.sim.codes()[before:], [0x07, 0x16, 0x07])

    def test_foreign_origin_and_plain_requests_are_refused(self):
        port = self.rig.daemon.port
        origin = f"http://{webrig.LOOPBACK}:{port}"
        self.assertEqual(webrig.websocket_handshake(port, origin), 101)
        for refused in ("http://evil.example", f"http://{webrig.LOOPBACK}:1", None):
            self.assertEqual(webrig.websocket_handshake(port, refused), 403, refused)
        status, _ = webrig.raw_request(port, ["GET /../../etc/passwd HTTP/1.1",
                                              f"Host: {webrig.LOOPBACK}:{port}"])
        self.assertEqual(status, 404)
        status, _ = webrig.raw_request(port, ["GET / HTTP/1.1", "Host: evil.example"])
        self.assertEqual(status, 403)


class TokenTest(unittest.TestCase):
    def test_token_file_serves_nothing_and_sends_nothing_without_the_token(self):
        folder = webrig.scratch_folder()
        token_file = os.path.join(folder, "token")
        with open(token_file, "w") as f:
            f.write("s3cret-web-token\n")
        rig = Rig(token_file=token_file)
        try:
            port = rig.daemon.port
            base = f"http://{webrig.LOOPBACK}:{port}"
            for path in ("/", "/remote.js", "/font.bmp", "/?token=wrong"):
                with self.assertRaises(urllib.error.HTTPError) as refused:
                    urllib.request.urlopen(base + path, timeout=5)
                self.assertEqual(refused.exception.code, 401, path)
                self.assertNotIn(b"<html", refused.exception.read())
            self.assertEqual(webrig.websocket_handshake(port, base), 401)
            before = len(rig.sim.codes())
            driver = rig.open_browser()
            driver.get(rig.url)
            self.assertNotIn("Volume", driver.page_source)
            time.sleep(0.5)
            self.assertEqual(len(rig.sim.codes()), before, "a command went out without token")
            # With the token once in the address, the cookie carries it from then on.
            driver.get(rig.url + "?token=s3cret-web-token")
            self.assertTrue(driver.current_url.endswith("/"), driver.current_url)
            self.assertTrue(wait_for(lambda: driver.execute_script(
                "return document.getElementById('display').dataset.lines") not in
                (None, "\n".join(NO_CONNECTION)), timeout=10))
            cookie = driver.get_cookie("r512_token")
            self.assertTrue(cookie and cookie["httpOnly"], cookie)
        finally:
            rig.close()
            shutil.rmtree(folder, ignore_errors=True)


def main():
    global R512D, R512SIM
    why = browser.missing()
    if why:
        print(f"SKIPPED: the web remote's browser test needs Chromium: {why}")
        return 77
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    R512D, R512SIM = sys.argv[1], sys.argv[2]
    result = unittest.main(argv=[sys.argv[0], "-v", *sys.argv[3:]], exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
