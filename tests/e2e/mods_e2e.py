"""Mods with real clicks: a one-shot tool from the MODS list makes a brush, a mode tool moves it
once per frame until it exits; the result is read back from the map file that Save writes."""
import os

import harness
from harness import (TOP_SAVE, WAIT, EditorTestCase, open_only_project, parse_map, read_bytes, read_like,
                     view_rects, wait_until)

MANIFEST = """name = Movers   # a package of two tools
tool = Make | make.asm | Adds a 2-unit cube at (0, 5, 0)
mode = Slide | slide.asm
"""
MAKE = "PUSH 0\nPUSH 0\nPUSH 5\nPUSH 0\nPUSH 2\nPUSH 2\nPUSH 2\nCALL brush.add\nPOP\n"
# Moves the newest brush one unit along X per frame and exits in its third frame.
SLIDE = """CALL map.brushcount
PUSH 1
SUB
STORE b
LOAD b
LOAD b
CALL brush.posx
PUSH 1
ADD
LOAD b
CALL brush.posy
LOAD b
CALL brush.posz
CALL brush.setpos
POP
CALL mod.frame
PUSH 2
JLT done
CALL mod.exit
POP
done: HALT
"""
# A mode tool that fails on a click: brush.add is given six of its seven values.
STAMP = """PUSH 0
CALL mouse.pressed
JZ idle
PUSH 0
PUSH 0
PUSH 0
PUSH 1
PUSH 1
PUSH 1
CALL brush.add
POP
idle: HALT
"""
# The MODS list lies below ADD LIGHT, past the left panel's end: scrolled to the end (123.75
# pixels), the first tool's button is centred at 744.75, the next 56.25 lower.
MODS_TOOL_Y = 843.75 - 123.75 + 24.75
THUMB_AT_END = (155, 845)                  # the panel's scrollbar thumb, once scrolled to the end
THUMB = (125, 130, 140)


class Mods(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        folder = os.path.join(workdir, "mods", "movers")
        os.makedirs(folder)
        for name, text in (("mod.txt", MANIFEST), ("make.asm", MAKE), ("slide.asm", SLIDE)):
            with open(os.path.join(folder, name), "w") as f:
                f.write(text)

    def test_one_shot_and_mode_tools_from_the_mods_list(self):
        ed = self.editor
        open_only_project(ed)
        ed.wheel(80, 500, -3)
        ed.wait_pixel(*THUMB_AT_END, lambda c: c == THUMB, "the left panel scrolled to its end")
        ed.click(80, MODS_TOOL_Y)
        ed.wait_status("Ran 'Make' (Movers)")
        ed.click(80, MODS_TOOL_Y + 56.25)
        ed.wait_status("Mod tool exited.")

        path = os.path.join(ed.workdir, "projects", "Untitled", "maps", "untitled.zizudu")
        ed.click(*TOP_SAVE)
        wait_until(lambda: os.path.exists(path), WAIT, "the saved map")
        brushes, _ = parse_map(read_bytes(path))
        self.assertEqual([b["name"] for b in brushes], ["Ground_Brush", "Mod_1"])
        self.assertEqual(brushes[1]["origin"], (3.0, 5.0, 0.0))   # three frames, one unit each
        self.assertEqual(brushes[1]["size"], (2.0, 2.0, 2.0))

        ed.key("ctrl+z")                  # the one-shot run's snapshot: the map before Make
        ed.wait_status("Undo performed.")

        tw = (540 - 22.5) / 7
        ed.click(900 + 11.25 + 6.5 * tw, 112.5 + 36)              # the "Mods" tab
        wait_until(lambda: read_like(ed.ocr(927, 214, 486, 40), "1 mod(s) loaded"), WAIT, "the Mods tab")
        self.assertTrue(read_like(ed.ocr(927, 214 + 45 + 58.5, 486, 40), "Movers  by ?", 0.8))


class FailingModeTool(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        folder = os.path.join(workdir, "mods", "stamper")
        os.makedirs(folder)
        for name, text in (("mod.txt", "name = Stamper\nmode = Stamp | stamp.asm\n"), ("stamp.asm", STAMP)):
            with open(os.path.join(folder, name), "w") as f:
                f.write(text)

    def test_its_error_shows_and_the_click_it_failed_on_selects_nothing(self):
        ed = self.editor
        open_only_project(ed)
        ed.wheel(80, 500, -3)                     # the left panel to its end: one tool less than above
        ed.click(80, MODS_TOOL_Y + 56.25)
        ed.wait_status("Tool 'Stamp' selected (Stamper)")
        x, y, w, h = view_rects(1440, 900)[1]
        ed.click(x + w / 2, y + h / 2)            # on the ground, in the Top view
        ed.wait_status("Stamp: stack underflow")   # a selection in the same frame would overwrite it

        ed.click(1001.25 + 84, 4.5 + 20)          # "Console": its newest line is the list's last
        wait_until(lambda: read_like(ed.ocr(36, 792, 900, 33), "Stamp: stack underflow"), WAIT,
                   "the error in the console")


if __name__ == "__main__":
    harness.main()
