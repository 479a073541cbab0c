"""The Object Properties tab with real input: a brush's origin and size typed in, Escape in a field,
a number past the float range refused with a word, a face placement changed, copied and pasted
onto another brush, a light's colour and range, and a value out of a field's range left as it was;
read back from the saved map. A rename and a move made in the tab are an undo step each and reach
the autosave."""
import os
import struct

import harness
from harness import (ADD_POINT_LIGHT, AWAY, TOGGLE_ON, WAIT, matching_box, palette_row, parse_map, read_bytes,
                     reads_as, wait_until)
from right_panel_e2e import CURSOR, PANEL_X, TITLES, TREE, PanelCase, tab_button, tree_row
from tools_e2e import BLOCK, GROUND_3D, top_px

PROPERTIES = 2
TITLES[PROPERTIES] = "Object Properties"
BOX_X, BOX_W, ROW_H = PANEL_X + 27 + 112.5 + 229.5 + 9, 126, 40.5   # a numeric field's text box
NAME_BOX = (PANEL_X + 141.75, CURSOR + 45, 303.75, ROW_H)
AUTOSAVE_INTERVAL = 120                                               # seconds of frames between attempts
PANEL_MIDDLE = (PANEL_X + 270, 500)
STEP = 67.5                                                           # one wheel step of the panel


def selected_edge(r, g, b):
    """The colour of a selected brush's outline in a 2D view."""
    return r > 150 and g > 150 and b < 100


def whole_map(path):
    """The brushes and entities of the map file at path, or None while it is still being written."""
    try:
        return parse_map(read_bytes(path))
    except (AssertionError, struct.error):
        return None


def box(row, scroll=0.0):
    """The text box of the numeric field whose row starts at row below the content top."""
    return BOX_X, CURSOR + row - scroll, BOX_W, ROW_H


class ObjectProperties(PanelCase):
    def type_field(self, rect, text, key="Return"):
        """Types text into a field's (or the Name) box and ends the edit with key; waits until the
        box is no longer being edited, which is the frame the value is written (or dropped)."""
        ed = self.editor
        ed.enter_text(rect, text)
        ed.key(key)
        probe = (int(rect[0] + rect[2] - 6), int(rect[1] + rect[3] / 2))
        ed.wait_pixel(*probe, lambda c: c != TOGGLE_ON, "the field's edit to end")

    def scroll_to(self, steps, label, row):
        """Rolls the panel down by steps and waits until the label shows where it is expected."""
        self.editor.wheel(*PANEL_MIDDLE, -steps)
        y = CURSOR + row - steps * STEP
        wait_until(lambda: label in self.editor.ocr(int(PANEL_X + 27), int(y), 486, 40), WAIT, label + " in view")

    def test_brush_origin_size_escape_and_face_placement(self):
        ed = self.editor
        ed.click(*GROUND_3D)
        self.wait_selected(0, "Ground_Brush")
        self.open_tab(PROPERTIES)
        x, top = top_px(-5, -2)
        old_edge = (x - 3, top, 7, top_px(-5, 2)[1] - top)     # the ground's left outline in the Top view
        self.assertTrue(matching_box(ed.screenshot(), old_edge, selected_edge))
        self.type_field(box(184.5), "3")              # origin X
        self.type_field(box(562.5), "4")              # size X: 10 -> 4 about the centroid, so x 1..5
        wait_until(lambda: not matching_box(ed.screenshot(), old_edge, selected_edge), WAIT,
                   "the Top view to show the moved, smaller ground")
        self.type_field(box(225), "7", key="Escape")  # origin Y: the typed text is dropped
        self.type_field(NAME_BOX, "Renamed", key="Escape")   # Name
        self.type_field(box(184.5), "1e39")           # origin X: past the float range, kept at 3
        ed.wait_status("Not a finite number: 1e39")
        self.assertTrue(reads_as(ed.ocr(*[int(v) for v in box(225)]), "-0.500"))

        # Scale U and rotation of every face (none is selected), then Copy.
        self.scroll_to(13, "Scale (all faces)", 1113.75)
        scroll = 13 * STEP
        self.type_field(box(1154.25, scroll), "3")
        self.type_field(box(1235.25, scroll), "45")
        ed.click(PANEL_X + 405 + 54, CURSOR + 1406.25 + 20 - scroll)
        ed.wait_status("Copied face texture placement.")

        # A new block is selected; its panel now offers Paste Placement.
        self.toggle(palette_row(BLOCK), "the Block tool")
        ed.move(*top_px(-4.1, -3.9))
        ed.mouse_down(1)
        ed.move(*top_px(-2.1, -1.1))
        ed.mouse_up(1)
        ed.key("Return")
        ed.wait_status("Created Brush #2")
        ed.click(PANEL_X + 270, CURSOR + 1455.75 + 20 - scroll)
        ed.move(*AWAY)
        ed.wait_status("Pasted placement onto 6 face(s).")

        brushes, _ = self.save()
        g = brushes[0]
        self.assertEqual(g["name"], "Ground_Brush")
        self.assertEqual(g["origin"], (3.0, -0.5, 0.0))
        self.assertEqual(g["size"], (4.0, 1.0, 10.0))
        self.assertEqual(sorted({v[0] for v in g["verts"]}), [-2.0, 2.0])
        for b in brushes:
            for placement in b["facePlacements"]:
                self.assertEqual((placement[0], placement[4]), (3.0, 45.0))
        self.assertEqual(brushes[1]["facePlacements"][0][1], g["facePlacements"][0][1])

    def test_a_rename_and_a_move_are_one_undo_step_each_and_reach_the_autosave(self):
        ed = self.editor
        ed.click(*GROUND_3D)
        self.wait_selected(0, "Ground_Brush")
        self.open_tab(PROPERTIES)
        self.type_field(NAME_BOX, "Moved")
        self.type_field(box(184.5), "3")              # origin X
        ed.key("ctrl+z")
        ed.wait_status("Undo performed.")
        # The edits marked the map changed, which nothing else did since the project opened.
        autosave = os.path.join(os.path.dirname(self.path), "_autosave.zizudu")
        g = wait_until(lambda: os.path.exists(autosave) and whole_map(autosave), AUTOSAVE_INTERVAL + WAIT,
                       "the autosave")[0][0]
        self.assertEqual((g["name"], g["origin"]), ("Moved", (0.0, -0.5, 0.0)))   # only the move went back
        ed.key("ctrl+y")
        ed.wait_status("Redo performed.")
        g = self.save()[0][0]
        self.assertEqual((g["name"], g["origin"]), ("Moved", (3.0, -0.5, 0.0)))

    def test_light_colour_and_range_and_a_value_out_of_range_kept(self):
        ed = self.editor
        ed.click(*ADD_POINT_LIGHT)
        ed.move(*AWAY)
        ed.wait_status("Added Point light at the 3D view focus.")
        self.open_tab(PROPERTIES)
        self.scroll_to(6, "Light", 663.75)
        scroll = 6 * STEP
        self.type_field(box(749.25, scroll), "10")     # Red
        self.type_field(box(911.25, scroll), "55")     # Range

        # The default Sun's yaw 215 lies outside the -180..180 field: showing it changes nothing.
        self.open_tab(TREE)
        ed.click(*tree_row(0, brushes=1))
        self.wait_status_has("Sun")
        ed.click(*tab_button(PROPERTIES))
        wait_until(lambda: "Entity #0" in ed.ocr(int(PANEL_X + 33.75), int(CURSOR), 450, 40), WAIT, "the Sun's panel")

        _, entities = self.save()
        sun, light = entities
        self.assertEqual((light["light"][0], light["light"][5]), (10, 55.0))
        self.assertEqual(sun["rotation"], (50.0, 215.0, 0.0))


if __name__ == "__main__":
    harness.main()
