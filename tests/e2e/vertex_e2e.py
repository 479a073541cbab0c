"""The Vertex tool with real input: a snapped corner drag, a box-selected weld, an extrusion and an
edge split on the ground brush, each checked in the map file that Save writes; and an L built of
extrusions that Fix Winding leaves drawn whole."""
import os

import harness
from harness import (AWAY, TOP_SAVE, EditorTestCase, WAIT, lower_part, matching_box, open_only_project, palette_row,
                     parse_map, pixels_in, view_rects, wait_until)
from right_panel_e2e import CURSOR, PANEL_X, tab_button

TOP = view_rects(1440, 900)[1]
VIEW_3D = view_rects(1440, 900)[0]
FRONT = view_rects(1440, 900)[2]
PROPERTIES_TAB = 2
FIX_WINDING_ROW = 780.75      # the Object Properties row of "Weld Verts" and "Fix Winding" below the content top
PANEL_STEP = 67.5             # one wheel step of the panel
PIXELS_PER_UNIT = TOP[3] / 16.0   # the 2D views show 16 world units from top to bottom
# The ground brush: origin (0, -0.5, 0), size 10 x 1 x 10, so its local vertices lie at x and z
# +-5 and y +-0.5; vertex 6 is the top corner (+x, +z), faces 0 bottom and 1 top.


def top_point(x, z):
    """Screen point of world (x, z) in the Top view, which looks at the origin."""
    return TOP[0] + TOP[2] / 2 + x * PIXELS_PER_UNIT, TOP[1] + TOP[3] / 2 + z * PIXELS_PER_UNIT


def front_point(x, y):
    """Screen point of world (x, y) in the Front view, which looks at the origin."""
    return FRONT[0] + FRONT[2] / 2 + x * PIXELS_PER_UNIT, FRONT[1] + FRONT[3] / 2 - y * PIXELS_PER_UNIT


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

    def test_fix_winding_keeps_an_extruded_l_whole(self):
        # The top raised three grid steps, then the slab's +x side (its centre at x 5, y -0.5 in
        # the Front view) pushed out two: a foot whose top faces up beside a taller block. The mean
        # of the vertices lies above the foot's top, so a repair by the centroid alone turned it
        # inward and the 3D view lost it.
        ed = self.editor
        ed.key("3")
        ed.wait_status("Morph: FACE mode")
        ed.click(VIEW_3D[0] + VIEW_3D[2] / 2, VIEW_3D[1] + VIEW_3D[3] / 2)
        ed.wait_status("Face 1 of Brush #0 (1 face(s) selected)")
        for _ in range(3):
            ed.key("ctrl+shift+e")
            ed.wait_frames()
        ed.click(*front_point(5, -0.5))
        ed.wait_status("Face 4 of Brush #0 (1 face(s) selected)")
        for _ in range(2):
            ed.key("ctrl+shift+e")
            ed.wait_frames()
        ed.wait_status("Extruded 1 face(s).")

        # The Select tool keeps the brush selected without the vertex panel above it.
        select = palette_row(0)
        ed.click(select[0] + select[2] / 2, select[1] + select[3] / 2)
        ed.click(*tab_button(PROPERTIES_TAB))
        steps = 4
        ed.wheel(PANEL_X + 270, 500, -steps)
        y = CURSOR + FIX_WINDING_ROW - steps * PANEL_STEP
        wait_until(lambda: "Fix Winding" in ed.ocr(int(PANEL_X + 27), int(y), 486, 45), WAIT, "Fix Winding in view")
        ed.move(*AWAY)
        ed.wait_frames()
        before = pixels_in(ed.screenshot(), lower_part(VIEW_3D))
        ed.click(PANEL_X + 40.5 + 1.5 * (540 - 74.25) / 2, y + 22)
        ed.wait_status("Recomputed face winding.")
        ed.move(*AWAY)
        ed.wait_frames()
        after = pixels_in(ed.screenshot(), lower_part(VIEW_3D))
        self.assertEqual(sum(a != b for a, b in zip(before, after)), 0, "3D view pixels changed by Fix Winding")
        ground = self.saved_ground()
        self.assertEqual((len(ground["verts"]), ground["faces"]), (28, 26))


if __name__ == "__main__":
    harness.main()
