"""The Clip tool with real input: cuts drawn in the Top view through the ground keeping the front,
the back or both, an arc, and Backspace with a brush selected; read back from the saved map."""
import collections

import harness
from harness import palette_row, pixels_in, view_rects
from tools_e2e import GROUND_3D, ToolCase, top_px

CLIP, STRIP_BOTH, FRONT = 2, (423, 58.5, 126, 45), view_rects(1440, 900)[2]
LINE_SET = "Cut line set. TAB = kept side, SPACE queues another, ENTER applies, ESC cancels."


def closed(brush):
    """Every directed edge of every face is met once by its reverse: the solid has no hole."""
    edges = collections.Counter((c[i], c[(i + 1) % len(c)]) for c in brush["faceCorners"] for i in range(len(c)))
    return all(n == 1 and edges[(b, a)] == 1 for (a, b), n in edges.items())


def volume(brush):
    """The enclosed volume, positive when the faces are wound outward."""
    v, total = brush["verts"], 0.0
    for c in brush["faceCorners"]:
        for a, b, d in ((v[c[0]], v[c[i]], v[c[i + 1]]) for i in range(1, len(c) - 1)):
            total += (a[0] * (b[1] * d[2] - b[2] * d[1]) - a[1] * (b[0] * d[2] - b[2] * d[0]) +
                      a[2] * (b[0] * d[1] - b[1] * d[0])) / 6.0
    return total


class Clip(ToolCase):
    def select_ground(self):
        self.editor.click(*GROUND_3D)                # the 3D view selects with every tool
        self.wait_selected(0, "Ground_Brush")

    def cut(self, x, key=None, ctrl=False):
        """Drags a line down the Top view along world x (an arc with ctrl); Return, or key first."""
        ed = self.editor
        ed.move(*top_px(x + 0.1, -5.9))              # move snapping puts both ends on the grid
        ed.x.run("xdotool", "keydown" if ctrl else "keyup", "Control_L")
        ed.mouse_down(1)
        ed.x.run("xdotool", "keyup", "Control_L")
        ed.move(*top_px(x - 0.1, 5.9))
        ed.mouse_up(1)
        ed.wait_status("Curved cut. Wheel = bulge, Shift+wheel = segments, SPACE queues, ENTER applies." if ctrl
                       else LINE_SET)
        if key:
            ed.key(key)

    def parts(self):
        """(name, vertex count, volume) of every brush of the saved map, each a closed solid."""
        brushes, _ = self.save()
        self.assertTrue(all(closed(b) for b in brushes))
        return [(b["name"], len(b["verts"]), round(volume(b), 2)) for b in brushes]

    def test_cuts_keep_front_back_and_both_then_an_arc_and_backspace(self):
        ed = self.editor
        self.toggle(palette_row(CLIP), "the Clip tool")
        self.select_ground()
        self.cut(-2, "Return")                       # down the view: the front is x < -2
        ed.wait_status("Carved with 1 plane(s) from 1 cut(s).")
        self.assertEqual(self.parts(), [("Ground_Brush", 8, 30.0)])
        ed.key("ctrl+z")
        self.select_ground()
        self.cut(-2, "Tab")
        ed.wait_status("Clip keeps: back")
        ed.key("Return")
        ed.wait_status("Carved with 1 plane(s) from 1 cut(s).")
        self.assertEqual(self.parts(), [("Ground_Brush", 8, 70.0)])
        ed.key("ctrl+z")
        self.select_ground()
        self.toggle(STRIP_BOTH, "keeping both")
        self.cut(-2, "Return")
        ed.wait_status("Split into 2 solids using 1 plane(s).")
        self.assertEqual(self.parts(), [("Ground_Brush", 8, 30.0), ("Cut_1", 8, 70.0)])

        # An arc of 6 segments through the front part: the wheel over it bends it one grid step
        # further and leaves the zoom of the 2D views (seen in the Front view) alone.
        self.cut(-4, ctrl=True)
        front = pixels_in(ed.screenshot(), FRONT)
        ed.wheel(*top_px(-1, 0), 1)
        ed.wait_status("Arc bulge: 2.000  (Shift+wheel changes segments)")
        self.assertTrue(pixels_in(ed.screenshot(), FRONT) == front, "the views zoomed")
        ed.key("Return")
        harness.wait_until(lambda: "using 6 plane(s)" in ed.status(), harness.WAIT, "the arc cut")
        parts = self.parts()
        self.assertGreater(len(parts), 3)
        self.assertEqual(parts[1], ("Cut_1", 8, 70.0))   # later cuts never touch a piece
        self.assertAlmostEqual(sum(p[2] for p in parts), 100.0, places=1)

        # Backspace takes the line, then the queued cut, and only then the selected brush.
        self.cut(-3, "space")
        ed.wait_status("Queued cut 1/8. Draw another, or Enter to apply them all.")
        self.cut(3, "BackSpace")
        ed.wait_status("Removed the cut line. 1 queued.")
        ed.key("BackSpace")
        ed.wait_status("Removed queued cut. 0 left.")
        self.assertEqual(self.parts(), parts)
        ed.key("BackSpace")
        ed.wait_status("Deleted Brush")


if __name__ == "__main__":
    harness.main()
