"""The window chrome and the console, driven with real clicks, keys and wheel steps."""
import re

import harness
from harness import (ADD_POINT_LIGHT, ADD_SPOT_LIGHT, AWAY, WAIT, EditorTestCase, STARTUP_STATUS, TOGGLE_ON,
                     palette_row, read_like, wait_until)
PALETTE_NAMES = ["Select", "Block", "Clip", "Vertex", "Entity", "Texture"]


def console_rect(width=1440, height=900):
    h = min(0.45 * height, 675)
    return 18, height - 49.5 - h - 13.5, width - 36, h


def is_on(colour):
    return colour == TOGGLE_ON


class Palette(EditorTestCase):
    def test_each_row_selects_its_tool(self):
        for i in [1, 2, 3, 4, 5, 0]:
            x, y, w, h = palette_row(i)
            self.editor.click(x + w / 2, y + h / 2)
            self.editor.move(*AWAY)
            self.editor.wait_pixel(int(x + 6), int(y + 6), is_on, PALETTE_NAMES[i] + " toggled on")
            shot = self.editor.screenshot()
            for j in range(6):
                if j != i:
                    rx, ry, _, _ = palette_row(j)
                    self.assertFalse(is_on(self.editor.pixel(shot, int(rx + 6), int(ry + 6))),
                                     "%s still on after choosing %s" % (PALETTE_NAMES[j], PALETTE_NAMES[i]))
            # The strip follows from the next frame: the Entity, Vertex and Clip tools show a row
            # of toggles there with the first one on; every other tool shows the brush shapes.
            toggles = PALETTE_NAMES[i] in ("Entity", "Vertex", "Clip")
            self.editor.wait_pixel(165, 66, lambda c: is_on(c) == toggles, "the tool strip of " + PALETTE_NAMES[i])


class Console(EditorTestCase):
    def test_opens_lists_lines_survives_escape_and_closes_with_x(self):
        x, y, w, h = console_rect()
        probe = (int(x + w - 40), int(y + 120))          # inside the list, right of any text
        self.editor.click(1001.25 + 84, 4.5 + 20)         # "Console"
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*probe, lambda c: max(c) < 40, "the console window")

        title = self.editor.ocr(int(x), int(y), 620, 49)
        # Tesseract reads a lone "0" as the letter O now and then.
        match = re.search(r"Console\s+([\dOo]+)\s+lines\s+([\dOo]+)\s+error", title)
        self.assertIsNotNone(match, "console title read as %r" % title)
        # Every library line on standard output is a console line, plus the start-up status line
        # (the lines reach this test a little later than the console).
        count = lambda g: int(match.group(g).replace("O", "0").replace("o", "0"))
        wait_until(lambda: len(self.editor.output()) + 1 >= count(1), WAIT, "the console's lines on standard output")
        self.assertEqual(count(1), len(self.editor.output()) + 1)
        self.assertEqual(count(2), 0)

        self.editor.focus()
        self.editor.key("Escape")
        self.editor.frame_sync()
        self.assertLess(max(self.editor.pixel(self.editor.screenshot(), *probe)), 40, "Escape closed the console")

        self.editor.click(x + w - 49.5 + 22, y + 4.5 + 20)   # "X"
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*probe, lambda c: c == harness.PANEL_FILL, "the console to close")


class TopBar(EditorTestCase):
    def test_wheel_scrolls_to_the_snap_switches_which_toggle(self):
        hint = (1440 - 12, 25)                             # the right-pointing scroll hint
        def hint_shown():
            return max(self.editor.pixel(self.editor.screenshot(), *hint)) < 200
        self.assertTrue(hint_shown())
        # Scroll until the hint disappears: the bar is then at its end, 1125 pixels along.
        def scrolled():
            self.editor.wheel(700, 25, -1)
            return not hint_shown()
        wait_until(scrolled, WAIT, "the top bar to scroll to its end")

        mov = (1683 - 1125 + 6, 4.5 + 6)
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*mov, is_on, "Mov shown on (snapping starts on)")
        self.editor.click(1683 - 1125 + 39, 25)
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*mov, lambda c: not is_on(c), "Mov switched off")
        self.editor.click(1683 - 1125 + 39, 25)
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*mov, is_on, "Mov switched on again")


# The status bar's text is read from its first 1100 pixels and must match closely.
STATUS_WIDTH, STATUS_RATIO = 1100, 0.95


class StatusBar(EditorTestCase):
    def test_shows_the_start_up_message(self):
        text = self.editor.status(STATUS_WIDTH)
        self.assertTrue(read_like(text, STARTUP_STATUS, STATUS_RATIO), "status bar read as %r" % text)

    def test_add_light_buttons_report_in_the_status_bar(self):
        # Below the palette: the "ADD LIGHT" label, then Point, Spot and Sun.
        self.editor.click(*ADD_POINT_LIGHT)
        self.editor.move(*AWAY)
        self.editor.wait_status("Added Point light at the 3D view focus.", STATUS_WIDTH, STATUS_RATIO)
        self.editor.click(*ADD_SPOT_LIGHT)
        self.editor.move(*AWAY)
        self.editor.wait_status("Added Spot light at the 3D view focus.", STATUS_WIDTH, STATUS_RATIO)


if __name__ == "__main__":
    harness.main()
