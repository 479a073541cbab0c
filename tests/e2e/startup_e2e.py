"""Start-up and shutdown of the real program: window, Escape, close request, resizing, log."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from harness import WAIT, EditorTestCase, wait_until


class NoDisplay(unittest.TestCase):
    def test_says_so_plainly_and_exits_without_crashing(self):
        workdir = tempfile.mkdtemp(prefix="kirto-e2e-")
        self.addCleanup(shutil.rmtree, workdir, True)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        result = subprocess.run([harness.ARGS.kirto], cwd=workdir, env=env, capture_output=True,
                                text=True, timeout=WAIT)
        self.assertEqual(result.returncode, 1)   # an ordinary exit, not a signal
        self.assertIn("could not open a window", result.stderr)


class StartUp(EditorTestCase):
    def test_window_is_titled_kirto_at_1440_by_900(self):
        self.assertEqual(self.editor.title(), "kirto")
        self.assertEqual(self.editor.size(), (1440, 900))
        shot = self.editor.screenshot()
        self.assertEqual(self.editor.pixel(shot, 1200, 450), harness.PANEL_FILL)   # right of the views

    def test_library_log_lines_reach_standard_output(self):
        lines = wait_until(lambda: [l for l in self.editor.output() if "Initializing raylib 6.0" in l],
                           WAIT, "raylib's start-up line on standard output")
        self.assertEqual(lines[0].strip(), "Initializing raylib 6.0")
        self.assertTrue(any("Display size" in l or "DISPLAY:" in l for l in self.editor.output()))

    def test_escape_never_ends_the_program(self):
        self.editor.focus()
        for _ in range(5):
            self.editor.key("Escape")
        self.editor.frame_sync()   # every Escape was handled before this frame
        self.assertTrue(self.editor.alive())

    def test_close_request_ends_with_exit_code_0_and_nothing_left(self):
        self.editor.request_close()
        self.assertEqual(self.editor.wait_exit(), 0)
        wait_until(self.editor.group_gone, WAIT, "every process of the program to end")
        with self.assertRaises(AssertionError):   # no waiting for frames of a window that is gone
            self.editor.wait_frames()

    def test_each_presented_frame_counts_once(self):
        # Every input waits for frames; a frame counted twice would let the next input come too
        # soon. The program draws at most 60 frames a second, so 31 frames span 30 intervals.
        start = time.monotonic()
        self.editor.wait_frames(31)
        self.assertGreater(time.monotonic() - start, 30 / 60.0 * 0.9)

    def test_resize_down_to_200_by_150_and_back(self):
        self.editor.resize(200, 150)
        self.assertTrue(self.editor.alive())
        self.editor.resize(1440, 900)
        shot = self.editor.screenshot()
        self.assertEqual(self.editor.pixel(shot, 1439, 899), harness.BACKGROUND)
        self.editor.request_close()
        self.assertEqual(self.editor.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
