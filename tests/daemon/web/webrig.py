"""The rig of the web remote's browser tests and benchmarks: r512-sim on a pseudo-terminal,
r512d on it serving its web remote on the loopback address, a WebSocket relay that the tests can
cut, and readers of what reached the simulated device."""

import os
import re
import select
import signal
import socket
import subprocess
import tempfile
import threading
import time

LOOPBACK = "127.0.0.1"
NO_CONNECTION = ["   no connection    ", "      to R512       "]
FRAME_START = [0xE0, 0x52, 0x53, 0x21]


def wait_for(condition, timeout=5.0, step=0.01):
    """Polls `condition` until it gives a true value or `timeout` seconds pass; its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(step)


class Simulator:
    """r512-sim on a pseudo-terminal behind a link path, logging every byte it receives."""

    def __init__(self, program, folder, replug_after=1.0):
        self.link = os.path.join(folder, "r512-line")
        self.log_path = os.path.join(folder, "sim.log")
        self._log = open(self.log_path, "w")
        self.process = subprocess.Popen(
            [program, "--link", self.link, "--log-bytes", "--replug-after", str(replug_after)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self._log, text=True)
        ready = select.select([self.process.stdout], [], [], 10)[0]
        if not ready or not self.process.stdout.readline():
            raise RuntimeError("r512-sim did not start")

    def received(self):
        """Every byte the device received so far."""
        data = []
        with open(self.log_path) as log:
            for line in log:
                at = line.find("received ")
                if at >= 0:
                    data += [int(word, 16) for word in line[at + 9:].split()]
        return data

    def codes(self):
        """The command codes of the frames the device received, in order."""
        data = self.received()
        return [data[i + 4] for i in range(len(data) - 4) if data[i:i + 4] == FRAME_START]

    def press(self, key):
        """A key of the device's own front panel (a change the device reports by itself)."""
        self.process.stdin.write(key + "\n")
        self.process.stdin.flush()

    def unplug(self):
        """Pulls the line out; it comes back by itself --replug-after seconds later."""
        self.process.send_signal(signal.SIGUSR1)

    def stop(self):
        stop_process(self.process)
        self._log.close()


class Daemon:
    """r512d on the simulator's line with its web remote on the loopback address."""

    def __init__(self, program, port_path, folder, token_file=None, extra=()):
        self.log_path = os.path.join(folder, "r512d.log")
        self._log = open(self.log_path, "w")
        command = [program, "--port", port_path, "--listen", f"{LOOPBACK}:0",
                   "--http", f"{LOOPBACK}:0", *extra]
        if token_file:
            command += ["--http-token-file", token_file]
        # The desktop program's settings of this user stay untouched.
        environment = dict(os.environ, XDG_CONFIG_HOME=folder)
        self.process = subprocess.Popen(command, stdout=self._log, stderr=subprocess.STDOUT,
                                        env=environment)
        found = wait_for(lambda: re.search(r"web remote at http://([0-9.]+):(\d+)/",
                                           self.output()), timeout=10)
        if not found:
            stop_process(self.process)
            raise RuntimeError("r512d did not announce its web remote:\n" + self.output())
        self.host, self.port = found.group(1), int(found.group(2))
        self.url = f"http://{self.host}:{self.port}/"

    def output(self):
        with open(self.log_path) as log:
            return log.read()

    def stop(self):
        """Ends r512d; a sanitizer's report in its log (ASan builds) is an error."""
        stop_process(self.process)
        self._log.close()
        output = self.output()
        for sign in ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                     "WARNING: ThreadSanitizer"):
            if sign in output:
                raise RuntimeError("r512d under the sanitizer:\n" + output[-4000:])


def stop_process(process):
    for stream in (process.stdin, process.stdout):
        if stream:
            stream.close()
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Relay:
    """A TCP relay on the loopback address in front of r512d: the browser's connections pass
    through it, and `cut()` drops them all at once (a WebSocket lost on the way) while the relay
    keeps accepting new ones."""

    def __init__(self, target_port):
        self._target = (LOOPBACK, target_port)
        self._listener = socket.create_server((LOOPBACK, 0))
        self.port = self._listener.getsockname()[1]
        self._pairs = []
        self._lock = threading.Lock()
        self._running = True
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while self._running:
            try:
                client, _ = self._listener.accept()
            except OSError:
                return
            upstream = socket.create_connection(self._target)
            with self._lock:
                self._pairs.append((client, upstream))
            for a, b in ((client, upstream), (upstream, client)):
                threading.Thread(target=self._pump, args=(a, b), daemon=True).start()

    @staticmethod
    def _pump(source, sink):
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                sink.sendall(data)
        except OSError:
            pass
        for s in (source, sink):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def cut(self):
        with self._lock:
            pairs, self._pairs = self._pairs, []
        for pair in pairs:
            for s in pair:
                try:
                    s.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
                s.close()

    def stop(self):
        self._running = False
        self._listener.close()
        self.cut()


def raw_request(port, lines):
    """Sends an HTTP request of `lines` to r512d; its status code and the whole answer. A
    request other than a WebSocket handshake asks r512d to close the connection after it."""
    if not any(line.startswith("Upgrade:") for line in lines):
        lines = [*lines, "Connection: close"]
    with socket.create_connection((LOOPBACK, port), timeout=5) as s:
        s.sendall(("\r\n".join(lines) + "\r\n\r\n").encode())
        answer = b""
        s.settimeout(5)
        try:
            while True:
                data = s.recv(65536)
                if not data:
                    break
                answer += data
                if b"\r\n\r\n" in answer and b"101" in answer.split(b"\r\n")[0]:
                    break
        except socket.timeout:
            pass
    status = int(answer.split(b" ", 2)[1]) if answer.startswith(b"HTTP/") else 0
    return status, answer


def websocket_handshake(port, origin=None, cookie=None, target="/ws"):
    """The status of a WebSocket handshake at r512d (101 when it is accepted)."""
    lines = [f"GET {target} HTTP/1.1", f"Host: {LOOPBACK}:{port}", "Upgrade: websocket",
             "Connection: Upgrade", "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==",
             "Sec-WebSocket-Version: 13"]
    if origin:
        lines.append(f"Origin: {origin}")
    if cookie:
        lines.append(f"Cookie: {cookie}")
    return raw_request(port, lines)[0]


def scratch_folder():
    return tempfile.mkdtemp(prefix="r512-web-")
