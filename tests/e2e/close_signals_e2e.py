"""Every way a console or a logout asks the editor to end, a minimized window among them, and the
files of saves: the user's own ".tmp" files survive the clean-up, and a copy that keeps the map's
time and size is not taken for the editor's own file. With the real program."""
import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import harness
from harness import TOP_SAVE, WAIT, Editor, XServer, open_only_project, wait_unveiled, wait_until
from projects_e2e import (REC_RECOVER, add_light, entity_names, entity_record, map_bytes, open_to_recovery_prompt,
                          put_level, save_to)

LEVEL = "projects/Untitled/maps/level.zizudu"
OLD = time.time() - 3600          # an hour ago: past the clean-up's minute


def iconify(display, window):
    """Does what a window manager does to minimize a window: marks it iconic in its WM_STATE, which
    GLFW watches. The tests' X server runs no window manager, so `xdotool windowminimize` (a
    request to one) would change nothing."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    dpy = ctypes.c_void_p(x11.XOpenDisplay(display.encode()))
    wm_state = ctypes.c_ulong(x11.XInternAtom(dpy, b"WM_STATE", 0))
    state = (ctypes.c_long * 2)(3, 0)         # IconicState, no icon window
    x11.XChangeProperty(dpy, ctypes.c_ulong(int(window)), wm_state, wm_state, 32, 0, state, 2)
    x11.XCloseDisplay(dpy)                     # sends the request


class CloseSignals(unittest.TestCase):
    """Two runs on one working folder: a plain one, then one that ignores SIGHUP as under nohup."""

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="kirto-e2e-")
        self.addCleanup(shutil.rmtree, self.workdir, True)
        self.x = XServer()
        self.addCleanup(self.x.stop)

    def path(self, name):
        return os.path.join(self.workdir, "projects", "Untitled", "maps", name)

    def start(self):
        editor = Editor(self.x, self.workdir)
        self.addCleanup(editor.stop)
        return editor

    def test_signals_minimized_windows_user_temp_files_and_same_time_copies(self):
        put_level(self.workdir)
        stale = self.path("level.zizudu.kirto-save-0badf00d.tmp")   # an interrupted save of ours
        for name in (stale, self.path("notes.20240115.tmp")):
            with open(name, "wb") as f:
                f.write(b"x")
            os.utime(name, (OLD, OLD))

        # The clean-up at the open takes the interrupted save and leaves the user's file.
        a = self.start()
        open_only_project(a)
        wait_until(lambda: not os.path.exists(stale), WAIT, "the interrupted save's file removed")
        self.assertTrue(os.path.exists(self.path("notes.20240115.tmp")))

        # Another program copies a map of the same size over the open one, keeping its time.
        level = self.path("level.zizudu")
        copy = os.path.join(self.workdir, "copy.zizudu")
        with open(copy, "wb") as f:
            f.write(map_bytes(entity_record("other", "generic", (1.0, 2.0, 3.0), 0), 1))
        kept = os.stat(level)
        os.utime(copy, ns=(kept.st_atime_ns, kept.st_mtime_ns))
        subprocess.run(["cp", "-p", copy, level], check=True)
        self.assertEqual((os.stat(level).st_size, os.stat(level).st_mtime_ns), (kept.st_size, kept.st_mtime_ns))
        add_light(a)
        a.click(*TOP_SAVE)
        a.wait_status("Could not save to %s: changed on disk - Save again to overwrite it." % LEVEL)
        self.assertEqual(entity_names(level), ["other"])
        save_to(a, "level.zizudu")               # asked once: the second Save replaces it
        self.assertEqual(entity_names(level), ["level", "Point_1"])
        os.utime(level, (OLD, OLD))              # the recovery test counts whole seconds: an autosave in
                                                 # the same second as this save would not count as newer

        # Ctrl+C in its console is a close request: the unsaved work goes to the autosave first.
        add_light(a)
        os.kill(a.proc.pid, signal.SIGINT)
        self.assertEqual(a.wait_exit(), 0)
        autosave = self.path("_autosave.zizudu")
        self.assertEqual(entity_names(autosave), ["level", "Point_1", "Point_2"])

        # Started the way nohup starts it: SIGHUP stays ignored and the editor goes on.
        hang_up = signal.signal(signal.SIGHUP, signal.SIG_IGN)
        try:
            b = self.start()
        finally:
            signal.signal(signal.SIGHUP, hang_up)
        os.kill(b.proc.pid, signal.SIGHUP)
        b.wait_frames()                          # frames drawn after the signal reached it
        self.assertTrue(b.alive())

        # The next open offers the work SIGINT kept.
        open_to_recovery_prompt(b)
        b.click(*REC_RECOVER)
        wait_unveiled(b, "the recovery prompt to close")
        add_light(b)

        # Minimized, with nothing else to wake it, a logout's SIGTERM still keeps the work.
        iconify(self.x.display, b.window)
        b.wait_resting("once minimized")
        began = time.monotonic()
        os.kill(b.proc.pid, signal.SIGTERM)
        wait_until(lambda: len(entity_names(autosave)) == 4, WAIT, "the minimized editor's autosave")
        sys.stderr.write("minimized: the autosave was written %.2f s after SIGTERM\n" % (time.monotonic() - began))
        self.assertEqual(b.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
