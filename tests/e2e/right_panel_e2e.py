"""The right panel with real input: Info counts, the Tree's selection and Subdivide, textures from the
grid, a model for an entity and its preview, a rescan; edits are read back from the saved map."""
import os

import harness
from assets_e2e import write_png
from harness import AWAY, WAIT, matching_box, palette_row, read_like, reads_as, wait_until
from tools_e2e import GROUND_3D, TEXTURE, ToolCase, top_px

INFO, TREE, MODEL, TEXTURE_TAB = 0, 1, 3, 4
TITLES = {INFO: "Map Statistics", TREE: "Scene Tree Hierarchy", MODEL: "Model Assets", TEXTURE_TAB: "Texture Editor"}
PANEL_X, PANEL_TOP = 900.0, 112.5                 # the panel in a 1440x900 window
CURSOR = PANEL_TOP + 101.25                       # where a tab's first control goes
ROW_X = PANEL_X + 270                             # the middle of the Tree's rows and the tabs' buttons
SUBDIVIDE_Y = PANEL_TOP + 738 - 123.75 + 24.75    # the middle of the Subdivide button
VIEW_BOTTOM = PANEL_TOP + 85.5 + 738 - 94.5       # where the scrolled region ends
PREVIEW = (PANEL_X + 27 + 108, CURSOR + 40.5, 270, 270)
MODEL_ROW0 = (PANEL_X + 127, CURSOR + 40.5 + 270 + 9 + 45 + 4.5 + 20)
ASSIGN = (ROW_X, 774 + 24.75)
GRID = (PANEL_X + 27, CURSOR + 40.5 + 180 + 6.75 + 42.75)
APPLY = (ROW_X, 720 + 24.75)
RESCAN = (ROW_X, 776.25 + 22.5)
COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255)]
BOX_OBJ = ("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
           "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n")


def tab_button(k):
    tw = (540 - 22.5) / 7
    return PANEL_X + 11.25 + k * tw + tw / 2, PANEL_TOP + 11.25 + 24.75


def tree_row(i, brushes=None):
    """The middle of brush row i of the Tree, or of entity row i below the given number of brush
    rows and the entities' heading."""
    below = 0 if brushes is None else 49.5 * brushes + 45
    return ROW_X, CURSOR + 45 + below + 49.5 * i + 22.5


def grid_cell(k):
    return GRID[0] + 9 + 112.5 * (k % 4) + 51.75, GRID[1] + 9 + 112.5 * (k // 4) + 51.75


class PanelCase(ToolCase):
    """The default map in the open project Untitled, whose asset folders hold five textures and a
    box model."""

    def prepare(self, workdir):
        assets = os.path.join(workdir, "projects", "Untitled", "assets")
        os.makedirs(os.path.join(assets, "textures"))
        os.makedirs(os.path.join(assets, "models"))
        for i, colour in enumerate(COLOURS):
            write_png(os.path.join(assets, "textures", "t%d.png" % i), 16, 16, colour)
        with open(os.path.join(assets, "models", "box.obj"), "w") as f:
            f.write(BOX_OBJ)

    def open_tab(self, k):
        self.editor.click(*tab_button(k))
        # The group box's line runs on right of its title; only the words are compared.
        wait_until(lambda: TITLES[k] in self.editor.ocr(918, 172, 225, 26), WAIT, "the group box titled " + TITLES[k])

    def wait_status_has(self, text):
        wait_until(lambda: text in self.editor.status(), WAIT, "a status line with %r" % text)

    def info_line(self, i):
        return self.editor.ocr(int(PANEL_X + 33.75), int(CURSOR + 11.25 + 45 * i), 405, 45)


class InfoAndTree(PanelCase):
    def test_info_counts_then_tree_selection_and_subdivide(self):
        ed = self.editor
        wait_until(lambda: reads_as(self.info_line(0), "Brushes: 1"), WAIT, "one brush in the Info tab")
        self.assertTrue(reads_as(self.info_line(3), "Textures Loaded: 5"))
        self.open_tab(TREE)
        ed.click(*tree_row(0))
        ed.wait_status("Selected Ground_Brush from Tree")
        for n in range(1, 12):                    # twelve brushes: row 9 lies under the button
            ed.key("ctrl+d")
            self.wait_status_has("-> #%d" % n)
        self.open_tab(INFO)
        wait_until(lambda: reads_as(self.info_line(0), "Brushes: 12"), WAIT, "twelve brushes in the Info tab")
        self.open_tab(TREE)
        ed.click(*tree_row(0))
        ed.wait_status("Selected Ground_Brush from Tree")
        # The press lands on the Subdivide button over row 9: the ground is subdivided, not row 9.
        ed.click(ROW_X, SUBDIVIDE_Y - 12)
        wait_until(lambda: reads_as(ed.status(), "Subdivided Brush #0"), WAIT, "the ground subdivided")
        # Row 11 is cut by the region's lower edge: its hidden part takes no press, its visible part does.
        hidden_y = VIEW_BOTTOM + 4
        self.assertLess(hidden_y, tree_row(11)[1] + 22.5)
        ed.click(ROW_X, hidden_y)
        ed.frame_sync()
        seen = ed.status()
        self.assertTrue(reads_as(seen, "Subdivided Brush #0"), "a press below the region gave %r" % seen)
        ed.click(ROW_X, VIEW_BOTTOM - 10)
        self.wait_status_has("from Tree")
        brushes, _ = self.save()
        self.assertEqual(len(brushes), 12)
        self.assertGreater(brushes[0]["faces"], 6)
        self.assertEqual(brushes[9]["faces"], 6)


class ModelsAndTextures(PanelCase):
    def test_model_preview_turns_and_the_model_goes_to_the_entity(self):
        ed = self.editor
        self.open_tab(MODEL)
        # The preview's dark clear colour with the unlit white box on it; a render that was clipped
        # away leaves the target empty and the panel's own light grey shows through.
        def rendered():
            shot = ed.screenshot()
            return (matching_box(shot, PREVIEW, lambda r, g, b: (r, g, b) == (32, 34, 40)) and
                    matching_box(shot, PREVIEW, lambda r, g, b: (r, g, b) == (255, 255, 255)))
        wait_until(rendered, WAIT, "the model in the preview")
        self.open_tab(TREE)
        ed.click(*tree_row(0, brushes=1))
        ed.wait_status("Selected Sun from Tree")
        self.open_tab(MODEL)
        ed.click(*MODEL_ROW0)
        ed.wait_status("Selected Model #0 (box)")
        ed.click(*ASSIGN)
        ed.wait_status("Assigned model to Entity #0")
        _, entities = self.save()
        self.assertEqual(entities[0]["model"], 0)

    def test_grid_texture_goes_to_a_selected_face_then_to_the_whole_brush(self):
        ed = self.editor
        self.toggle(palette_row(TEXTURE), "the Texture tool")
        ed.click(*GROUND_3D)                      # paints and selects the top face with texture 0
        ed.wait_status("Painted face 1 of Brush #0.")
        self.open_tab(TEXTURE_TAB)
        ed.click(*grid_cell(3))
        self.wait_status_has("Texture #3")
        ed.click(*APPLY)
        ed.wait_status("Applied texture to 1 face(s).")
        brushes, _ = self.save()
        self.assertEqual((brushes[0]["texture"], brushes[0]["faceTextures"]), (0, [-1, 3, -1, -1, -1, -1]))

        # The Select tool's click selects the ground and lets go of the face: the brush takes it.
        ed.key("Escape")
        ed.click(*top_px(-3, -3))
        ed.wait_status("Selected Brush #0 (Ground_Brush)")
        ed.click(*grid_cell(1))
        self.wait_status_has("Texture #1")
        ed.click(*APPLY)
        ed.wait_status("Applied texture #1 to Brush #0")
        brushes, _ = self.save()
        self.assertEqual((brushes[0]["texture"], brushes[0]["faceTextures"]), (1, [-1] * 6))

    def test_a_rescan_that_loses_the_active_texture_shows_and_applies_none(self):
        ed = self.editor
        self.open_tab(TEXTURE_TAB)
        ed.click(*grid_cell(4))
        self.wait_status_has("Texture #4")
        folder = os.path.join(ed.workdir, "projects", "Untitled", "assets", "textures")
        for name in ("t0.png", "t1.png"):
            os.remove(os.path.join(folder, name))
        ed.click(*RESCAN)
        ed.wait_status("Rescanned: 1 model(s), 3 texture(s), 0 icon(s).")
        ed.move(*AWAY)                            # the label shows the active texture, not a hovered cell
        wait_until(lambda: read_like(ed.ocr(int(GRID[0]), int(GRID[1] - 42.75), 486, 36), "No texture selected"),
                   WAIT, "no texture shown under the preview")
        ed.click(*top_px(-3, -3))                 # the Select tool picks the ground
        ed.wait_status("Selected Brush #0 (Ground_Brush)")
        ed.click(*APPLY)
        ed.wait_status("No texture selected.")
        self.assertEqual(self.save()[0][0]["texture"], 0)


if __name__ == "__main__":
    harness.main()
