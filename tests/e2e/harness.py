"""Shared end-to-end harness: a private Xvfb, the real kirto in a fresh working folder, real input.

Every test gets its own X server, so tests never see a developer's desktop or each other. Input is
sent with xdotool (XTEST), close requests with our x11_close helper. A press is held for HOLD so
that a frame sees it; every other wait polls for a condition with a deadline.
"""
import argparse
import difflib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

ARGS = None
BACKGROUND = (212, 208, 200)
TOGGLE_ON = (151, 232, 255)      # raygui's default colour of a pressed toggle
HOLD = 0.15                      # a press held across a frame, so the program sees it
VEIL_PROBE = (5, 800)            # inside the left panel, which a modal window's veil darkens
AWAY = (900, 500)                # an empty spot where the pointer highlights nothing
STARTUP_STATUS = "Loaded 0 model(s), 0 texture(s). Press Ctrl+Z to Undo, Shift+S to Subdivide."
ADD_POINT_LIGHT = (81, 157.5 + 6 * 74.25 + 9 + 31.5 + 25)   # below the palette and the ADD LIGHT label
ADD_SPOT_LIGHT = (ADD_POINT_LIGHT[0], ADD_POINT_LIGHT[1] + 56.25)


def veiled(colour):
    """The left panel's light fill darkened by a modal window's veil."""
    return max(colour) < 180


def parse_args():
    """Reads --kirto and --x11-close, leaving the rest to unittest."""
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--kirto", required=True)
    parser.add_argument("--x11-close", required=True)
    ARGS, rest = parser.parse_known_args()
    ARGS.kirto = os.path.abspath(ARGS.kirto)
    ARGS.x11_close = os.path.abspath(ARGS.x11_close)
    sys.argv = [sys.argv[0]] + rest


def read_like(text, expected, ratio=0.9):
    """OCR may misread a letter or two (l as i); the line must match all but that."""
    return difflib.SequenceMatcher(None, text, expected).ratio() > ratio


def wait_until(condition, timeout, what):
    """Polls condition() until it returns a true value; fails the test after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


class XServer:
    """A private Xvfb; its display number is chosen by the server itself."""

    def __init__(self, width=1920, height=1080):
        if shutil.which("Xvfb") is None:
            raise RuntimeError("Xvfb is not installed (package xvfb)")
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_fd], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_fd, 16) if ready else b""
            if not chunk:
                os.close(read_fd)
                self.stop()
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_fd)
        self.display = ":" + number.decode().strip()

    def run(self, *cmd, check=True):
        env = dict(os.environ, DISPLAY=self.display)
        result = subprocess.run(list(cmd), env=env, capture_output=True, text=True, timeout=60)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (" ".join(cmd), result.stderr.strip()))
        return result.stdout

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(timeout=30)


class Editor:
    """The real program on the given X server, in a fresh temporary working folder, or in the
    given one (which the caller then owns, so that a second run can start on the same files)."""

    def __init__(self, xserver, workdir=None, prepare=None):
        self.x = xserver
        self.owns_workdir = workdir is None
        self.workdir = tempfile.mkdtemp(prefix="kirto-e2e-") if workdir is None else workdir
        if prepare is not None:
            prepare(self.workdir)   # lays out files in the working folder before the program starts
        self.lines = []
        self.lock = threading.Lock()
        env = dict(os.environ, DISPLAY=xserver.display)
        # Standard output carries the library's log; other noise (sound back-ends) goes to stderr.
        self.stderr = open(os.path.join(self.workdir, "stderr.txt"), "wb")
        self.proc = subprocess.Popen([ARGS.kirto], cwd=self.workdir, env=env, stdout=subprocess.PIPE,
                                     stderr=self.stderr, start_new_session=True)
        self.reader = threading.Thread(target=self._read_output, daemon=True)
        self.reader.start()
        self.window = wait_until(self._find_window, 60, "the kirto window")
        self.wait_drawn()

    def _read_output(self):
        for raw in self.proc.stdout:
            with self.lock:
                self.lines.append(raw.decode(errors="replace").rstrip("\n"))

    def _find_window(self):
        out = self.x.run("xdotool", "search", "--onlyvisible", "--name", "^kirto$", check=False).split()
        return out[0] if out else None

    def output(self):
        with self.lock:
            return list(self.lines)

    def alive(self):
        return self.proc.poll() is None

    # --- window ---------------------------------------------------------------------------
    def title(self):
        return self.x.run("xdotool", "getwindowname", self.window).strip()

    def size(self):
        out = self.x.run("xdotool", "getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def resize(self, width, height):
        """Resizes the window and waits until the program has drawn a frame at the new size."""
        self.x.run("xdotool", "windowsize", self.window, str(width), str(height))
        wait_until(lambda: self.size() == (width, height), 30, "the window at %dx%d" % (width, height))
        self.wait_drawn()

    def screenshot(self):
        """The window's pixels as (width, height, rgb bytes)."""
        data = subprocess.run(["import", "-display", self.x.display, "-window", self.window, "-depth", "8", "ppm:-"],
                              capture_output=True, timeout=60, check=True).stdout
        return parse_ppm(data)

    def pixel(self, shot, px, py):
        width, _, rgb = shot
        i = (int(py) * width + int(px)) * 3
        return tuple(rgb[i:i + 3])

    def wait_drawn(self):
        """Waits until the bottom-right corner shows something drawn (the window starts black)."""
        def drawn():
            shot = self.screenshot()
            return self.pixel(shot, shot[0] - 1, shot[1] - 1) != (0, 0, 0)
        wait_until(drawn, 60, "a frame drawn over the whole window")

    def frame_sync(self):
        """Proves the program has handled every event sent so far: it redraws after a resize. The
        window shrinks first, so the last step uncovers a column that only a frame drawn at the
        final size fills."""
        width, height = self.size()
        self.resize(width - 1, height)
        self.resize(width, height)

    def ocr(self, x, y, width, height):
        """Reads the text in a rectangle of the window with tesseract (one line of text)."""
        png = subprocess.run(["import", "-display", self.x.display, "-window", self.window, "png:-"],
                             capture_output=True, timeout=60, check=True).stdout
        crop = subprocess.run(["convert", "png:-", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage",
                               "-resize", "300%", "-colorspace", "Gray", "png:-"],
                              input=png, capture_output=True, timeout=60, check=True).stdout
        text = subprocess.run(["tesseract", "stdin", "stdout", "--psm", "7"], input=crop,
                              capture_output=True, timeout=60, check=True).stdout
        return re.sub(r"\s+", " ", text.decode(errors="replace")).strip()

    def status(self, width=1300):
        """The status bar's text, read from its left part."""
        return self.ocr(0, self.size()[1] - 49, width, 49)

    def wait_status(self, expected, width=1300, ratio=0.9):
        wait_until(lambda: read_like(self.status(width), expected, ratio), 30, "the status line %r" % expected)

    def wait_pixel(self, px, py, predicate, what, timeout=30):
        """Waits until the pixel at (px, py) satisfies predicate(rgb); returns that colour."""
        def check():
            colour = self.pixel(self.screenshot(), px, py)
            return colour if predicate(colour) else None
        return wait_until(check, timeout, what)

    # --- input ----------------------------------------------------------------------------
    def move(self, px, py):
        self.x.run("xdotool", "mousemove", "--window", self.window, str(int(px)), str(int(py)))

    def click(self, px, py, button=1):
        """Moves to (px, py), presses and releases; the pointer stays put across a frame after each
        step, because widgets look at where the pointer is in the frame that sees the release."""
        self.move(px, py)
        time.sleep(HOLD)
        self.x.run("xdotool", "mousedown", str(button))
        time.sleep(HOLD)
        self.x.run("xdotool", "mouseup", str(button))
        time.sleep(HOLD)

    def wheel(self, px, py, steps):
        """Rolls the wheel over (px, py): positive steps away from the user (up), negative toward."""
        for _ in range(abs(steps)):
            self.click(px, py, 4 if steps > 0 else 5)

    def focus(self):
        self.x.run("xdotool", "mousemove", "--window", self.window, "700", "450")
        self.x.run("xdotool", "windowfocus", "--sync", self.window, check=False)

    def key(self, name):
        """Presses and releases a key; the press and the release each last across a frame, so the
        program sees both and a next key is not taken in the same frame."""
        self.x.run("xdotool", "keydown", name)
        time.sleep(HOLD)
        self.x.run("xdotool", "keyup", name)
        time.sleep(HOLD)

    def mouse_down(self, button):
        """Presses a mouse button and keeps it down (for drags and held buttons)."""
        self.x.run("xdotool", "mousedown", str(button))

    def mouse_up(self, button):
        self.x.run("xdotool", "mouseup", str(button))

    def close_project_manager(self):
        """Every run begins in the project manager; Escape closes it, and its veil goes."""
        self.focus()
        self.wait_pixel(*VEIL_PROBE, veiled, "the project manager's veil")
        self.key("Escape")
        self.wait_pixel(*VEIL_PROBE, lambda c: not veiled(c), "the project manager to close")

    def request_close(self):
        self.x.run(ARGS.x11_close, self.window)

    def wait_exit(self, timeout=60):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("kirto did not exit")

    def group_gone(self):
        try:
            os.killpg(self.proc.pid, 0)
            return False
        except ProcessLookupError:
            return True

    def stop(self):
        if self.alive():
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(timeout=30)
        self.reader.join(timeout=10)
        self.proc.stdout.close()
        self.stderr.close()
        if self.owns_workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)


def parse_ppm(data):
    """Parses a binary PPM (P6, 8-bit) into (width, height, rgb bytes)."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height * 3]


def view_rects(width, height):
    """The four view rectangles (3D, Top, Front, Side) as (x, y, w, h) for a window size."""
    top = 49.5 + 63.0
    w = max(0.0, width - 162.0 - 540.0) / 2.0
    h = max(0.0, height - top - 49.5) / 2.0
    return [(162.0, top, w, h), (162.0 + w, top, w, h), (162.0, top + h, w, h), (162.0 + w, top + h, w, h)]


def lower_part(rect):
    """A 3D view rectangle below its title and orientation widget."""
    x, y, w, h = rect
    return (x, y + 180, w, h - 180)


def pixels_in(shot, rect, step=2):
    """Every step-th pixel of a rectangle of the screenshot, as rgb tuples."""
    width, height, rgb = shot
    x0, y0, w, h = rect
    out = []
    for py in range(int(y0) + 1, min(height, int(y0 + h) - 1), step):
        for px in range(int(x0) + 1, min(width, int(x0 + w) - 1), step):
            i = (py * width + px) * 3
            out.append(tuple(rgb[i:i + 3]))
    return out


def matching_box(shot, rect, predicate):
    """Bounding box (x0, y0, x1, y1) of the pixels in rect for which predicate holds, or None."""
    width, height, rgb = shot
    x0, y0, w, h = rect
    found = None
    for py in range(int(y0) + 1, min(height, int(y0 + h) - 1)):
        row = py * width
        for px in range(int(x0) + 1, min(width, int(x0 + w) - 1)):
            i = (row + px) * 3
            if predicate(rgb[i], rgb[i + 1], rgb[i + 2]):
                if found is None:
                    found = [px, py, px, py]
                else:
                    found = [min(found[0], px), min(found[1], py), max(found[2], px), max(found[3], py)]
    return tuple(found) if found else None


class EditorTestCase(unittest.TestCase):
    """Starts a private X server and the editor for every test, and always cleans both up. The
    project manager that every run begins in is closed first unless keep_project_manager is set."""

    keep_project_manager = False

    def prepare(self, workdir):
        """Override to put files into the working folder before the program starts."""

    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.stop)
        self.editor = Editor(self.x, prepare=self.prepare)
        self.addCleanup(self.editor.stop)
        if not self.keep_project_manager:
            self.editor.close_project_manager()


def main():
    parse_args()
    unittest.main(verbosity=2)
