"""Unsaved work that its own project cannot take, a close signal and a second copy of the editor,
with the real program."""
import os
import shutil
import signal
import tempfile
import unittest

import harness
from harness import (TOP_SAVE, WAIT, Editor, EditorTestCase, XServer, open_only_project, read_bytes, read_like,
                     wait_until)
from projects_e2e import TOP_PROJECTS, add_light, entity_names, open_to_recovery_prompt, put_level, save_to

LOADED = "Opened 'Untitled' - loaded latest map level.zizudu (0 brushes)"
NOT_CLOSED = "Not closed - close again to discard the changes. Could not autosave"


def maps_dir(workdir, project="Untitled"):
    return os.path.join(workdir, "projects", project, "maps")


def wait_status_begins(editor, expected):
    """The status line begins with expected (a reason may follow that the test does not pin)."""
    wait_until(lambda: read_like(editor.status()[:len(expected)], expected), WAIT, "the status line %r" % expected)


class RescueWrites(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        put_level(workdir)

    def test_work_of_a_renamed_project_is_offered_by_the_project_opened_next(self):
        ed = self.editor
        open_only_project(ed)
        ed.wait_status(LOADED)
        add_light(ed)
        save_to(ed, "level.zizudu")
        add_light(ed)                            # unsaved: Point_2
        os.rename(os.path.join(ed.workdir, "projects", "Untitled"), os.path.join(ed.workdir, "projects", "Moved"))
        ed.click(*TOP_PROJECTS)                  # the list is read again: only Moved
        open_to_recovery_prompt(ed)
        self.assertEqual(entity_names(os.path.join(maps_dir(ed.workdir, "Moved"), "_autosave.zizudu")),
                         ["level", "Point_1", "Point_2"])

    def test_a_close_that_cannot_autosave_is_refused_once(self):
        ed = self.editor
        open_only_project(ed)
        add_light(ed)
        os.mkdir(os.path.join(maps_dir(ed.workdir), "_autosave.zizudu"))   # no file goes there, even for root
        ed.request_close()
        wait_status_begins(ed, NOT_CLOSED)
        self.assertTrue(ed.alive())
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)


class NoProject(EditorTestCase):
    def test_a_close_with_work_and_no_project_to_keep_it_is_refused_once(self):
        ed = self.editor
        add_light(ed)
        ed.request_close()
        wait_status_begins(ed, "Not closed - close again to discard the changes. Unsaved changes not autosaved")
        self.assertTrue(ed.alive())
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)


class TwoCopies(unittest.TestCase):
    """Two copies of the editor, each on an X server of its own, on one working folder."""

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="kirto-e2e-")
        self.addCleanup(shutil.rmtree, self.workdir, True)
        put_level(self.workdir)

    def start(self, open_project=True):
        x = XServer()
        self.addCleanup(x.stop)
        editor = Editor(x, self.workdir)
        self.addCleanup(editor.stop)
        if open_project:
            open_only_project(editor)
        return editor

    def test_neither_copy_overwrites_the_others_work_without_a_word(self):
        level = os.path.join(maps_dir(self.workdir), "level.zizudu")
        autosave = os.path.join(maps_dir(self.workdir), "_autosave.zizudu")
        a, b = self.start(), self.start()
        add_light(a)
        save_to(a, "level.zizudu")
        add_light(b)
        add_light(b)
        b.click(*TOP_SAVE)                       # the file is not as B read it: asked once
        b.wait_status("Could not save to projects/Untitled/maps/level.zizudu: changed on disk - Save again to overwrite it.")
        self.assertEqual(entity_names(level), ["level", "Point_1"])
        save_to(b, "level.zizudu")
        self.assertEqual(entity_names(level), ["level", "Point_1", "Point_2"])

        # A logout ends A with unsaved work while it rests: the work reaches the autosave.
        add_light(a)
        a.wait_resting("before the signal")
        os.kill(a.proc.pid, signal.SIGTERM)
        self.assertEqual(a.wait_exit(), 0)
        theirs = read_bytes(autosave)
        self.assertEqual(entity_names(autosave), ["level", "Point_1", "Point_2"])

        # B's close cannot replace A's autosave: refused once, then B's changes are dropped.
        add_light(b)
        b.request_close()
        wait_status_begins(b, NOT_CLOSED)
        b.request_close()
        self.assertEqual(b.wait_exit(), 0)
        self.assertEqual(read_bytes(autosave), theirs)
        open_to_recovery_prompt(self.start(open_project=False))   # the next open offers A's work


if __name__ == "__main__":
    harness.main()
