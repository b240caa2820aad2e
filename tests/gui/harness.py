"""Runs the real sousuo binary in a real X server for the GUI tests.

Each test module starts its own Xvfb (a free display number, 1280 x 1024 x 24) with openbox as the
window manager, so the tests need no display of their own. Servers listen on 127.0.0.1 only. Every
wait polls a condition until a deadline and fails the test when the deadline passes.
"""

import http.server
import os
import shutil
import signal
import socketserver
import subprocess
import tempfile
import threading
import time
import urllib.parse

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024
# The loopback build's fixed addresses (tests/gui/CMakeLists.txt).
CONTENT_PORT = 18731
SEARCH_PORT = 18732
REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def wait_for(condition, timeout=20.0, interval=0.05, what="condition"):
    """Polls condition() until it returns a truthy value; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


class XSession:
    """Xvfb plus openbox on a free display."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()
        self.home = tempfile.mkdtemp(prefix="sousuo-home-")
        self.env = dict(os.environ, DISPLAY=self.display, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                        NO_AT_BRIDGE="1", GTK_A11Y="none")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]),
                 what="openbox")

    def run(self, argv, check=False):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, check=check)
        return result.stdout

    def close(self):
        for process in (self.wm, self.xvfb):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(self.home, ignore_errors=True)

    def pixels(self, x, y, width, height):
        """The screen's RGB pixels in a rectangle, as rows of (r, g, b)."""
        raw = subprocess.run(
            ["import", "-silent", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
             "-depth", "8", "rgb:-"], env=self.env, capture_output=True, check=True).stdout
        rows = []
        for row in range(height):
            start = row * width * 3
            rows.append([tuple(raw[start + i * 3:start + i * 3 + 3]) for i in range(width)])
        return rows

    def pixel(self, x, y):
        return self.pixels(x, y, 1, 1)[0][0]

    def screenshot(self, path, x=0, y=0, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        subprocess.run(["import", "-silent", "-window", "root", "-crop",
                        f"{width}x{height}+{x}+{y}", path], env=self.env, check=True)

    def windows_of_class(self, name):
        out = self.run(["xdotool", "search", "--onlyvisible", "--class", name])
        return [int(line) for line in out.split()]


class Program:
    """One run of a sousuo binary, copied into a folder of its own so that its position file
    (beside the executable) belongs to this test."""

    def __init__(self, session, binary, folder=None):
        self.session = session
        self.folder = folder or tempfile.mkdtemp(prefix="sousuo-run-")
        self.path = os.path.join(self.folder, "sousuo")
        if not os.path.exists(self.path):
            shutil.copy2(binary, self.path)
        self.log = open(os.path.join(self.folder, "output.log"), "ab")
        self.process = subprocess.Popen([self.path], env=session.env, cwd="/",
                                        stdout=self.log, stderr=self.log)
        self.window = None

    @property
    def position_file(self):
        return os.path.join(self.folder, "peizhi.ini")

    def wait_window(self, timeout=30):
        def mapped():
            if self.process.poll() is not None:
                raise AssertionError(f"sousuo ended early with {self.process.returncode}: "
                                     + self.output())
            out = self.session.run(["xdotool", "search", "--onlyvisible", "--pid",
                                    str(self.process.pid), "--class", "sousuo"])
            ids = [int(line) for line in out.split()]
            return ids[0] if ids else None
        self.window = wait_for(mapped, timeout, what="the strip to be mapped")
        return self.window

    def geometry(self):
        """(left, top, width, height) of the window on the screen."""
        out = self.session.run(["xwininfo", "-id", str(self.window)])
        values = {}
        for line in out.splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(key + ":"):
                    values[key] = int(line.split(":")[1])
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
                values["Width"], values["Height"])

    def wait_geometry(self, expected, timeout=20):
        wait_for(lambda: self.geometry() == expected, timeout,
                 what=f"geometry {expected} (now {self.geometry()})")

    def visible_windows(self):
        """The program's mapped top-level windows (the strip, tips, message boxes)."""
        out = self.session.run(["xdotool", "search", "--all", "--onlyvisible",
                                "--pid", str(self.process.pid), "--name", ".*"])
        return [int(line) for line in out.split()]

    def property(self, name):
        return self.session.run(["xprop", "-id", str(self.window), name])

    def activate(self):
        self.session.run(["xdotool", "windowactivate", "--sync", str(self.window)])

    def click(self, x, y, button=1):
        """Clicks at window coordinates."""
        left, top, _, _ = self.geometry()
        self.session.run(["xdotool", "mousemove", "--sync", str(left + x), str(top + y)])
        self.session.run(["xdotool", "click", str(button)])

    def drag(self, dx, dy):
        """Drags the strip by its handle (dragLabel) by dx, dy in ten steps."""
        left, top, _, _ = self.geometry()
        run = self.session.run
        run(["xdotool", "mousemove", "--sync", str(left + 440), str(top + 16)])
        run(["xdotool", "mousedown", "1"])
        previous = (0, 0)
        for step in range(1, 11):
            offset = (dx * step // 10, dy * step // 10)
            # --sync waits for the pointer to move, so only where it does move.
            sync = ["--sync"] if offset != previous else []
            run(["xdotool", "mousemove", *sync, str(left + 440 + offset[0]),
                 str(top + 16 + offset[1])])
            previous = offset
        run(["xdotool", "mouseup", "1"])

    def type_text(self, text):
        # One character a call: xdotool loses characters it has to map to spare key codes when
        # they come in one go. (Even so, only one character off the keyboard map per text
        # arrives reliably under Xvfb.)
        for char in text:
            self.session.run(["xdotool", "type", "--delay", "30", char])

    def key(self, *keys):
        self.session.run(["xdotool", "key", *keys])

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("sousuo did not end: " + self.output())

    def output(self):
        self.log.flush()
        with open(os.path.join(self.folder, "output.log"), "rb") as log:
            return log.read().decode(errors="replace")

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()


class RecordingServer:
    """A loopback HTTP server on a fixed port: serves files from a folder (or bodies given per
    path), logs every request path, and can stall or refuse chosen paths."""

    def __init__(self, port, folder=None):
        self.folder = folder
        self.bodies = {}      # path -> body, or (status, body, content type)
        self.prefixes = []    # (path prefix, (status, body, content type)), tried first
        self.requests = []
        self.lock = threading.Lock()
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                with owner.lock:
                    owner.requests.append(self.path)
                path = urllib.parse.urlsplit(self.path).path
                status, body, kind = owner.answer(path)
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            allow_reuse_address = True

        self.server = Server(("127.0.0.1", port), Handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def answer(self, path):
        for prefix, value in self.prefixes:
            if path.startswith(prefix):
                return value
        if path in self.bodies:
            value = self.bodies[path]
            if isinstance(value, tuple):
                return value
            return 200, value, "application/octet-stream"
        if self.folder:
            local = os.path.normpath(os.path.join(self.folder, path.lstrip("/")))
            if local.startswith(self.folder) and os.path.isfile(local):
                with open(local, "rb") as f:
                    return 200, f.read(), "application/octet-stream"
        return 404, b"<html><body>404 Not Found</body></html>", "text/html"

    def paths(self):
        with self.lock:
            return list(self.requests)

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def content_folder():
    return os.path.join(REPO, "content")


def binary(name="sousuo_loopback"):
    """The binary under test, from the environment set by CTest."""
    return os.environ.get("SOUSUO_LOOPBACK_BINARY" if name == "sousuo_loopback"
                          else "SOUSUO_BINARY")
