"""Shared end-to-end harness: a private Xvfb, the real kirto in a fresh working folder, real input.

Every test gets its own X server, so tests never see a developer's desktop or each other. Input is
sent with xdotool (XTEST), close requests with our x11_close helper. The program reads input once a
frame, after it presents the frame, and compares each key and button with the frame before; so a
press and its release that reach it between two reads are lost. After every input the harness
therefore waits until the window has presented FRAMES more frames (our x11_frames helper counts
them), which proves that a frame's update has seen it, however slow the machine. Every other wait
polls for evidence (a pixel, a file, OCR'd text) with a deadline; nothing sleeps in the hope that
something has happened.

With --wine-prefix the program is kirto.exe, run under wine in that prefix (tests/e2e/wine/): wine
runs it in the process it starts, which is the pid on its window, and everything else stays the
same. Each run ends the prefix's wine server, so nothing of wine outlives a test.
"""
import argparse
import difflib
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

ARGS = None
BACKGROUND = (212, 208, 200)
PANEL_FILL = (245, 245, 245)    # raygui's panel: the right panel where its Info tab draws nothing
TOGGLE_ON = (151, 232, 255)      # raygui's default colour of a pressed toggle (and a text box being edited)
EDIT_BORDER = (4, 146, 199)      # raygui's default border of a text box being edited, and its cursor
# Frames presented after an input before the next one: the first may have been drawn before the
# program read the input, the second is drawn by an update that has seen it, one more to spare.
FRAMES = 3
WAIT = 60                        # seconds to wait for evidence; a loaded small machine is slow
STOP_GRACE = 10                  # seconds an X server gets to end by itself before it is killed
VEIL_PROBE = (5, 800)            # inside the left panel, which a modal window's veil darkens
AWAY = (900, 500)                # an empty spot where the pointer highlights nothing
STARTUP_STATUS = "Loaded 0 model(s), 0 texture(s). Press Ctrl+Z to Undo, Shift+S to Subdivide."
ADD_POINT_LIGHT = (81, 157.5 + 6 * 74.25 + 9 + 31.5 + 25)   # below the palette and the ADD LIGHT label
ADD_SPOT_LIGHT = (ADD_POINT_LIGHT[0], ADD_POINT_LIGHT[1] + 56.25)


def veiled(colour):
    """The left panel's light fill darkened by a modal window's veil."""
    return max(colour) < 180


def parse_args():
    """Reads --kirto, --x11-close and --x11-frames, and for the wine tests --wine-prefix and
    --linux-kirto (the Linux program, to compare with), leaving the rest to unittest."""
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--kirto", required=True)
    parser.add_argument("--x11-close", required=True)
    parser.add_argument("--x11-frames", required=True)
    parser.add_argument("--wine-prefix")
    parser.add_argument("--linux-kirto")
    ARGS, rest = parser.parse_known_args()
    ARGS.kirto = os.path.abspath(ARGS.kirto)
    if ARGS.wine_prefix:
        ARGS.wine_prefix = os.path.abspath(ARGS.wine_prefix)
        if not os.path.isfile(os.path.join(ARGS.wine_prefix, "system.reg")):   # a file run on its own
            subprocess.run(["bash", os.path.join(os.path.dirname(__file__), "..", "windows", "wine_prefix.sh"),
                            ARGS.wine_prefix], check=True, timeout=300)
    if ARGS.linux_kirto:
        ARGS.linux_kirto = os.path.abspath(ARGS.linux_kirto)
    ARGS.x11_close = os.path.abspath(ARGS.x11_close)
    ARGS.x11_frames = os.path.abspath(ARGS.x11_frames)
    sys.argv = [sys.argv[0]] + rest


def read_like(text, expected, ratio=0.9):
    """OCR may misread a letter or two (l as i); the line must match all but that."""
    return difflib.SequenceMatcher(None, text, expected).ratio() > ratio


OCR_ALIKE = str.maketrans("1iI|0O", "lllloo")


def reads_as(text, expected):
    """Whether OCR'd text is expected, letter for letter but for the shapes tesseract confuses
    (1, i, I and l; 0 and O); a missing or extra character always shows."""
    return text.lower().translate(OCR_ALIKE) == expected.lower().translate(OCR_ALIKE)


def wine_env(display):
    """The environment of a program under wine: the tests' prefix, no Mono or Gecko install
    prompts (each would wait for a click), no debug channels, and Mesa's software GL on two
    threads, since these tests run beside the Linux ones."""
    return dict(os.environ, DISPLAY=display, WINEPREFIX=ARGS.wine_prefix, WINEDLLOVERRIDES="mscoree,mshtml=",
                WINEDEBUG="-all", LP_NUM_THREADS="2")


WINE_EDITORS = set()             # the Editors under wine not yet stopped or killed


def end_wine(editor):
    """Once the last Editor under wine has ended, ends whatever else runs in the prefix and waits
    until its wine server is gone; two copies at once each keep the other's server."""
    WINE_EDITORS.discard(editor)
    if WINE_EDITORS:
        return
    env = wine_env(editor.x.display)
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=WAIT)
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=WAIT)


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
    """A private Xvfb; its display number is chosen by the server itself. Keys do not repeat, so a
    press held across slow frames stays one press (and one typed character)."""

    def __init__(self, width=1920, height=1080):
        if shutil.which("Xvfb") is None:
            raise RuntimeError("Xvfb is not installed (package xvfb)")
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset", "-r"],
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

    def run(self, *cmd, check=True, timeout=WAIT):
        env = dict(os.environ, DISPLAY=self.display)
        result = subprocess.run(list(cmd), env=env, capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (" ".join(cmd), result.stderr.strip()))
        return result.stdout

    def stop(self):
        """Ends the server, also one that a busy machine keeps from ending: asked first, then
        killed. Its teardown never fails a test."""
        display = getattr(self, "display", "?")    # none yet when it failed to start
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=STOP_GRACE)
            except subprocess.TimeoutExpired:
                sys.stderr.write("Xvfb %s did not end within %d s of SIGTERM: killed\n" % (display, STOP_GRACE))
                self.proc.kill()
                try:
                    self.proc.wait(timeout=WAIT)
                except subprocess.TimeoutExpired:
                    sys.stderr.write("Xvfb %s still runs %d s after SIGKILL\n" % (display, WAIT))


class Editor:
    """The real program on the given X server, in a fresh temporary working folder, or in the
    given one (which the caller then owns, so that a second run can start on the same files).
    In a wine test it is kirto.exe under wine, or with linux set the Linux program."""

    def __init__(self, xserver, workdir=None, prepare=None, linux=False):
        self.x = xserver
        self.wine = ARGS.wine_prefix is not None and not linux
        self.owns_workdir = workdir is None
        self.workdir = tempfile.mkdtemp(prefix="kirto-e2e-") if workdir is None else workdir
        if prepare is not None:
            prepare(self.workdir)   # lays out files in the working folder before the program starts
        self.lines = []
        self.lock = threading.Lock()
        env = wine_env(xserver.display) if self.wine else dict(os.environ, DISPLAY=xserver.display)
        program = ["wine", ARGS.kirto] if self.wine else [ARGS.linux_kirto if linux else ARGS.kirto]
        # Standard output carries the library's log; other noise (sound back-ends) goes to stderr.
        self.stderr = open(os.path.join(self.workdir, "stderr.txt"), "wb")
        self.proc = subprocess.Popen(program, cwd=self.workdir, env=env, stdout=subprocess.PIPE,
                                     stderr=self.stderr, start_new_session=True)
        if self.wine:
            WINE_EDITORS.add(self)
        self.reader = threading.Thread(target=self._read_output, daemon=True)
        self.reader.start()
        try:
            self.window = wait_until(self._find_window, WAIT, "the kirto window")
            self.wait_drawn()
        except Exception as e:     # a failed wait, or an X tool that timed out
            report = "%s (%s)" % (e, self._start_report())
            self.stop()            # the caller never gets this editor to stop
            raise AssertionError(report) from None

    def _read_output(self):
        for raw in self.proc.stdout:
            with self.lock:
                self.lines.append(raw.decode(errors="replace").rstrip("\n"))

    def _find_window(self):
        """The program's own shown window, found by its process id (which GLFW puts on it), so no
        other window can stand in for it; a program that ended without one fails the wait at once."""
        if self.proc.poll() is not None:
            raise AssertionError("kirto ended (exit status %s) before its window showed: %s" %
                                 (self.proc.returncode, self._start_report()))
        out = self.x.run("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), check=False).split()
        return out[0] if out else None

    def _start_report(self):
        """What a start that showed no window left behind: whether it runs, and its last lines."""
        return "%s, output ends %r" % ("running" if self.alive() else "ended", self.output()[-5:])

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
        """Resizes the window and waits until the program has drawn frames at the new size."""
        self.x.run("xdotool", "windowsize", self.window, str(width), str(height))
        wait_until(lambda: self.size() == (width, height), WAIT, "the window at %dx%d" % (width, height))
        self.wait_frames()
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
        wait_until(drawn, WAIT, "a frame drawn over the whole window")

    def wait_frames(self, count=FRAMES):
        """Waits until the window has presented count more frames; x11_frames wakes a resting
        editor for them."""
        self.x.run(ARGS.x11_frames, self.window, str(count), str(WAIT), timeout=WAIT + 30)

    def draws_alone(self, count, seconds):
        """Whether the window presents count frames within seconds while nobody wakes it: a
        resting editor presents none."""
        env = dict(os.environ, DISPLAY=self.x.display)
        result = subprocess.run([ARGS.x11_frames, self.window, str(count), str(seconds), "--no-wake"], env=env,
                                capture_output=True, text=True, timeout=seconds + WAIT)
        if result.returncode not in (0, 1) or "gone" in result.stderr:
            raise AssertionError("x11_frames failed: " + result.stderr.strip())
        return result.returncode == 0

    def wait_resting(self, what):
        """Waits for a whole second in which the window presents no frame."""
        wait_until(lambda: not self.draws_alone(1, 1), WAIT, "a second without a frame " + what)

    def frame_sync(self):
        """Proves the program has handled every event sent so far and shows the outcome: an update
        that saw the last input has run, and its frame is on the screen."""
        self.wait_frames()

    def ocr(self, x, y, width, height, hide=None):
        """Reads the text in a rectangle of the window with tesseract (one line of text). With
        hide=(colour, fill), the pixels of colour are painted with fill first."""
        png = subprocess.run(["import", "-display", self.x.display, "-window", self.window, "png:-"],
                             capture_output=True, timeout=60, check=True).stdout
        paint = [] if hide is None else ["-fill", "rgb(%d,%d,%d)" % hide[1], "-opaque", "rgb(%d,%d,%d)" % hide[0]]
        crop = subprocess.run(["convert", "png:-", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage"] + paint +
                              ["-resize", "300%", "-colorspace", "Gray", "png:-"],
                              input=png, capture_output=True, timeout=60, check=True).stdout
        # One thread: tesseract's OpenMP threads spin against each other on a busy machine, which
        # made one line take over a minute beside the wine tests.
        text = subprocess.run(["tesseract", "stdin", "stdout", "--psm", "7"], input=crop,
                              env=dict(os.environ, OMP_THREAD_LIMIT="1"),
                              capture_output=True, timeout=60, check=True).stdout
        return re.sub(r"\s+", " ", text.decode(errors="replace")).strip()

    def status(self, width=1300):
        """The status bar's text, read from its left part."""
        return self.ocr(0, self.size()[1] - 49, width, 49)

    def wait_status(self, expected, width=1300, ratio=0.9):
        wait_until(lambda: read_like(self.status(width), expected, ratio), WAIT, "the status line %r" % expected)

    def wait_pixel(self, px, py, predicate, what, timeout=WAIT):
        """Waits until the pixel at (px, py) satisfies predicate(rgb); returns that colour."""
        def check():
            colour = self.pixel(self.screenshot(), px, py)
            return colour if predicate(colour) else None
        return wait_until(check, timeout, what)

    # --- input ----------------------------------------------------------------------------
    # Each step below returns once an update of the program has seen it.
    def move(self, px, py):
        self.x.run("xdotool", "mousemove", "--window", self.window, str(int(px)), str(int(py)))
        self.wait_frames()

    def click(self, px, py, button=1):
        """Moves to (px, py), presses and releases; the pointer stays put while a frame sees each
        step, because widgets look at where the pointer is in the frame that sees the release."""
        self.move(px, py)
        self.mouse_down(button)
        self.mouse_up(button)

    def wheel(self, px, py, steps):
        """Rolls the wheel over (px, py): positive steps away from the user (up), negative toward.
        The program keeps one wheel movement a frame, so every step gets frames of its own."""
        self.move(px, py)
        for _ in range(abs(steps)):
            self.x.run("xdotool", "click", "4" if steps > 0 else "5")
            self.wait_frames()

    def focus(self):
        self.x.run("xdotool", "mousemove", "--window", self.window, "700", "450")
        self.x.run("xdotool", "windowfocus", "--sync", self.window, check=False)
        self.wait_frames()

    def key(self, name):
        """Presses and releases a key (or a combination such as ctrl+z); frames see the press and
        then the release, so the program takes it once and a next key in a later frame."""
        self.x.run("xdotool", "keydown", name)
        self.wait_frames()
        self.x.run("xdotool", "keyup", name)
        self.wait_frames()

    def type_text(self, text):
        """Types text into the text box being edited. A text box takes one character a frame and
        the program drops characters it has not taken when it reads input again, so each
        character gets frames of its own."""
        for char in text:
            self.x.run("xdotool", "type", "--delay", "0", "--", char)
            self.wait_frames()

    def erase(self, count):
        """Presses BackSpace count times (in a text box being edited)."""
        for _ in range(count):
            self.key("BackSpace")

    def text_box_empty(self, rect):
        """Whether the text box at rect (x, y, w, h), being edited, shows no text: nothing inside
        its border but its fill and its cursor."""
        x, y, w, h = rect
        inside = (x + 4, y + 4, w - 8, h - 8)
        return not matching_box(self.screenshot(), inside,
                                lambda r, g, b: (r, g, b) != EDIT_BORDER and
                                abs(r - TOGGLE_ON[0]) + abs(g - TOGGLE_ON[1]) + abs(b - TOGGLE_ON[2]) > 60)

    def text_box_text(self, rect):
        """The text in the text box at rect, being edited, read without its border and cursor."""
        x, y, w, h = rect
        return self.ocr(int(x), int(y), int(w), int(h), hide=(EDIT_BORDER, TOGGLE_ON))

    def enter_text(self, rect, text, attempts=3):
        """Puts text in place of what the text box at rect (x, y, w, h) holds, and leaves it being
        edited. A press inside it starts editing (it turns light blue); the old text is erased
        until the box shows none, then text is typed. Re-typing a cleared box is harmless, so a
        box that does not read back as text is cleared and typed again."""
        x, y, w, h = rect
        probe = (int(x + w - 6), int(y + h / 2))     # inside, right of any text a test types
        for _ in range(attempts):
            self.click(x + w / 2, y + h / 2)         # a press inside an edited box changes nothing
            self.wait_pixel(*probe, lambda c: c == TOGGLE_ON, "the text box to be edited")
            for _ in range(8):
                if self.text_box_empty(rect):
                    break
                self.erase(8)
            if not self.text_box_empty(rect):
                raise AssertionError("the text box did not empty")
            self.type_text(text)
            seen = self.text_box_text(rect)
            if reads_as(seen, text):
                return
            sys.stderr.write("the text box reads %r, not %r: typing it again\n" % (seen, text))
        raise AssertionError("the text box reads %r, not %r" % (seen, text))

    def mouse_down(self, button):
        """Presses a mouse button and keeps it down (for drags and held buttons)."""
        self.x.run("xdotool", "mousedown", str(button))
        self.wait_frames()

    def mouse_up(self, button):
        self.x.run("xdotool", "mouseup", str(button))
        self.wait_frames()

    def close_project_manager(self):
        """Every run begins in the project manager; Escape closes it, and its veil goes."""
        self.focus()
        self.wait_pixel(*VEIL_PROBE, veiled, "the project manager's veil")
        self.key("Escape")
        self.wait_pixel(*VEIL_PROBE, lambda c: not veiled(c), "the project manager to close")

    def request_close(self):
        self.x.run(ARGS.x11_close, self.window)

    def wait_exit(self, timeout=WAIT):
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

    def kill(self):
        """Ends the program at once, as a crash or a power cut would: nothing of it runs after."""
        os.killpg(self.proc.pid, signal.SIGKILL)
        self.proc.wait(timeout=30)
        if self.wine:
            end_wine(self)

    def stop(self):
        if self.alive():
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(timeout=30)
        if self.wine:
            end_wine(self)
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


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def parse_map(data):
    """Reads a version-3 map file into (brushes, entities), each a list of dicts of the fields the
    tests compare (a brush's "faces" is its face count, "faceTextures" their textures, "faceCorners"
    their vertex indices, "facePlacements" the rest of each face; an entity's "light" its light
    and physics values); fails on a wrong header or on bytes left over."""
    pos = 8
    if data[:8] != b"ZIZUDU2\0":
        raise AssertionError("no map magic")

    def take(fmt):
        nonlocal pos
        values = struct.unpack_from("<" + fmt, data, pos)
        pos += struct.calcsize("<" + fmt)
        return values

    def name():
        nonlocal pos
        text = data[pos:pos + 32].split(b"\0")[0].decode()
        pos += 32
        return text

    version, count = take("2i")
    if version != 3:
        raise AssertionError("version %d" % version)
    brushes = []
    for _ in range(count):
        b = dict(name=name(), origin=take("3f"), rotation=take("3f"), size=take("3f"), colour=take("4B"))
        b["texture"], b["shape"] = take("2i")
        take("B3f")
        b["verts"] = [take("3f") for _ in range(take("i")[0])]
        b["faces"] = take("i")[0]
        b["faceTextures"], b["faceCorners"], b["facePlacements"] = [], [], []
        for _ in range(b["faces"]):
            corners = take("i")[0]
            b["faceCorners"].append(take("%di" % corners))
            face = take("i5f3B4B")
            b["faceTextures"].append(face[0])
            b["facePlacements"].append(face[1:])   # scale U, V, offset U, V, rotation, projection, flips, tint
        brushes.append(b)
    entities = []
    for _ in range(take("i")[0]):
        e = dict(name=name(), className=name(), position=take("3f"), rotation=take("3f"))
        e["scale"], = take("f")
        e["model"], e["texture"], e["kind"] = take("3i")
        e["light"] = take("4B4f2Bf")   # colour, brightness, range, cones, castsLight, physics, mass
        entities.append(e)
    if pos != len(data):
        raise AssertionError("%d bytes left over" % (len(data) - pos))
    return brushes, entities


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


TOP_SAVE = (258.75 + 56, 25)                   # the top bar's "Save"


GRID = bytes((191,) * 3)         # DrawGrid's lines off the axes, (0.75, 0.75, 0.75)


def grid_rows(shot, rect):
    """Rows of a view, below its title, crossed for most of its width by a grid line."""
    width, _, rgb = shot
    x, y, w, h = (int(v) for v in rect)
    return sum(1 for py in range(y + 45, y + h - 1)
               if sum(rgb[(py * width + px) * 3:(py * width + px) * 3 + 3] == GRID for px in range(x, x + w)) > w / 2)


def palette_row(i):
    """Rectangle of tool palette row i in a 1440x900 window: below the bars, the TOOLS label first."""
    y = 112.5 + 13.5 + 31.5 + 74.25 * i
    return 9, y, 144, 67.5


PM = dict(x=247.5, y=90.0, w=945.0, h=720.0)   # the project manager in a 1440x900 window


def pm_row(i):
    """A point on the name of project row i."""
    return PM["x"] + 27 + 4.5 + 100, PM["y"] + 175.5 + 4.5 + 45 * i + 22


def shift_click(editor, px, py):
    editor.focus()
    editor.x.run("xdotool", "keydown", "Shift_L")
    try:
        editor.click(px, py)
    finally:
        editor.x.run("xdotool", "keyup", "Shift_L")


def wait_unveiled(editor, what):
    editor.move(*AWAY)
    editor.wait_pixel(*VEIL_PROBE, lambda c: not veiled(c), what)


def open_only_project(editor):
    """Opens the one listed project by Shift and a click on its row."""
    editor.wait_pixel(*VEIL_PROBE, veiled, "the project manager")
    shift_click(editor, *pm_row(0))
    wait_unveiled(editor, "the project manager to close")


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
