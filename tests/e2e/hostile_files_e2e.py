"""Files the editor did not write: named pipes and broken models in every folder it reads never
hang it, crash it or move it out of its working folder; it still saves and autosaves."""
import os

import harness
from assets_e2e import GROUND_AREA, write_png
from harness import (ADD_POINT_LIGHT, ADD_SPOT_LIGHT, TOP_SAVE, WAIT, EditorTestCase, matching_box,
                     open_only_project, parse_map, read_bytes, wait_until)

AUTOSAVE_INTERVAL = 120          # seconds of frames between autosave attempts


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def fifo(path):
    """A named pipe that nobody writes: whoever opens it to read waits for ever."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    os.mkfifo(path)


def lay_out_hostile_assets(assets):
    """Models that crashed or stranded the loader, and a pipe for every kind of asset."""
    write(os.path.join(assets, "models", "long.obj"), b"v " + b"1" * 5000 + b" 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n")
    write(os.path.join(assets, "models", "nul.obj"), b"\0v 0 0 0\n")
    write(os.path.join(assets, "models", "far.obj"), b"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 2147483647\n")
    os.makedirs(os.path.join(assets, "models", "x.obj"))
    fifo(os.path.join(assets, "models", "pipe.obj"))
    fifo(os.path.join(assets, "textures", "fifo.png"))


class HostileFiles(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        lay_out_hostile_assets(os.path.join(workdir, "assets"))
        fifo(os.path.join(workdir, "resources", "icons", "pipe.png"))
        fifo(os.path.join(workdir, "resources", "startup", "splash.png"))
        fifo(os.path.join(workdir, "resources", "shaders", "lighting.fs"))
        fifo(os.path.join(workdir, "mods", "pipe", "mod.txt"))
        write(os.path.join(workdir, "mods", "m", "mod.txt"), b"tool = Pipe | pipe.asm\n")
        fifo(os.path.join(workdir, "mods", "m", "pipe.asm"))
        project = os.path.join(workdir, "projects", "Untitled")
        lay_out_hostile_assets(os.path.join(project, "assets"))
        os.makedirs(os.path.join(project, "assets", "textures"), exist_ok=True)
        write_png(os.path.join(project, "assets", "textures", "grass.png"), 16, 16, (0, 255, 0))
        fifo(os.path.join(project, "maps", "pipe.zizudu"))

    def test_the_editor_starts_saves_and_autosaves(self):
        editor = self.editor
        open_only_project(editor)
        editor.wait_status("Opened 'Untitled' - no maps yet, keeping the current map")
        # The project's texture is found after the models were tried: still in the working folder.
        box = wait_until(lambda: matching_box(editor.screenshot(), GROUND_AREA,
                                              lambda r, g, b: g > 30 and g > r + 20 and b < 20),
                         WAIT, "the project's green texture on the ground")
        self.assertIsNotNone(box)

        editor.click(*ADD_POINT_LIGHT)
        editor.wait_status("Added Point light at the 3D view focus.")
        editor.click(*TOP_SAVE)
        maps = os.path.join(editor.workdir, "projects", "Untitled", "maps")
        saved = os.path.join(maps, "untitled.zizudu")
        wait_until(lambda: os.path.exists(saved), WAIT, "untitled.zizudu")
        self.assertEqual([e["name"] for e in parse_map(read_bytes(saved))[1]], ["Sun", "Point_1"])

        editor.click(*ADD_SPOT_LIGHT)
        editor.wait_status("Added Spot light at the 3D view focus.")
        autosave = os.path.join(maps, "_autosave.zizudu")
        wait_until(lambda: os.path.exists(autosave), AUTOSAVE_INTERVAL + WAIT, "the autosave")
        names = wait_until(lambda: [e["name"] for e in parse_map(read_bytes(autosave))[1]], WAIT, "the autosave's entities")
        self.assertEqual(names, ["Sun", "Point_1", "Spot_2"])

        for folder in ("assets/models", "projects/Untitled/assets/models"):
            self.assertFalse(os.path.exists(os.path.join(editor.workdir, folder, "projects")), folder)
        self.assertTrue(editor.alive())


if __name__ == "__main__":
    harness.main()
