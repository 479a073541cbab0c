"""Links planted in a project never carry a save outside it, and a lost display keeps the work."""
import os

import harness
from harness import EditorTestCase, open_only_project, parse_map, read_bytes
from projects_e2e import TOP_SAVE_AS, add_light, entity_record, file_dialog, map_bytes

MAPS = os.path.join("projects", "Untitled", "maps")
REFUSED = "to projects/Untitled/maps/%s: link leads outside the project"


class Links(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        """The project's map and autosave are links out of projects/, as an archive could bring them."""
        os.makedirs(os.path.join(workdir, "outside"))
        os.makedirs(os.path.join(workdir, MAPS))
        for name, when in (("level.zizudu", 2000), ("autosave.zizudu", 1000)):   # no newer autosave: no prompt
            path = os.path.join(workdir, "outside", name)
            with open(path, "wb") as f:
                f.write(map_bytes(entity_record(name[:5], "generic", (1.0, 2.0, 3.0), 0), 1))
            os.utime(path, (when, when))
        os.symlink("../../../outside/level.zizudu", os.path.join(workdir, MAPS, "level.zizudu"))
        os.symlink(os.path.join(workdir, "outside", "autosave.zizudu"), os.path.join(workdir, MAPS, "_autosave.zizudu"))

    def test_save_as_and_the_autosave_refuse_links_leading_outside(self):
        ed = self.editor
        outside = [os.path.join(ed.workdir, "outside", name) for name in ("level.zizudu", "autosave.zizudu")]
        before = [read_bytes(path) for path in outside]
        open_only_project(ed)
        add_light(ed)
        file_dialog(ed, TOP_SAVE_AS, "level.zizudu", "saving level.zizudu")
        ed.wait_status("Could not save " + REFUSED % "level.zizudu", width=1440)
        # The close cannot write the unsaved work to the autosave, and the log says why: it goes
        # into a map of its own beside it.
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)
        self.assertTrue(any("_autosave.zizudu: link leads outside the project" in line for line in ed.output()),
                        ed.output()[-5:])
        self.assertEqual([read_bytes(path) for path in outside], before)
        names = sorted(os.listdir(os.path.join(ed.workdir, MAPS)))
        self.assertEqual(names[:2], ["_autosave.zizudu", "level.zizudu"])
        self.assertEqual(len(names), 3)
        self.assertTrue(names[2].startswith("unsaved-"), names)

    def test_unsaved_work_reaches_the_autosave_when_the_x_server_ends(self):
        ed = self.editor
        for name in ("level.zizudu", "_autosave.zizudu"):
            os.remove(os.path.join(ed.workdir, MAPS, name))
        open_only_project(ed)
        add_light(ed)
        self.x.stop()
        ed.wait_exit()
        autosave = os.path.join(ed.workdir, MAPS, "_autosave.zizudu")
        self.assertEqual([e["name"] for e in parse_map(read_bytes(autosave))[1]], ["Sun", "Point_1"])


if __name__ == "__main__":
    harness.main()
