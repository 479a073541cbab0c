"""The editor rests while nothing moves: no frame is presented over a quiet second, with or
without a window open; a key press wakes it and is handled; a running mode tool keeps it drawing.
Frames are watched without waking the window (x11_frames --no-wake), and the key that must wake
it is sent without the frame wait that every other input step makes."""
import os
import signal
import time
import unittest

import harness
from harness import WAIT, EditorTestCase, open_only_project, wait_until
from mods_e2e import MODS_TOOL_Y, THUMB, THUMB_AT_END

# A one-shot tool, then a mode tool that runs every frame and never exits; two tools, so the MODS
# list lies where the mods test finds it.
MANIFEST = "name = Idle\ntool = Nothing | halt.asm\nmode = Forever | halt.asm\n"
TOP_HELP = (697.5 + 56, 25)
TOP_RENDER = (540 + 73, 25)
LIGHTING_OFF = "Lighting OFF."


class Idle(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        folder = os.path.join(workdir, "mods", "idle")
        os.makedirs(folder)
        for name, text in (("mod.txt", MANIFEST), ("halt.asm", "HALT\n")):
            with open(os.path.join(folder, name), "w") as f:
                f.write(text)

    def test_rests_wakes_for_input_and_draws_while_a_mode_tool_runs(self):
        ed = self.editor
        ed.wait_resting("with the project manager open")
        open_only_project(ed)
        ed.wait_resting("with the views shown")

        # The press alone must wake it: nothing else is sent until its effect is on the screen.
        ed.x.run("xdotool", "keydown", "k")
        try:
            ed.wait_status(LIGHTING_OFF)
        finally:
            ed.x.run("xdotool", "keyup", "k")
        ed.wait_resting("after the key")

        for place, what in ((TOP_HELP, "with Help open"), (TOP_RENDER, "with the Render view open")):
            ed.click(*place)
            ed.wait_resting(what)
            ed.key("Escape")

        ed.wheel(80, 500, -3)
        ed.wait_pixel(*THUMB_AT_END, lambda c: c == THUMB, "the left panel scrolled to its end")
        ed.click(80, MODS_TOOL_Y + 56.25)
        ed.wait_status("Tool 'Forever' selected (Idle)")
        self.assertTrue(ed.draws_alone(30, WAIT), "the mode tool's frames")
        ed.key("Escape")                  # the Select tool: the mode tool stops
        ed.wait_resting("once the mode tool stopped")


class LateClose(unittest.TestCase):
    """A close request that a resting editor reads only after its wait ran out, as on a busy
    machine: it is held stopped past that time (the hold builds the case; it awaits nothing)."""

    def test_a_close_read_late_still_ends_the_editor(self):
        x = harness.XServer()
        self.addCleanup(x.stop)
        for how, send in (("the window's close", lambda ed: ed.request_close()),
                          ("SIGTERM", lambda ed: os.kill(ed.proc.pid, signal.SIGTERM))):
            with self.subTest(how):
                ed = harness.Editor(x)
                self.addCleanup(ed.stop)
                ed.close_project_manager()
                ed.wait_resting("before the close")
                os.kill(ed.proc.pid, signal.SIGSTOP)
                try:
                    send(ed)
                    time.sleep(1.0)
                finally:
                    os.kill(ed.proc.pid, signal.SIGCONT)
                self.assertEqual(ed.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
