"""The Help window, the problem report with its repair, and the start-up splash, with real input."""
import os
import shutil
import struct

import harness
from harness import (TOP_SAVE, WAIT, EditorTestCase, grid_rows, open_only_project, parse_map, read_bytes, read_like,
                     view_rects, wait_until)

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
HELP = (180.0, 13.5, 1080.0, 873.0)                 # the Help window in a 1440x900 window
HELP_LINE_H = (873.0 - 63.0 - 76.5) / 30.0
PROBLEMS = (292.5, 180.0)                           # the problem report's corner


def help_line(k):
    return int(HELP[0] + 40.5), int(HELP[1] + 63 + k * HELP_LINE_H), 999, int(HELP_LINE_H) + 2


def bad_brush():
    """A box with its top corner 7 raised 0.1 (a bent top face), a 2-corner face, and a ninth vertex
    0.001 from vertex 0 that no face uses (a coincident pair and an orphan): four problems."""
    verts = [[0.5 if i >> k & 1 else -0.5 for k in range(3)] for i in range(8)]
    verts[7][1] += 0.1
    verts.append([-0.499, -0.5, -0.5])
    faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 4, 6, 2), (1, 3, 7, 5), (0, 1, 5, 4), (2, 6, 7, 3), (0, 1)]
    out = b"Bad".ljust(32, b"\0") + struct.pack("<9f4B2iB3fi", 0, 0.5, 0, 0, 0, 0, 1, 1, 1, 200, 200, 200, 255,
                                                0, 0, 0, 1, 0.5, 0, len(verts))
    out += b"".join(struct.pack("<3f", *v) for v in verts) + struct.pack("<i", len(faces))
    for f in faces:
        out += struct.pack("<%dii5f3B4B" % (len(f) + 1), len(f), *f, 0, 1, 1, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255)
    return out


class Windows(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        maps = os.path.join(workdir, "projects", "Fix", "maps")
        os.makedirs(maps)
        with open(os.path.join(maps, "bad.zizudu"), "wb") as f:
            f.write(b"ZIZUDU2\0" + struct.pack("<2i", 3, 1) + bad_brush() + struct.pack("<i", 0))
        shutil.copytree(os.path.join(SOURCE, "resources", "startup"), os.path.join(workdir, "resources", "startup"))

    def test_splash_help_and_the_problem_report(self):
        ed = self.editor
        # The splash image was shown before the project manager (its frames pass too quickly to
        # catch on screen on a fast machine; the library logs the image it decoded, and the splash
        # is the only one of its size here).
        wait_until(lambda: any("Data loaded successfully (960x540" in line for line in ed.output()),
                   WAIT, "the splash image read at start-up")
        open_only_project(ed)
        ed.wait_status("Opened 'Fix' - loaded latest map bad.zizudu (1 brushes)")

        ed.key("F1")
        wait_until(lambda: read_like(ed.ocr(*help_line(0)), "-- VIEW --"), WAIT, "the Help window")
        self.assertTrue(read_like(ed.ocr(*help_line(7)), "G / R / T: grab, rotate, scale   X/Y/Z locks an axis", 0.8))
        ed.key("F1")
        wait_until(lambda: not read_like(ed.ocr(*help_line(0)), "-- VIEW --"), WAIT, "the Help window to close")

        summary = (int(PROBLEMS[0] + 40.5), int(PROBLEMS[1] + 76.5), 774, 41)
        ed.key("alt+p")
        wait_until(lambda: read_like(ed.ocr(*summary), "4 problem(s) found:"), WAIT, "the problem report")
        ed.click(PROBLEMS[0] + 40.5 + 185, PROBLEMS[1] + 540 - 67.5 + 27)   # Auto-Fix All
        ed.wait_status("Welded 1 duplicate vertices and fixed winding of 0 face(s).")
        wait_until(lambda: read_like(ed.ocr(*summary), "1 problem(s) found:"), WAIT, "the bent face left")
        ed.key("Return")
        wait_until(lambda: not read_like(ed.ocr(*summary), "1 problem(s) found:"), WAIT, "the report to close")

        path = os.path.join(ed.workdir, "projects", "Fix", "maps", "bad.zizudu")
        os.remove(path)
        ed.click(*TOP_SAVE)
        wait_until(lambda: os.path.exists(path), WAIT, "the saved map")
        brushes, _ = parse_map(read_bytes(path))
        self.assertEqual((len(brushes[0]["verts"]), brushes[0]["faces"]), (8, 6))
        ed.key("ctrl+z")                                   # the repair is one undo step
        ed.wait_status("Undo performed.")


class Settings(EditorTestCase):
    def test_the_grid_step_slider_changes_the_2d_grids(self):
        ed = self.editor
        tw = (540 - 22.5) / 7
        ed.click(900 + 11.25 + 5.5 * tw, 112.5 + 36)              # the "Set" tab
        wait_until(lambda: "Editor Settings" in ed.ocr(918, 172, 225, 26), WAIT, "the Settings tab")
        top = view_rects(1440, 900)[1]
        before = grid_rows(ed.screenshot(), top)
        ed.click(900 + 213.75 + 2, 213.75 + 20)                   # the Grid Step slider's low end
        # The grid's 20 lines at the finer step no longer cross the view.
        wait_until(lambda: grid_rows(ed.screenshot(), top) < before / 2, WAIT, "a finer grid in the Top view")


if __name__ == "__main__":
    harness.main()
