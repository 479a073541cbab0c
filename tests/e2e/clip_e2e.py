"""The Clip tool with real input: straight and arc cuts drawn in the Top view through the ground,
keeping the front, the back or both, and Backspace with a brush selected; every result is read
back from the map file that Save writes."""
import collections

import harness
from harness import AWAY, WAIT, palette_row, pixels_in, view_rects, wait_until
from tools_e2e import GROUND_3D, TOP, ToolCase, top_px

CLIP = 2                                             # tool palette row
STRIP_BOTH = (423, 58.5, 126, 45)                    # the Clip tool's "Both" toggle in the tool strip
FRONT = view_rects(1440, 900)[2]
GROUND_VOLUME = 100.0                                # 10 x 1 x 10
LINE_SET = "Cut line set. TAB = kept side, SPACE queues another, ENTER applies, ESC cancels."


def closed(brush):
    """Every directed edge of every face is met once by its reverse: the solid has no hole."""
    edges = collections.Counter()
    for corners in brush["faceCorners"]:
        for i, a in enumerate(corners):
            edges[(a, corners[(i + 1) % len(corners)])] += 1
    return all(n == 1 and edges[(b, a)] == 1 for (a, b), n in edges.items())


def volume(brush):
    """The enclosed volume, positive when the faces are wound outward."""
    v = brush["verts"]
    total = 0.0
    for corners in brush["faceCorners"]:
        a = v[corners[0]]
        for i in range(1, len(corners) - 1):
            b, c = v[corners[i]], v[corners[i + 1]]
            total += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                      a[2] * (b[0] * c[1] - b[1] * c[0])) / 6.0
    return total


class Clip(ToolCase):
    def select_ground(self):
        self.editor.click(*GROUND_3D)                # the 3D view selects with every tool
        self.wait_selected(0, "Ground_Brush")

    def draw_line(self, x, z0, z1, ctrl=False):
        """Drags a cut line down the Top view along world x; with ctrl an arc."""
        ed = self.editor
        ed.move(*top_px(x + 0.1, z0 + 0.1))          # move snapping puts both ends on the grid
        if ctrl:
            ed.x.run("xdotool", "keydown", "Control_L")
        try:
            ed.mouse_down(1)
        finally:
            if ctrl:
                ed.x.run("xdotool", "keyup", "Control_L")
        ed.move(*top_px(x - 0.1, z1 - 0.1))
        ed.mouse_up(1)

    def assert_parts(self, brushes, volumes):
        """The brushes are closed solids of these volumes (in map order)."""
        self.assertEqual(len(brushes), len(volumes))
        for b, expected in zip(brushes, volumes):
            self.assertTrue(closed(b), b["name"])
            self.assertAlmostEqual(volume(b), expected, places=3)

    def test_straight_cuts_keep_front_back_and_both_then_an_arc(self):
        ed = self.editor
        self.toggle(palette_row(CLIP), "the Clip tool")
        self.select_ground()
        # Down the view at x = -2: the front is the part at x < -2.
        self.draw_line(-2, -6, 6)
        ed.wait_status(LINE_SET)
        ed.key("Return")
        ed.wait_status("Carved with 1 plane(s) from 1 cut(s).")
        brushes, _ = self.save()
        self.assert_parts(brushes, [30.0])
        self.assertEqual(len(brushes[0]["verts"]), 8)
        self.assertEqual(sorted({v[0] for v in brushes[0]["verts"]}), [-5.0, -2.0])

        ed.key("ctrl+z")
        ed.wait_status("Undo performed.")
        self.select_ground()
        self.draw_line(-2, -6, 6)
        ed.wait_status(LINE_SET)
        ed.key("Tab")
        ed.wait_status("Clip keeps: back")
        ed.key("Return")
        ed.wait_status("Carved with 1 plane(s) from 1 cut(s).")
        brushes, _ = self.save()
        self.assert_parts(brushes, [70.0])
        self.assertEqual(len(brushes[0]["verts"]), 8)

        ed.key("ctrl+z")
        ed.wait_status("Undo performed.")
        self.select_ground()
        self.toggle(STRIP_BOTH, "keeping both")
        ed.wait_status("Clip keeps: both (splits into pieces)")
        self.draw_line(-2, -6, 6)
        ed.wait_status(LINE_SET)
        ed.key("Return")
        ed.wait_status("Split into 2 solids using 1 plane(s).")
        brushes, _ = self.save()
        self.assertEqual([b["name"] for b in brushes], ["Ground_Brush", "Cut_1"])
        self.assert_parts(brushes, [30.0, 70.0])
        self.assertEqual([len(b["verts"]) for b in brushes], [8, 8])

        # An arc of 6 segments through the front part, still keeping both; the wheel over it
        # bends it one grid step further (1.5 to 2) and leaves the view's zoom alone.
        self.draw_line(-4, -6, 6, ctrl=True)
        ed.wait_status("Curved cut. Wheel = bulge, Shift+wheel = segments, SPACE queues, ENTER applies.")
        ed.move(*top_px(-1, 0))
        front_before = pixels_in(ed.screenshot(), FRONT)
        ed.wheel(*top_px(-1, 0), 1)
        ed.wait_status("Arc bulge: 2.000  (Shift+wheel changes segments)")
        # The 2D views share one zoom: the Front view's grid would show it.
        self.assertTrue(pixels_in(ed.screenshot(), FRONT) == front_before, "the views zoomed")
        ed.key("Return")
        wait_until(lambda: "using 6 plane(s)" in ed.status(), WAIT, "the arc cut")
        brushes, _ = self.save()
        self.assertGreater(len(brushes), 3)
        self.assertEqual(brushes[1]["name"], "Cut_1")
        for b in brushes:
            self.assertTrue(closed(b), b["name"])
        self.assertAlmostEqual(volume(brushes[1]), 70.0, places=3)   # later cuts never touch a piece
        self.assertAlmostEqual(sum(volume(b) for b in brushes), GROUND_VOLUME, places=3)

    def test_backspace_takes_the_cuts_before_the_selected_brush(self):
        ed = self.editor
        self.toggle(palette_row(CLIP), "the Clip tool")
        self.select_ground()
        self.draw_line(-2, -6, 6)
        ed.wait_status(LINE_SET)
        ed.key("space")
        ed.wait_status("Queued cut 1/8. Draw another, or Enter to apply them all.")
        self.draw_line(2, -6, 6)
        ed.wait_status(LINE_SET)
        ed.key("BackSpace")
        ed.wait_status("Removed the cut line. 1 queued.")
        ed.key("BackSpace")
        ed.wait_status("Removed queued cut. 0 left.")
        ed.move(*AWAY)
        brushes, _ = self.save()
        self.assert_parts(brushes, [GROUND_VOLUME])
        ed.key("Return")                             # nothing is left to cut with
        # With nothing drawn or queued, Backspace is Delete's key again.
        ed.key("BackSpace")
        ed.wait_status("Deleted Brush")
        self.assertEqual(self.save()[0], [])


if __name__ == "__main__":
    harness.main()
