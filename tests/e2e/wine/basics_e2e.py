"""kirto.exe under wine: the start to the project manager; a project created, a block drawn, saved,
closed and opened again, with maps byte for byte as the Linux program writes them; a kill after an
autosave, then Recover. Other wine cases live in files of their own beside this one."""
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import harness  # noqa: E402
from harness import (ADD_POINT_LIGHT, AWAY, STARTUP_STATUS, TOGGLE_ON, VEIL_PROBE, WAIT, Editor,  # noqa: E402
                     EditorTestCase, XServer, palette_row, parse_map, pm_row, read_bytes, read_like, reads_as,
                     shift_click, veiled, wait_unveiled, wait_until)
from projects_e2e import (AUTOSAVE_INTERVAL, PM, PM_CREATE, PM_NAME_BOX, REC_RECOVER, TOP_SAVE_AS,  # noqa: E402
                          entity_names, file_dialog, open_to_recovery_prompt, save_to)
from tools_e2e import BLOCK, top_px  # noqa: E402

PROJECT = "Winbench"


def project_row(editor, name):
    """The project manager's row that reads name: rows follow the folder listing, which the two
    systems need not order alike."""
    def find():
        for i in range(4):
            x, y = pm_row(i)
            if reads_as(editor.ocr(int(x - 100), int(y - 18), 300, 36), name):
                return str(i)
        return None
    return int(wait_until(find, WAIT, "the row of project %r" % name))


def make_and_save_a_block(editor):
    """Creates the project, opens it, draws one block with the Block tool and saves the map with
    Save As; returns the saved file's path."""
    editor.enter_text(PM_NAME_BOX, PROJECT)
    editor.click(*PM_CREATE)
    editor.move(*AWAY)
    maps = os.path.join(editor.workdir, "projects", PROJECT, "maps")
    wait_until(lambda: os.path.isdir(maps), WAIT, "the new project's maps folder")
    editor.wait_status("Created project '%s'" % PROJECT)
    shift_click(editor, *pm_row(project_row(editor, PROJECT)))
    wait_unveiled(editor, "the project manager to close")
    editor.wait_status("Opened '%s' - no maps yet, keeping the current map" % PROJECT)

    x, y, w, h = palette_row(BLOCK)
    editor.click(x + w / 2, y + h / 2)
    editor.move(*AWAY)
    editor.wait_pixel(int(x + 6), int(y + 6), lambda c: c == TOGGLE_ON, "the Block tool on")
    editor.move(*top_px(1.1, 3.9))
    editor.mouse_down(1)
    editor.move(*top_px(4.1, 0.1))
    editor.mouse_up(1)
    editor.key("Return")
    editor.wait_status("Created Brush #2")
    file_dialog(editor, TOP_SAVE_AS, "w1.zizudu", "saving w1.zizudu")
    saved = os.path.join(maps, "w1.zizudu")
    wait_until(lambda: os.path.exists(saved), WAIT, "w1.zizudu in the project's maps folder")
    return saved


class Start(EditorTestCase):
    keep_project_manager = True

    def test_the_window_shows_the_project_manager_over_the_editor(self):
        self.assertEqual(self.editor.title(), "kirto")
        self.assertEqual(self.editor.size(), (1440, 900))
        self.editor.wait_pixel(*VEIL_PROBE, veiled, "the project manager's veil")
        self.assertIn("Project Manager", self.editor.ocr(int(PM["x"]), int(PM["y"]), 600, 54))
        self.assertTrue(os.path.isdir(os.path.join(self.editor.workdir, "projects", "Untitled", "maps")))
        self.assertTrue(read_like(self.editor.status(), STARTUP_STATUS), self.editor.status())


class Runs(unittest.TestCase):
    """Runs of the program on one working folder that outlives them."""

    def setUp(self):
        self.x = XServer()
        self.addCleanup(self.x.stop)

    def workdir(self):
        path = tempfile.mkdtemp(prefix="kirto-e2e-")
        self.addCleanup(shutil.rmtree, path, True)
        return path

    def start(self, workdir, linux=False):
        editor = Editor(self.x, workdir, linux=linux)
        self.addCleanup(editor.stop)
        return editor

    def saved_and_reopened(self, linux):
        """A block saved, the program closed, started again on the project's latest map and that
        saved again: both files' bytes."""
        workdir = self.workdir()
        first = self.start(workdir, linux)
        saved = make_and_save_a_block(first)
        first.request_close()
        self.assertEqual(first.wait_exit(), 0)

        second = self.start(workdir, linux)
        shift_click(second, *pm_row(project_row(second, PROJECT)))
        wait_unveiled(second, "the project manager to close")
        second.wait_status("Opened '%s' - loaded latest map w1.zizudu (2 brushes)" % PROJECT)
        file_dialog(second, TOP_SAVE_AS, "w2.zizudu", "saving w2.zizudu")
        again = os.path.join(os.path.dirname(saved), "w2.zizudu")
        wait_until(lambda: os.path.exists(again), WAIT, "w2.zizudu")
        second.request_close()
        self.assertEqual(second.wait_exit(), 0)
        return read_bytes(saved), read_bytes(again)

    def test_a_block_saved_and_opened_again_is_the_map_the_linux_program_writes(self):
        saved, again = self.saved_and_reopened(linux=False)
        brushes, _ = parse_map(saved)
        self.assertEqual([(b["name"], b["origin"], b["size"]) for b in brushes],
                         [("Ground_Brush", (0.0, -0.5, 0.0), (10.0, 1.0, 10.0)),
                          ("Brush_1", (2.5, 0.0, 2.0), (3.0, 2.0, 4.0))])
        self.assertEqual(again, saved)
        self.assertEqual(self.saved_and_reopened(linux=True), (saved, again))

    def test_work_autosaved_before_a_kill_is_recovered(self):
        workdir = self.workdir()
        first = self.start(workdir)
        shift_click(first, *pm_row(0))                   # Untitled, the only project
        wait_unveiled(first, "the project manager to close")
        first.click(*ADD_POINT_LIGHT)
        first.wait_status("Added Point light at the 3D view focus.")
        autosave = os.path.join(workdir, "projects", "Untitled", "maps", "_autosave.zizudu")
        wait_until(lambda: os.path.exists(autosave), AUTOSAVE_INTERVAL + WAIT, "the autosave")
        first.kill()

        second = self.start(workdir)
        open_to_recovery_prompt(second)
        second.click(*REC_RECOVER)
        wait_unveiled(second, "the recovery prompt to close")
        save_to(second, "recovered.zizudu")
        self.assertEqual(entity_names(os.path.join(workdir, "projects", "Untitled", "maps", "recovered.zizudu")),
                         ["Sun", "Point_1"])


if __name__ == "__main__":
    harness.main()
