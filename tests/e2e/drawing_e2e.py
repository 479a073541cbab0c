"""Drawing faults seen on screen: untextured faces, the Front and Side grids, models without vertices."""
import os
import re
import struct

import harness
from harness import (EditorTestCase, grid_rows, lower_part, matching_box, open_only_project, pixels_in, view_rects,
                     wait_until)

MAGENTA = (255, 0, 255)          # the tint of the untextured brush: white x tint is exactly this
WIRE = 130                       # an unselected brush's wireframe in the 2D views


def box_brush(lo, hi, texture, tint):
    """A version-3 brush record: a box from corner lo to hi, six quads wound counter-clockwise
    seen from outside (vertex i has bit 0 for +x, bit 1 for +y, bit 2 for +z)."""
    size = [b - a for a, b in zip(lo, hi)]
    verts = [[(s if i >> k & 1 else -s) / 2.0 for k, s in enumerate(size)] for i in range(8)]
    faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 4, 6, 2), (1, 3, 7, 5), (0, 1, 5, 4), (2, 6, 7, 3)]
    out = b"Box".ljust(32, b"\0") + struct.pack("<9f4B2iB3fi", *[(a + b) / 2.0 for a, b in zip(lo, hi)], 0, 0, 0,
                                                *size, 200, 200, 200, 255, texture, 0, 0, 1, 0.5, 0, 8)
    out += b"".join(struct.pack("<3f", *v) for v in verts) + struct.pack("<i", len(faces))
    return out + b"".join(struct.pack("<i4ii5f3B4B", 4, *f, texture, 1, 1, 0, 0, 0, 0, 0, 0, *tint, 255) for f in faces)


class TwoBrushes(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        # No textures: the checker is texture 0 and 99 is unusable. The checked brush lies behind
        # the Front view's grid plane (z < 0) with its edges on grid lines; the other lies near the
        # 3D camera, below its orientation widget.
        os.makedirs(os.path.join(workdir, "projects", "Draw", "maps"))
        with open(os.path.join(workdir, "projects", "Draw", "maps", "two.zizudu"), "wb") as f:
            f.write(b"ZIZUDU2\0" + struct.pack("<2i", 3, 2) + box_brush((-4, -1, -4), (-1, 1, -2), 0, (255,) * 3) +
                    box_brush((2, -1, 2), (5, 1, 5), 99, MAGENTA) + struct.pack("<i", 0))

    def test_untextured_faces_are_white_and_the_2d_grids_lie_in_their_views(self):
        open_only_project(self.editor)
        self.editor.wait_status("Opened 'Draw' - loaded latest map two.zizudu (2 brushes)")
        rects = view_rects(1440, 900)
        x, y, w, h = rects[2]

        def front_wire(shot, left):
            """The wireframe box in the left or right half of the Front view, or None."""
            return matching_box(shot, (x if left else x + w / 2 + 5, y + 45, w / 2 - 5, h - 45),
                                lambda r, g, b: r == g == b == WIRE)
        # The views show the map from the frame after its status line: wait for the near brush's
        # wireframe, which lies in front of every grid.
        shot = wait_until(lambda: (lambda s: front_wire(s, False) and s)(self.editor.screenshot()), 30,
                          "the loaded map in the views")
        # The untextured brush is its tint alone, never the checker of the brush drawn before it.
        seen = pixels_in(shot, lower_part(rects[0]), 1)
        self.assertGreater(seen.count(MAGENTA), 500)
        self.assertFalse(set(seen) & {(200, 0, 200), (130, 0, 130)})
        self.assertIn((200, 200, 200), pixels_in(shot, (x, rects[0][1] + 45, w, h - 45), 1), "the checker")
        # Front and Side show a whole grid, not one edge-on line (16 world units across the view).
        self.assertGreater(grid_rows(shot, rects[2]), 10)
        self.assertGreater(grid_rows(shot, rects[3]), 10)
        # The grid never hides a wireframe behind it: the checked brush's box, 3 by 2 units, in Front.
        box = front_wire(shot, True)
        self.assertIsNotNone(box, "the checked brush's wireframe in the Front view")
        self.assertAlmostEqual((box[2] - box[0]) / (box[3] - box[1]), 1.5, delta=0.1)


class ModelsWithoutVertices(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        os.makedirs(os.path.join(workdir, "assets", "models"))
        for name, text in (("a_empty", ""), ("b_points", "v 0 0 0\nv 1 0 0\nv 0 1 0\n"),
                           ("c_triangle", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n")):
            with open(os.path.join(workdir, "assets", "models", name + ".obj"), "w") as f:
                f.write(text)

    def test_only_the_model_with_vertices_takes_a_number(self):
        count = lambda: re.findall(r"Loaded (\S+) model", self.editor.status())
        # OCR may read the digit 1 as l, I or |; any other count is a fault.
        self.assertIn(wait_until(count, 30, "the start-up status line")[0], ("1", "l", "I", "|"))


if __name__ == "__main__":
    harness.main()
