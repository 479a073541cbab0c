"""Projects, the map file dialogs, the recovery prompt and a restart, with the real program."""
import os
import shutil
import struct
import tempfile
import unittest

import time

import harness
from harness import (ADD_POINT_LIGHT, AWAY, PM, TOP_SAVE, WAIT, Editor, EditorTestCase, STARTUP_STATUS,
                     VEIL_PROBE, XServer, open_only_project, parse_map, pm_row, read_bytes, read_like, reads_as,
                     shift_click, veiled, wait_unveiled, wait_until)

SUBDIRS = ["maps", "exports", "mods", "assets", "assets/models", "assets/textures"]

# Places in a 1440x900 window.
PM_NAME_BOX = (PM["x"] + 121.5, PM["y"] + 117, PM["w"] - 337.5, 45.0)
PM_CREATE = (PM["x"] + PM["w"] - 202.5 + 87, PM["y"] + 117 + 22)
PM_OPEN_SELECTED = (PM["x"] + 27 + 216, PM["y"] + PM["h"] - 67.5 + 25)
DLG = dict(x=247.5, y=112.5, w=945.0, h=675.0)                 # the map file dialog
DLG_LIST_Y = DLG["y"] + 117
DLG_FILE_BOX = (DLG["x"] + 126, DLG_LIST_Y + 387 + 9, DLG["w"] - 153, 45.0)
DLG_ACTION = (DLG["x"] + 27 + 216, DLG_LIST_Y + 387 + 9 + 58.5 + 25)
DLG_CANCEL = (DLG["x"] + 54 + 432 + 216, DLG_ACTION[1])
REC = dict(x=270.0, y=258.75, w=900.0, h=382.5)                 # the recovery prompt
REC_RECOVER = (REC["x"] + 36 + 198, REC["y"] + REC["h"] - 76.5 + 27)
TOP_SAVE_AS = (382.5 + 73, 25)
TOP_OPEN = (135 + 56, 25)
TOP_NEW = (11.25 + 56, 25)
TOP_PROJECTS = (821.25 + 84, 25)
AUTOSAVE_INTERVAL = 120          # seconds between autosave attempts
LEVEL = "projects/Untitled/maps/level.zizudu"


ROW_SELECTED = (80, 90, 120)


def pm_row_end(i):
    """A point of project row i right of its name."""
    return int(PM["x"] + PM["w"] - 60), int(pm_row(i)[1])


def dlg_row(i):
    return DLG["x"] + 27 + 4.5 + 100, DLG_LIST_Y + 4.5 + 40.5 * i + 20


# --- map files ---------------------------------------------------------------------------------
def entity_record(name, class_name, position, kind):
    return (name.encode().ljust(32, b"\0") + class_name.encode().ljust(32, b"\0") +
            struct.pack("<3f3ff3i4B4f2Bf", *position, 0, 0, 0, 1.0, -1, -1, kind, 255, 255, 255, 255,
                        1.0, 10.0, 25.0, 45.0, 0, 0, 10.0))


def map_bytes(entities=b"", entity_count=0):
    return b"ZIZUDU2\0" + struct.pack("<2i", 3, 0) + struct.pack("<i", entity_count) + entities


class MapFileCase(unittest.TestCase):
    def assert_default_map(self, path):
        brushes, entities = parse_map(read_bytes(path))
        self.assertEqual(len(brushes), 1)
        ground = brushes[0]
        self.assertEqual(ground["name"], "Ground_Brush")
        self.assertEqual(ground["origin"], (0.0, -0.5, 0.0))
        self.assertEqual(ground["size"], (10.0, 1.0, 10.0))
        self.assertEqual(ground["shape"], 0)
        self.assertEqual(ground["colour"], (130, 130, 130, 255))
        self.assertEqual(len(ground["verts"]), 8)
        self.assertEqual(ground["faces"], 6)
        self.assertEqual(sorted(set(v[1] for v in ground["verts"])), [-0.5, 0.5])   # top face at y = 0
        self.assertEqual(len(entities), 1)
        sun = entities[0]
        self.assertEqual((sun["name"], sun["className"], sun["kind"]), ("Sun", "light_environment", 3))
        self.assertEqual(sun["position"], (6.0, 10.0, 6.0))


# --- driving the windows ----------------------------------------------------------------------
def file_dialog(editor, button, name, action_name, read_folder=False):
    """Opens the map file dialog with a top bar button, types name into the File box in place of
    what is there, and presses the action button. With read_folder, returns the dialog's folder
    line as it read."""
    editor.click(*button)
    editor.move(*AWAY)
    editor.wait_pixel(*VEIL_PROBE, veiled, "the map file dialog")
    line = editor.ocr(int(DLG["x"] + 27), int(DLG["y"] + 72), int(DLG["w"] - 54), 36) if read_folder else None
    editor.enter_text(DLG_FILE_BOX, name)
    editor.click(*DLG_ACTION)
    wait_unveiled(editor, "the dialog to close after " + action_name)
    return line


def projects_dir(editor, name):
    return os.path.join(editor.workdir, "projects", name)


class ProjectManager(EditorTestCase):
    keep_project_manager = True

    def test_fresh_folder_creates_untitled_and_shows_the_manager(self):
        for sub in SUBDIRS:
            self.assertTrue(os.path.isdir(os.path.join(projects_dir(self.editor, "Untitled"), sub)), sub)
        self.assertTrue(veiled(self.editor.pixel(self.editor.screenshot(), *VEIL_PROBE)))
        self.assertIn("Project Manager", self.editor.ocr(int(PM["x"]), int(PM["y"]), 600, 54))
        line = self.editor.ocr(int(PM["x"] + 27), int(PM["y"] + 72), 600, 36)
        self.assertTrue(read_like(line, "Current project: (none)"), line)
        self.assertTrue(read_like(self.editor.status(), STARTUP_STATUS))

    def test_create_then_open_the_new_project(self):
        self.editor.enter_text(PM_NAME_BOX, "Level One")
        self.editor.click(*PM_CREATE)
        self.editor.move(*AWAY)
        wait_until(lambda: os.path.isdir(os.path.join(projects_dir(self.editor, "Level One"), "assets/textures")),
                   WAIT, "the new project's folders")
        self.editor.wait_status("Created project 'Level One'")

        # Rows follow the folder's listing order.
        root = os.path.join(self.editor.workdir, "projects")
        rows = [n for n in os.listdir(root) if os.path.isdir(os.path.join(root, n))]
        self.editor.click(*pm_row(rows.index("Level One")))
        self.editor.wait_pixel(*pm_row_end(rows.index("Level One")), lambda c: c == ROW_SELECTED, "the row selected")
        self.editor.click(*PM_OPEN_SELECTED)
        wait_unveiled(self.editor, "the project manager to close")
        self.editor.wait_status("Opened 'Level One' - no maps yet, keeping the current map")
        label = self.editor.ocr(1192, 5, 382, 40)
        self.assertTrue(read_like(label, "Project: Level One"), label)


class MapFiles(EditorTestCase, MapFileCase):
    def test_save_as_writes_into_the_project_and_open_brings_it_back(self):
        # No project yet: the dialog writes into the working folder, and says so; the default map is live.
        line = file_dialog(self.editor, TOP_SAVE_AS, "start.zizudu", "saving start.zizudu", read_folder=True)
        self.assertTrue(read_like(line, "No project open - files go into the working folder %s/" % self.editor.workdir,
                                  0.8), line)
        start = os.path.join(self.editor.workdir, "start.zizudu")
        wait_until(lambda: os.path.exists(start), WAIT, "start.zizudu in the working folder")
        self.assert_default_map(start)

        # Open the project (the default map is kept), then read the default map back in by its path.
        self.editor.click(*TOP_PROJECTS)
        open_only_project(self.editor)
        self.editor.wait_status("Opened 'Untitled' - no maps yet, keeping the current map")
        file_dialog(self.editor, TOP_OPEN, "./start.zizudu", "opening start.zizudu")
        self.editor.wait_status("Loaded ./start.zizudu")

        maps = os.path.join(projects_dir(self.editor, "Untitled"), "maps")
        file_dialog(self.editor, TOP_SAVE_AS, "level1.zizudu", "saving level1.zizudu")
        level1 = os.path.join(maps, "level1.zizudu")
        wait_until(lambda: os.path.exists(level1), WAIT, "level1.zizudu in the project's maps folder")
        self.assert_default_map(level1)
        self.editor.wait_status("Saved to projects/Untitled/maps/level1.zizudu")

        # Change the map, then open the saved one from the dialog's list.
        self.editor.click(*TOP_NEW)
        self.editor.wait_status("Created New Map")
        self.editor.click(*TOP_OPEN)
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*VEIL_PROBE, veiled, "the Open dialog")
        self.editor.click(*dlg_row(0))
        wait_until(lambda: reads_as(self.editor.ocr(*map(int, DLG_FILE_BOX)), "level1.zizudu"), WAIT,
                   "the row's name in the File box")
        self.editor.click(*DLG_ACTION)
        wait_unveiled(self.editor, "the Open dialog to close")
        self.editor.wait_status("Loaded projects/Untitled/maps/level1.zizudu")

        # The top bar's Save writes the loaded map under the name clicked in the list.
        os.remove(level1)
        self.editor.click(*TOP_SAVE)
        wait_until(lambda: os.path.exists(level1), WAIT, "level1.zizudu written again")
        self.assert_default_map(level1)
        self.assertFalse(os.path.exists(os.path.join(maps, "_autosave.zizudu")))


def put_level(workdir):
    """Project Untitled with two maps: level.zizudu, the newest, and sketch.zizudu."""
    maps = os.path.join(workdir, "projects", "Untitled", "maps")
    os.makedirs(maps)
    for name, when in (("sketch.zizudu", 1000), ("level.zizudu", 2000)):
        with open(os.path.join(maps, name), "wb") as f:
            f.write(map_bytes(entity_record(name[:5], "generic", (1.0, 2.0, 3.0), 0), 1))
        os.utime(os.path.join(maps, name), (when, when))


def entity_names(path):
    return [e["name"] for e in parse_map(read_bytes(path))[1]]


def add_light(editor):
    editor.click(*ADD_POINT_LIGHT)
    editor.wait_status("Added Point light at the 3D view focus.")


def open_to_recovery_prompt(editor):
    """Opens the only project from the manager a run begins in; waits for the recovery prompt."""
    editor.focus()
    editor.wait_pixel(*VEIL_PROBE, veiled, "the project manager")
    shift_click(editor, *pm_row(0))
    editor.move(*AWAY)
    wait_until(lambda: "Recover Unsaved Work" in editor.ocr(int(REC["x"]), int(REC["y"]), 600, 54),
               WAIT, "the recovery prompt")


def save_to(editor, name):
    """The top bar's Save; returns once the status names the file written."""
    editor.click(*TOP_SAVE)
    editor.wait_status("Saved to projects/Untitled/maps/" + name)


class SaveAimsAtTheOpenFile(EditorTestCase):
    """Undo after the open, a cancelled Open dialog and New never turn Save on another file."""
    keep_project_manager = True

    def prepare(self, workdir):
        put_level(workdir)

    def test_undo_after_open_cancel_in_open_and_new_leave_save_on_the_right_file(self):
        ed = self.editor
        level, sketch = (os.path.join(ed.workdir, p) for p in (LEVEL, LEVEL.replace("level", "sketch")))
        sketch_bytes = read_bytes(sketch)
        open_only_project(ed)
        ed.wait_status("Opened 'Untitled' - loaded latest map level.zizudu (0 brushes)")
        ed.focus()
        ed.key("ctrl+z")
        ed.wait_status("Undo performed.")
        save_to(ed, "level.zizudu")
        self.assertEqual(entity_names(level), ["level"])       # not the start-up map's Sun

        add_light(ed)
        ed.click(*TOP_OPEN)
        ed.move(*AWAY)
        ed.wait_pixel(*VEIL_PROBE, veiled, "the Open dialog")
        ed.click(*dlg_row(1))                                    # sketch, the older map
        wait_until(lambda: reads_as(ed.ocr(*map(int, DLG_FILE_BOX)), "sketch.zizudu"), WAIT,
                   "the row's name in the File box")
        ed.click(*DLG_CANCEL)
        wait_unveiled(ed, "the Open dialog to close")
        save_to(ed, "level.zizudu")
        self.assertEqual(entity_names(level), ["level", "Point_1"])

        ed.click(*TOP_NEW)
        ed.wait_status("Created New Map")
        add_light(ed)
        save_to(ed, "untitled.zizudu")
        self.assertEqual(entity_names(level), ["level", "Point_1"])
        self.assertEqual(read_bytes(sketch), sketch_bytes)


class SecondRun(unittest.TestCase):
    """Two runs of the program on one working folder."""

    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.stop)
        self.workdir = tempfile.mkdtemp(prefix="kirto-e2e-")
        self.addCleanup(shutil.rmtree, self.workdir, True)

    def start(self):
        editor = Editor(self.x, self.workdir)
        self.addCleanup(editor.stop)
        return editor

    def test_newer_autosave_offers_recovery_and_recover_loads_it(self):
        maps = os.path.join(self.workdir, "projects", "Untitled", "maps")
        os.makedirs(maps)
        with open(os.path.join(maps, "saved.zizudu"), "wb") as f:
            f.write(map_bytes())
        crafted = map_bytes(entity_record("Crafted", "generic", (1.0, 2.0, 3.0), 0), 1)
        with open(os.path.join(maps, "_autosave.zizudu"), "wb") as f:
            f.write(crafted)
        os.utime(os.path.join(maps, "saved.zizudu"), (1000, 1000))
        os.utime(os.path.join(maps, "_autosave.zizudu"), (2000, 2000))

        editor = self.start()
        open_to_recovery_prompt(editor)
        editor.focus()
        editor.key("Escape")                     # never closes the prompt
        editor.click(*REC_RECOVER)
        wait_unveiled(editor, "the recovery prompt to close")
        editor.wait_status("Recovered 0 brushes. Save As to keep it.")

        editor.click(*TOP_SAVE)
        recovered = os.path.join(maps, "recovered.zizudu")
        wait_until(lambda: os.path.exists(recovered), WAIT, "recovered.zizudu")
        self.assertEqual(read_bytes(recovered), crafted)
        self.assertEqual(read_bytes(os.path.join(maps, "_autosave.zizudu")), crafted)

    def test_unsaved_work_survives_a_close_and_saved_work_is_never_offered(self):
        put_level(self.workdir)
        autosave = os.path.join(self.workdir, "projects", "Untitled", "maps", "_autosave.zizudu")
        first = self.start()
        open_only_project(first)
        add_light(first)
        save_to(first, "level.zizudu")
        # Nothing is left to write: let an autosave attempt pass, then close.
        time.sleep(AUTOSAVE_INTERVAL + 5)
        first.request_close()
        self.assertEqual(first.wait_exit(), 0)
        self.assertFalse(os.path.exists(autosave))

        second = self.start()
        open_only_project(second)                  # no recovery prompt keeps the veil up
        second.wait_status("Opened 'Untitled' - loaded latest map level.zizudu (0 brushes)")
        add_light(second)
        second.request_close()
        self.assertEqual(second.wait_exit(), 0)
        self.assertEqual(entity_names(autosave), ["level", "Point_1", "Point_2"])

        third = self.start()
        open_to_recovery_prompt(third)
        third.click(*REC_RECOVER)
        wait_unveiled(third, "the recovery prompt to close")
        save_to(third, "recovered.zizudu")
        self.assertEqual(entity_names(os.path.join(self.workdir, "projects", "Untitled", "maps", "recovered.zizudu")),
                         ["level", "Point_1", "Point_2"])

    def test_a_saved_map_survives_a_restart(self):
        first = self.start()
        open_only_project(first)
        first.click(*ADD_POINT_LIGHT)
        first.wait_status("Added Point light at the 3D view focus.")
        first.click(*TOP_SAVE)
        saved = os.path.join(self.workdir, "projects", "Untitled", "maps", "untitled.zizudu")
        wait_until(lambda: os.path.exists(saved), WAIT, "untitled.zizudu")
        brushes, entities = parse_map(read_bytes(saved))
        self.assertEqual([b["name"] for b in brushes], ["Ground_Brush"])   # the first open keeps the map
        self.assertEqual([(e["name"], e["className"], e["kind"], e["position"]) for e in entities],
                         [("Sun", "light_environment", 3, (6.0, 10.0, 6.0)),
                          ("Point_1", "light", 1, (0.0, 2.0, 0.0))])
        first.request_close()
        self.assertEqual(first.wait_exit(), 0)

        second = self.start()
        open_only_project(second)
        second.wait_status("Opened 'Untitled' - loaded latest map untitled.zizudu (1 brushes)")
        file_dialog(second, TOP_SAVE_AS, "again.zizudu", "saving again.zizudu")
        again = os.path.join(self.workdir, "projects", "Untitled", "maps", "again.zizudu")
        wait_until(lambda: os.path.exists(again), WAIT, "again.zizudu")
        self.assertEqual(read_bytes(again), read_bytes(saved))


if __name__ == "__main__":
    harness.main()
