"""The map-making tools with real input: Block, click selection, transforms, duplicate and delete,
the Entity and Texture tools; every result is read back from the map file that Save writes."""
import math
import os

import harness
from harness import (AWAY, TOGGLE_ON, TOP_SAVE, WAIT, EditorTestCase, open_only_project, palette_row, parse_map,
                     read_bytes, shift_click, view_rects, wait_until)

SELECT, BLOCK, ENTITY, TEXTURE = 0, 1, 4, 5          # tool palette rows
STRIP_SPOT = (423, 58.5, 126, 45)                    # the Entity tool's "Spot" toggle in the tool strip
TOP = view_rects(1440, 900)[1]
UNIT = TOP[3] / 16.0                                 # pixels per world unit in a 2D view at the start zoom

# Points of the 3D view at the start camera, (12, 10, 12) looking at the origin with a 75-degree field:
GROUND_3D = (307, 285)                               # the ground's top face at (-4, 0, 1)
BLOCK_TOP_3D = (352, 308)                            # the top of the first drawn block at (2.5, 1, 2)


def top_px(x, z):
    """The whole pixel of world (x, z) in the Top view, which looks at the origin (X right, Z down)."""
    return int(round(TOP[0] + TOP[2] / 2 + x * UNIT)), int(round(TOP[1] + TOP[3] / 2 + z * UNIT))


class ToolCase(EditorTestCase):
    """The default map in the open project Untitled, so that the top bar's Save writes it."""
    keep_project_manager = True

    def setUp(self):
        super().setUp()
        open_only_project(self.editor)
        self.editor.wait_status("Opened 'Untitled' - no maps yet, keeping the current map")
        self.path = os.path.join(self.editor.workdir, "projects", "Untitled", "maps", "untitled.zizudu")

    def save(self):
        """Saves with the top bar and reads the file back as (brushes, entities)."""
        if os.path.exists(self.path):
            os.remove(self.path)
        self.editor.click(*TOP_SAVE)
        wait_until(lambda: os.path.exists(self.path), WAIT, "the saved map")
        return parse_map(read_bytes(self.path))

    def shows_on(self, rect):
        """Whether the toggle at rect (a palette row or a strip item) is on in the frame on screen."""
        return self.editor.pixel(self.editor.screenshot(), int(rect[0] + 6), int(rect[1] + 6)) == TOGGLE_ON

    def toggle(self, rect, what):
        """Clicks a toggle and waits until it shows on."""
        x, y, w, h = rect
        self.editor.click(x + w / 2, y + h / 2)
        self.editor.move(*AWAY)
        wait_until(lambda: self.shows_on(rect), WAIT, what + " on")

    def wait_selected(self, index, name):
        self.editor.wait_status("Selected Brush #%d (%s)" % (index, name), ratio=0.95)


class Brushes(ToolCase):
    def test_block_undo_redo_selection_transforms_duplicate_and_delete(self):
        ed = self.editor
        self.toggle(palette_row(BLOCK), "the Block tool")
        # The corners snap to the 0.5 grid: (1, 4) at the press, (4, 0) at the release.
        ed.move(*top_px(1.1, 3.9))
        ed.mouse_down(1)
        ed.move(*top_px(4.1, 0.1))
        ed.mouse_up(1)
        ed.key("Return")
        ed.wait_status("Created Brush #2")
        brushes, _ = self.save()
        self.assertEqual([b["name"] for b in brushes], ["Ground_Brush", "Brush_1"])
        block = brushes[1]
        # 3 x 4 on X and Z, the depth 2 on Y, centred at the 3D camera target's height.
        self.assertEqual((block["origin"], block["size"], block["rotation"]),
                         ((2.5, 0.0, 2.0), (3.0, 2.0, 4.0), (0, 0, 0)))
        self.assertEqual((block["shape"], block["colour"], len(block["verts"])), (0, (80, 80, 80, 255), 8))
        self.assertEqual(sorted({v[0] for v in block["verts"]}), [-1.5, 1.5])
        self.assertEqual(sorted({v[2] for v in block["verts"]}), [-2.0, 2.0])

        ed.key("ctrl+z")
        ed.wait_status("Undo performed.")
        self.assertEqual([b["name"] for b in self.save()[0]], ["Ground_Brush"])
        ed.key("ctrl+y")
        ed.wait_status("Redo performed.")
        self.assertEqual(self.save()[0], brushes)

        # Escape with no window open picks the Select tool, which also selects in the 2D views.
        ed.key("Escape")
        wait_until(lambda: self.shows_on(palette_row(SELECT)), WAIT, "the Select tool on")
        ed.click(*BLOCK_TOP_3D)                      # the block lies in front of the ground
        self.wait_selected(1, "Brush_1")
        ed.click(*top_px(-3, -3))                    # the ground alone
        self.wait_selected(0, "Ground_Brush")
        ed.click(*top_px(2, 1.5))                    # inside both: the smaller box wins
        self.wait_selected(1, "Brush_1")

        # Grab locked to X: 57 pixels right are 2.85 units, snapped to 3; the upward move is locked out.
        x0, y0 = top_px(2, 1.5)
        ed.key("g")
        ed.key("x")
        ed.move(x0 + 57, y0 - 30)
        ed.key("Return")
        ed.wait_status("Transform Applied.")
        # Rotate by 20 pixels (40 degrees, snapped to 45), then cancel: the rotation goes back.
        ed.key("r")
        ed.move(x0 + 77, y0 - 30)
        wait_until(lambda: "45.0 deg" in ed.status(), WAIT, "the rotation at 45 degrees")
        ed.key("Escape")
        ed.wait_status("Transform Canceled.")
        brushes, _ = self.save()
        self.assertEqual(brushes[0]["origin"], (0.0, -0.5, 0.0))
        self.assertEqual((brushes[1]["origin"], brushes[1]["rotation"]), ((5.5, 0.0, 2.0), (0, 0, 0)))

        # A duplicate lies 4 grid steps further on X and Z; deleting Brush_1 moves it down a slot.
        ed.key("ctrl+d")
        ed.wait_status("Duplicated Brush -> #2")
        ed.click(*top_px(4.5, 1))                    # Brush_1 only, left of the copy
        self.wait_selected(1, "Brush_1")
        ed.key("Delete")
        ed.wait_status("Deleted Brush")
        brushes, _ = self.save()
        self.assertEqual([(b["name"], b["origin"], b["size"]) for b in brushes],
                         [("Ground_Brush", (0.0, -0.5, 0.0), (10.0, 1.0, 10.0)),
                          ("Brush_2", (7.5, 0.0, 4.0), (3.0, 2.0, 4.0))])


class ScaleLimit(ToolCase):
    def scale_pass(self, start, end):
        """T with the pointer at start, the pointer to end in the middle row of the Top view, Enter."""
        ed = self.editor
        ed.move(start, TOP[1] + TOP[3] / 2)
        ed.key("t")
        ed.move(end, TOP[1] + TOP[3] / 2)
        wait_until(lambda: "SCALE" in ed.status(), WAIT, "the scale to run")
        ed.key("Return")
        ed.wait_status("Transform Applied.")

    def saved_ground_size(self):
        """Saves, checks every stored float is finite, and returns the ground's largest size component."""
        brushes, entities = self.save()
        floats = [x for b in brushes for x in b["origin"] + b["size"] + sum(b["verts"] + b["facePlacements"], ())]
        floats += [x for e in entities for x in e["position"] + e["light"] + (e["scale"],)]
        self.assertTrue(all(math.isfinite(x) for x in floats))
        return max(brushes[0]["size"])

    def test_scaling_stops_at_the_limit_and_the_map_stays_finite(self):
        self.editor.click(*GROUND_3D)
        self.wait_selected(0, "Ground_Brush")
        left, right = TOP[0] + 2, TOP[0] + TOP[2] - 2
        for _ in range(8):                           # x4.65 each: 10 x 4.65^8 is past the limit
            self.scale_pass(left, right)
        held = self.saved_ground_size()
        self.assertTrue(0.99e6 < held <= 1e6, held)
        self.scale_pass(right, right - 50)           # a small scale down halves it
        self.assertAlmostEqual(self.saved_ground_size() / held, 0.5, places=5)


class EntitiesAndTextures(ToolCase):
    def test_entity_tool_places_in_the_top_view_and_texture_tool_paints_faces(self):
        ed = self.editor
        self.toggle(palette_row(ENTITY), "the Entity tool")
        ed.click(*top_px(-3.1, -2.9))
        ed.wait_status("Placed Model Entity #2")
        ed.click(*GROUND_3D)                         # the 3D view only selects
        self.wait_selected(0, "Ground_Brush")
        self.toggle(STRIP_SPOT, "Spot")
        ed.click(*top_px(2.9, 3.1))
        ed.wait_status("Placed Model Entity #3")
        # A running grab takes Escape for itself: the spot goes back and the Entity tool stays.
        ed.key("g")
        ed.move(top_px(2.9, 3.1)[0] + 40, top_px(2.9, 3.1)[1])
        wait_until(lambda: "GRAB" in ed.status(), WAIT, "the grab")
        ed.key("Escape")
        ed.wait_status("Transform Canceled.")
        self.assertTrue(self.shows_on(palette_row(ENTITY)), "the Entity tool still on")
        _, entities = self.save()
        self.assertEqual(len(entities), 3)
        placed = [(e["className"], e["position"], e["kind"], e["model"], e["texture"]) for e in entities[1:]]
        # X and Z on the grid, Y the top camera's target; no model loaded, the checker texture.
        self.assertEqual(placed, [("prop_dynamic", (-3.0, 0.0, -3.0), 0, -1, 0),
                                  ("light_spot", (3.0, 0.0, 3.0), 2, -1, 0)])
        self.assertEqual(entities[1]["name"], "Entity_1")

        # Fresh faces follow the brush's texture (-1); painting gives them the current one, 0.
        self.toggle(palette_row(TEXTURE), "the Texture tool")
        ed.x.run("xdotool", "keydown", "Alt_L")     # Alt samples and leaves the map alone
        try:
            ed.click(*GROUND_3D)
        finally:
            ed.x.run("xdotool", "keyup", "Alt_L")
        ed.wait_status("Sampled texture 0 and its alignment.")
        ed.click(*GROUND_3D)
        ed.wait_status("Painted face 1 of Brush #0.")
        ground = self.save()[0][0]
        self.assertEqual((ground["texture"], ground["faceTextures"]), (0, [-1, 0, -1, -1, -1, -1]))
        shift_click(ed, *GROUND_3D)
        ed.wait_status("Painted all 6 faces of Brush #0.")
        self.assertEqual(self.save()[0][0]["faceTextures"], [0] * 6)


if __name__ == "__main__":
    harness.main()
