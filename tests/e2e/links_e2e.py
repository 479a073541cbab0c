"""Links planted in a project never carry a save outside it, and a lost display keeps the work."""
import os

import harness
from harness import WAIT, EditorTestCase, open_only_project, parse_map, read_bytes, wait_until
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
        # The close writes the unsaved work to the autosave, refused here; the log says why.
        ed.request_close()
        wait_until(lambda: "Could not autosave " + REFUSED % "_autosave.zizudu" in ed.output(), WAIT, "the refusal")
        self.assertEqual([read_bytes(path) for path in outside], before)
        self.assertEqual(sorted(os.listdir(os.path.join(ed.workdir, MAPS))), ["_autosave.zizudu", "level.zizudu"])

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
