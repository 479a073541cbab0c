"""The Vertex tool with real input: a snapped corner drag, a box-selected weld, an extrusion and an
edge split on the ground brush, each checked in the map file that Save writes."""
import os

import harness
from harness import (TOP_SAVE, EditorTestCase, WAIT, matching_box, open_only_project, parse_map, view_rects,
                     wait_until)

TOP = view_rects(1440, 900)[1]
VIEW_3D = view_rects(1440, 900)[0]
PIXELS_PER_UNIT = TOP[3] / 16.0   # the 2D views show 16 world units from top to bottom
# The ground brush: origin (0, -0.5, 0), size 10 x 1 x 10, so its local vertices lie at x and z
# +-5 and y +-0.5; vertex 6 is the top corner (+x, +z), faces 0 bottom and 1 top.


def top_point(x, z):
    """Screen point of world (x, z) in the Top view, which looks at the origin."""
    return TOP[0] + TOP[2] / 2 + x * PIXELS_PER_UNIT, TOP[1] + TOP[3] / 2 + z * PIXELS_PER_UNIT


def orange(r, g, b):
    """A selected handle."""
    return r > 230 and 130 < g < 190 and b < 40


class VertexTool(EditorTestCase):
    keep_project_manager = True   # a project must be open for Save to write the map

    def setUp(self):
        super().setUp()
        self.editor.focus()
        open_only_project(self.editor)
        self.editor.wait_status("Opened 'Untitled' - no maps yet, keeping the current map")
        self.editor.key("v")
        self.editor.key("1")
        self.editor.wait_status("Morph: VERTEX mode")
        # Opening the project dropped the selection: a click on the ground makes it the active solid.
        self.editor.click(VIEW_3D[0] + VIEW_3D[2] / 2, VIEW_3D[1] + VIEW_3D[3] / 2)
        self.editor.wait_status("Morphing 1 solid(s). Ctrl+Click to add more.")

    def saved_ground(self):
        path = os.path.join(self.editor.workdir, "projects", "Untitled", "maps", "untitled.zizudu")
        self.editor.click(*TOP_SAVE)
        wait_until(lambda: os.path.exists(path), WAIT, "the saved map")
        self.editor.wait_status("Saved to projects/Untitled/maps/untitled.zizudu")
        with open(path, "rb") as f:
            brushes, _ = parse_map(f.read())
        self.assertEqual(len(brushes), 1)
        return brushes[0]

    def drag(self, start, end, picked, steps=4):
        """Presses at start, waits for the status of the pick, moves to end in steps, waits for a
        selected handle there and releases."""
        self.editor.move(*start)
        self.editor.mouse_down(1)
        self.editor.wait_status(picked, ratio=0.85)
        for i in range(1, steps + 1):
            self.editor.move(start[0] + (end[0] - start[0]) * i / steps, start[1] + (end[1] - start[1]) * i / steps)
        box = (end[0] - 12, end[1] - 12, 24, 24)
        wait_until(lambda: matching_box(self.editor.screenshot(), box, orange), WAIT, "the handle at its new place")
        self.editor.mouse_up(1)

    def test_a_corner_dragged_in_the_top_view_lands_on_the_grid(self):
        # Dropped 1.6 and 0.9 units away, off the grid: the anchor snaps to (6.5, 6.0) on the 0.5 grid.
        self.drag(top_point(5, 5), top_point(6.6, 5.9),
                  "Vertex 6 of Brush #0 [1/2 stacked - click again to cycle, ALT = all] 1 selected")
        ground = self.saved_ground()
        self.assertEqual(len(ground["verts"]), 8)
        self.assertEqual(ground["verts"][6], (6.5, 0.5, 6.0))   # local: its height never changed
        self.assertEqual(ground["verts"][2], (5.0, -0.5, 5.0))  # the vertex under it stayed

    def test_a_box_selected_column_dropped_on_another_welds_onto_it(self):
        corner = top_point(5, 5)
        self.editor.move(corner[0] - 15, corner[1] - 15)
        self.editor.mouse_down(1)
        self.editor.move(corner[0] + 15, corner[1] + 15)
        self.editor.mouse_up(1)
        self.editor.wait_status("Box select: 2 added (2 vertices selected)")
        self.drag(corner, top_point(5, -5),
                  "Vertex 6 of Brush #0 [1/2 stacked - click again to cycle, ALT = all] 2 selected")
        self.editor.wait_status("2 vertex/vertices landed on another - weld?")
        self.editor.key("Return")
        self.editor.wait_status("Welded: 2 vertex/vertices removed.")
        ground = self.saved_ground()
        self.assertEqual(len(ground["verts"]), 6)   # a wedge: the +z end folded onto the -z end
        self.assertEqual(ground["faces"], 5)
        self.assertNotIn((5.0, 0.5, 5.0), ground["verts"])

    def test_the_top_face_extrudes_by_one_grid_step(self):
        self.editor.key("3")
        self.editor.wait_status("Morph: FACE mode")
        self.editor.click(VIEW_3D[0] + VIEW_3D[2] / 2, VIEW_3D[1] + VIEW_3D[3] / 2)
        self.editor.wait_status("Face 1 of Brush #0 (1 face(s) selected)")
        self.editor.key("ctrl+shift+e")
        self.editor.wait_status("Extruded 1 face(s).")
        ground = self.saved_ground()
        self.assertEqual((len(ground["verts"]), ground["faces"]), (12, 10))
        self.assertEqual(max(v[1] for v in ground["verts"]), 1.0)

    def test_ctrl_e_splits_the_picked_edge(self):
        self.editor.key("2")
        self.editor.wait_status("Morph: EDGE mode")
        self.editor.click(*top_point(5, 0))   # the +x edges; the bottom one comes first
        self.editor.wait_status("Edge 1-2 of Brush #0 (Ctrl+E inserts a vertex)")
        self.editor.key("ctrl+e")
        self.editor.wait_status("Inserted vertex 8 on the edge.")
        ground = self.saved_ground()
        self.assertEqual(len(ground["verts"]), 9)
        self.assertEqual(ground["verts"][8], (5.0, -0.5, 0.0))


if __name__ == "__main__":
    harness.main()
