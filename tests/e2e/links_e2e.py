"""Links planted in a project never carry a save outside it, and a lost display keeps the work."""
import os

import harness
from harness import ADD_POINT_LIGHT, WAIT, EditorTestCase, open_only_project, parse_map, read_bytes, wait_until
from projects_e2e import TOP_SAVE_AS, entity_record, file_dialog, map_bytes

MAPS = os.path.join("projects", "Untitled", "maps")


def write_map(path, name, when):
    with open(path, "wb") as f:
        f.write(map_bytes(entity_record(name, "generic", (1.0, 2.0, 3.0), 0), 1))
    os.utime(path, (when, when))


class PlantedLinks(EditorTestCase):
    """A project as an archive could bring it: its map and its autosave are links to files
    outside projects/, one relative, one absolute."""
    keep_project_manager = True

    def prepare(self, workdir):
        outside = os.path.join(workdir, "outside")
        maps = os.path.join(workdir, MAPS)
        os.makedirs(outside)
        os.makedirs(maps)
        write_map(os.path.join(outside, "level.zizudu"), "Outer", 2000)
        write_map(os.path.join(outside, "autosave.zizudu"), "Older", 1000)   # not newer: no prompt
        os.symlink(os.path.join("..", "..", "..", "outside", "level.zizudu"), os.path.join(maps, "level.zizudu"))
        os.symlink(os.path.join(outside, "autosave.zizudu"), os.path.join(maps, "_autosave.zizudu"))

    def test_the_autosave_and_save_as_refuse_links_leading_outside(self):
        ed = self.editor
        outside = [os.path.join(ed.workdir, "outside", name) for name in ("level.zizudu", "autosave.zizudu")]
        before = [read_bytes(path) for path in outside]

        open_only_project(ed)
        ed.wait_status("Opened 'Untitled' - loaded latest map level.zizudu (1 brushes)")
        ed.click(*ADD_POINT_LIGHT)
        ed.wait_status("Added Point light at the 3D view focus.")
        file_dialog(ed, TOP_SAVE_AS, "level.zizudu", "saving level.zizudu")
        ed.wait_status("Could not save to projects/Untitled/maps/level.zizudu: link leads outside the project",
                       width=1440)
        self.assertEqual([read_bytes(path) for path in outside], before)

        # The close writes the unsaved work to the autosave, here refused; the log says why.
        ed.request_close()
        refusal = "Could not autosave to projects/Untitled/maps/_autosave.zizudu: link leads outside the project"
        wait_until(lambda: refusal in ed.output(), WAIT, "the refused autosave in the log")
        self.assertEqual([read_bytes(path) for path in outside], before)
        self.assertEqual(sorted(os.listdir(os.path.join(ed.workdir, MAPS))), ["_autosave.zizudu", "level.zizudu"])


class LostDisplay(EditorTestCase):
    keep_project_manager = True

    def test_unsaved_work_reaches_the_autosave_when_the_x_server_ends(self):
        ed = self.editor
        open_only_project(ed)
        ed.wait_status("Opened 'Untitled' - no maps yet, keeping the current map")
        ed.click(*ADD_POINT_LIGHT)
        ed.wait_status("Added Point light at the 3D view focus.")

        self.x.stop()
        ed.wait_exit()
        autosave = os.path.join(ed.workdir, MAPS, "_autosave.zizudu")
        self.assertTrue(os.path.exists(autosave), ed.output()[-5:])
        self.assertEqual([e["name"] for e in parse_map(read_bytes(autosave))[1]], ["Sun", "Point_1"])
        wait_until(lambda: any("Autosaved (1) to _autosave.zizudu" in line for line in ed.output()), WAIT,
                   "the autosave in the log")


if __name__ == "__main__":
    harness.main()
