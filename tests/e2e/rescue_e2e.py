"""Unsaved work on every way out (a close, a signal, a project switch, Recover) lands in a file
that the status line or the log names, a second copy of the editor never replaces the other's work,
and a Save never replaces a file it has not seen, with the real program."""
import glob
import os
import shutil
import signal
import tempfile
import unittest

import harness
from harness import (AWAY, TOP_SAVE, WAIT, Editor, EditorTestCase, XServer, open_only_project, read_bytes, read_like,
                     wait_unveiled, wait_until)
from projects_e2e import (AUTOSAVE_INTERVAL, REC, REC_RECOVER, TOP_NEW, TOP_PROJECTS, add_light, entity_names,
                          open_to_recovery_prompt, put_level, save_to)

LOADED = "Opened 'Untitled' - loaded latest map level.zizudu (0 brushes)"
KEPT = "Unsaved work kept in "
REC_IGNORE = (REC["x"] + 72 + 396 + 198, REC_RECOVER[1])


def maps_dir(workdir, project="Untitled"):
    return os.path.join(workdir, "projects", project, "maps")


def rescue_files(folder):
    return sorted(glob.glob(os.path.join(folder, "unsaved-*.zizudu")))


def the_rescue_file(folder):
    """The one rescue map in folder, once it is there."""
    found = wait_until(lambda: rescue_files(folder), WAIT, "a rescue map in " + folder)
    if len(found) != 1:
        raise AssertionError("more than one rescue map: %r" % found)
    return found[0]


def wait_status_begins(editor, expected):
    """The status line begins with expected (a file name with the time in it may follow)."""
    wait_until(lambda: read_like(editor.status()[:len(expected)], expected), WAIT, "the status line %r" % expected)


def logged(editor, text):
    return any(text in line for line in editor.output())


def put_offer(workdir):
    """Project Untitled whose maps folder holds only an autosave, which its open offers."""
    put_level(workdir)
    maps = maps_dir(workdir)
    os.rename(os.path.join(maps, "sketch.zizudu"), os.path.join(maps, "_autosave.zizudu"))
    os.remove(os.path.join(maps, "level.zizudu"))


def block_maps(workdir, project="Untitled"):
    """A plain file where the maps folder was: no write gets in, whoever runs the test."""
    maps = maps_dir(workdir, project)
    os.rename(maps, maps + ".away")
    with open(maps, "wb") as f:
        f.write(b"x")


class Switch(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        put_level(workdir)

    def test_work_its_project_cannot_take_lands_in_the_project_opened(self):
        ed = self.editor
        open_only_project(ed)
        ed.wait_status(LOADED)
        add_light(ed)
        add_light(ed)                            # unsaved: Point_1, Point_2
        # The project is gone under the editor: neither its autosave nor a map beside it can be written.
        os.rename(os.path.join(ed.workdir, "projects", "Untitled"), os.path.join(ed.workdir, "projects", "Moved"))
        ed.click(*TOP_PROJECTS)                  # the list is read again: only Moved
        open_only_project(ed)
        wait_status_begins(ed, KEPT + "projects/Moved/maps/unsaved-")
        kept = the_rescue_file(maps_dir(ed.workdir, "Moved"))
        self.assertEqual(entity_names(kept), ["level", "Point_1", "Point_2"])
        self.assertFalse(os.path.exists(os.path.join(maps_dir(ed.workdir, "Moved"), "_autosave.zizudu")))


class Offer(EditorTestCase):
    """Work built before any project, kept open beside the autosave the project offers."""
    keep_project_manager = True

    def prepare(self, workdir):
        put_offer(workdir)

    def start_with_work_beside_the_offer(self):
        ed = self.editor
        ed.close_project_manager()
        add_light(ed)
        add_light(ed)                            # the start-up map's Sun, Point_1, Point_2
        ed.click(*TOP_PROJECTS)
        open_to_recovery_prompt(ed)              # no map to open: the work stays open beside the offer
        return ed

    def test_recover_keeps_the_map_it_replaces_in_a_map_of_its_own(self):
        ed = self.start_with_work_beside_the_offer()
        ed.click(*REC_RECOVER)
        wait_unveiled(ed, "the recovery prompt to close")
        wait_status_begins(ed, "Recovered 0 brushes; the map before is in unsaved-")
        self.assertEqual(entity_names(the_rescue_file(maps_dir(ed.workdir)))[-2:], ["Point_1", "Point_2"])
        self.assertEqual(entity_names(os.path.join(maps_dir(ed.workdir), "_autosave.zizudu")), ["sketc"])

    def test_a_close_beside_the_offer_writes_the_work_and_ends(self):
        ed = self.start_with_work_beside_the_offer()
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)
        kept = the_rescue_file(maps_dir(ed.workdir))
        self.assertEqual(entity_names(kept)[-2:], ["Point_1", "Point_2"])
        self.assertTrue(logged(ed, KEPT + os.path.relpath(kept, ed.workdir)), ed.output()[-5:])


class Refusals(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        put_level(workdir)

    def test_a_close_nothing_can_take_is_refused_once_with_its_reason_first(self):
        ed = self.editor
        open_only_project(ed)
        add_light(ed)
        block_maps(ed.workdir)
        ed.request_close()
        ed.wait_status("Cannot write maps: not a folder - not closed; close again to discard the work.")
        self.assertTrue(ed.alive())
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)
        self.assertTrue(logged(ed, "Close refused: the unsaved work could not be written"), ed.output()[-5:])

    def test_new_map_saved_over_an_untitled_map_it_never_saw_is_refused_once(self):
        ed = self.editor
        untitled = os.path.join(maps_dir(ed.workdir), "untitled.zizudu")
        shutil.copy2(os.path.join(maps_dir(ed.workdir), "sketch.zizudu"), untitled)   # earlier work, not the newest
        open_only_project(ed)
        ed.click(*TOP_NEW)
        ed.wait_status("Created New Map")
        add_light(ed)
        ed.click(*TOP_SAVE)
        ed.wait_status("Could not save untitled.zizudu: a file of that name exists - saving again replaces it.")
        self.assertEqual(entity_names(untitled), ["sketc"])
        save_to(ed, "untitled.zizudu")
        self.assertEqual([n[:6] for n in entity_names(untitled)], ["Point_"])


class NoProject(EditorTestCase):
    def test_a_close_with_work_and_no_project_writes_it_into_the_working_folder(self):
        ed = self.editor
        add_light(ed)
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)
        kept = the_rescue_file(ed.workdir)
        self.assertEqual(entity_names(kept)[-1], "Point_1")
        self.assertTrue(logged(ed, KEPT + os.path.basename(kept)), ed.output()[-5:])


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
        b.wait_status("Could not save level.zizudu: changed on disk - saving again replaces it.")
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

        # B's close cannot replace A's autosave: B's work becomes a map of its own.
        add_light(b)
        b.request_close()
        self.assertEqual(b.wait_exit(), 0)
        self.assertEqual(read_bytes(autosave), theirs)
        self.assertEqual(entity_names(the_rescue_file(maps_dir(self.workdir))), ["level", "Point_1", "Point_2", "Point_3"])
        open_to_recovery_prompt(self.start(open_project=False))   # the next open offers A's work

    def test_autosaved_work_another_copy_replaced_is_written_again_at_the_close(self):
        autosave = os.path.join(maps_dir(self.workdir), "_autosave.zizudu")
        a = self.start()
        add_light(a)
        add_light(a)
        # A's own timer: the work's only copy is the autosave, and A counts as clean.
        wait_until(lambda: os.path.exists(autosave), AUTOSAVE_INTERVAL + WAIT, "A's autosave")
        a.wait_status("Autosaved (1) to _autosave.zizudu")
        c = self.start(open_project=False)
        open_to_recovery_prompt(c)
        c.click(*REC_IGNORE)
        wait_unveiled(c, "the recovery prompt to close")
        add_light(c)
        c.request_close()                        # C may replace the autosave it was offered
        self.assertEqual(c.wait_exit(), 0)
        self.assertEqual(entity_names(autosave), ["level", "Point_1"])

        a.move(*AWAY)
        a.request_close()
        self.assertEqual(a.wait_exit(), 0)
        kept = the_rescue_file(maps_dir(self.workdir))
        self.assertEqual(entity_names(kept), ["level", "Point_1", "Point_2"])
        self.assertTrue(logged(a, KEPT + os.path.relpath(kept, self.workdir)), a.output()[-5:])


if __name__ == "__main__":
    harness.main()
