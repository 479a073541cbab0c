"""kirto.exe under wine keeps the user's work as the Linux program does: the end of the session
(`wineboot --end-session`) with unsaved work leaves the autosave written, a link out of the project
(a Unix link stands in for a junction) is refused, a project named "Café" is "Café" on disk and its
maps save, autosave and recover, and a change made by another writer within the same second is
refused once."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import harness  # noqa: E402
from harness import (AWAY, TOGGLE_ON, TOP_SAVE, VEIL_PROBE, WAIT, Editor, EditorTestCase, XServer, open_only_project,  # noqa: E402
                     pm_row, read_bytes, read_like, shift_click, veiled, wait_unveiled, wait_until)
from projects_e2e import (PM_CREATE, PM_NAME_BOX, REC, REC_RECOVER, TOP_SAVE_AS, add_light, entity_names,  # noqa: E402
                          file_dialog, put_level)

CAFE = "Caf\u00e9"


def shown(*parts):
    """A path as the Windows program shows it: one separator, the system's."""
    return "\\".join(parts)


def maps_dir(workdir, project="Untitled"):
    return os.path.join(workdir, "projects", project, "maps")


def wait_status_like(editor, expected):
    """The status line reads as expected but for OCR's slips (a backslash read as a bar or an l)."""
    wait_until(lambda: read_like(editor.status(width=1440), expected), WAIT, "the status line %r" % expected)


class OneProject(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        put_level(workdir)

    def test_the_end_of_the_session_leaves_the_unsaved_work_in_the_autosave(self):
        ed = self.editor
        open_only_project(ed)
        add_light(ed)
        subprocess.run(["wineboot", "--end-session"], env=harness.wine_env(self.x.display), capture_output=True,
                       timeout=WAIT)
        autosave = os.path.join(maps_dir(ed.workdir), "_autosave.zizudu")
        wait_until(lambda: os.path.exists(autosave), WAIT, "the autosave")
        ed.wait_exit()
        self.assertEqual(entity_names(autosave), ["level", "Point_1"])

    def test_a_change_within_the_same_second_is_refused_once(self):
        ed = self.editor
        level = os.path.join(maps_dir(ed.workdir), "level.zizudu")
        open_only_project(ed)
        add_light(ed)
        ed.click(*TOP_SAVE)
        wait_status_like(ed, "Saved to " + shown("projects", "Untitled", "maps", "level.zizudu"))
        # Another writer: the same number of bytes, and a time within the same whole second.
        mine = os.stat(level).st_mtime_ns
        data = bytearray(read_bytes(level))
        data[-1] ^= 1
        with open(level, "r+b") as f:
            f.write(data)
        second = mine - mine % 1000000000
        os.utime(level, ns=(second, second + (mine % 1000000000 + 500000000) % 1000000000))
        theirs = bytes(data)
        add_light(ed)
        ed.click(*TOP_SAVE)
        wait_status_like(ed, "Could not save level.zizudu: changed on disk - saving again replaces it.")
        self.assertEqual(read_bytes(level), theirs)
        ed.click(*TOP_SAVE)                       # asked once: the second Save overwrites
        wait_status_like(ed, "Saved to " + shown("projects", "Untitled", "maps", "level.zizudu"))
        self.assertEqual(entity_names(level), ["level", "Point_1", "Point_2"])


class LinkOut(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        """The project's maps folder is a link to a folder beside projects/."""
        os.makedirs(os.path.join(workdir, "outside"))
        os.makedirs(os.path.join(workdir, "projects", "Untitled"))
        os.symlink("../../outside", maps_dir(workdir))

    def test_a_save_through_a_link_out_of_the_project_is_refused(self):
        ed = self.editor
        open_only_project(ed)
        add_light(ed)
        file_dialog(ed, TOP_SAVE_AS, "w.zizudu", "saving w.zizudu")
        wait_status_like(ed, "Could not save to %s: link leads outside the project" %
                         shown("projects", "Untitled", "maps", "w.zizudu"))
        self.assertEqual(os.listdir(os.path.join(ed.workdir, "outside")), [])


def project_row(editor, name):
    """The project manager's row that reads like name (OCR may take the accent for a slip)."""
    def find():
        for i in range(3):
            x, y = pm_row(i)
            if read_like(editor.ocr(int(x - 100), int(y - 18), 300, 36), name, 0.7):
                return str(i)
        return None
    return int(wait_until(find, WAIT, "the row of project %r" % name))


class Cafe(EditorTestCase):
    keep_project_manager = True

    def setUp(self):
        """wine reads the keyboard's map once, at its start: a French one has a key for the é that
        xdotool types, which it would otherwise map to a spare key only for the moment."""
        self.x = XServer()
        self.addCleanup(self.x.stop)
        self.x.run("setxkbmap", "fr")
        self.editor = Editor(self.x)
        self.addCleanup(self.editor.stop)

    def test_a_project_named_cafe_is_cafe_on_disk_and_keeps_its_work(self):
        ed = self.editor
        # The interface font holds ASCII only and draws the é as "?", so the box is not read back:
        # the folder on disk shows what the program took.
        x, y, w, h = PM_NAME_BOX
        ed.click(x + w / 2, y + h / 2)
        ed.wait_pixel(int(x + w - 6), int(y + h / 2), lambda c: c == TOGGLE_ON, "the name box to be edited")
        ed.type_text(CAFE)
        ed.click(*PM_CREATE)
        ed.move(*AWAY)
        maps = maps_dir(ed.workdir, CAFE)
        wait_until(lambda: os.path.isdir(maps), WAIT, "the folder %r on disk" % CAFE)
        self.assertEqual(sorted(os.listdir(os.path.join(ed.workdir, "projects"))), sorted([CAFE, "Untitled"]))
        row = project_row(ed, CAFE)
        shift_click(ed, *pm_row(row))
        wait_unveiled(ed, "the project manager to close")
        add_light(ed)
        file_dialog(ed, TOP_SAVE_AS, "w.zizudu", "saving w.zizudu")
        wait_until(lambda: os.path.exists(os.path.join(maps, "w.zizudu")), WAIT, "w.zizudu in %s" % CAFE)
        add_light(ed)                             # unsaved: the close keeps it in the autosave
        ed.request_close()
        self.assertEqual(ed.wait_exit(), 0)
        self.assertEqual(entity_names(os.path.join(maps, "_autosave.zizudu")), ["Sun", "Point_1", "Point_2"])
        # The prompt offers an autosave newer than every map by the second: the save came earlier.
        saved = os.path.join(maps, "w.zizudu")
        os.utime(saved, (os.stat(saved).st_mtime - 10, os.stat(saved).st_mtime - 10))

        again = Editor(self.x, ed.workdir)
        self.addCleanup(again.stop)
        again.wait_pixel(*VEIL_PROBE, veiled, "the project manager")
        shift_click(again, *pm_row(project_row(again, CAFE)))
        again.move(*AWAY)
        wait_until(lambda: "Recover Unsaved Work" in again.ocr(int(REC["x"]), int(REC["y"]), 600, 54),
                   WAIT, "the recovery prompt")
        again.click(*REC_RECOVER)
        wait_unveiled(again, "the recovery prompt to close")
        file_dialog(again, TOP_SAVE_AS, "r.zizudu", "saving r.zizudu")
        wait_until(lambda: os.path.exists(os.path.join(maps, "r.zizudu")), WAIT, "r.zizudu in %s" % CAFE)
        self.assertEqual(entity_names(os.path.join(maps, "r.zizudu")), ["Sun", "Point_1", "Point_2"])


if __name__ == "__main__":
    harness.main()
