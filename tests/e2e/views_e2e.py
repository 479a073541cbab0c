"""The four views: where they sit for a window size, what they show, the 2D zoom and the fly camera."""
import harness
from harness import (AWAY, PANEL_FILL, TOGGLE_ON, WAIT, EditorTestCase, lower_part, matching_box, pixels_in,
                     view_rects, wait_until)

VIEW_3D_BACKGROUND = (40, 40, 40)
VIEW_2D_BACKGROUND = (0, 0, 0)

# The console window in a 1440x900 window: (18, 432, 1404, 405), its list from y 486.
CONSOLE_BUTTON = (1001.25 + 84, 4.5 + 20)
CONSOLE_FOLLOW = (1165.5 + 6, 436.5 + 6)      # inside the "Follow" toggle, right of its label
CONSOLE_CLOSE = (1372.5 + 22, 436.5 + 20)     # "X"


def ground_3d(r, g, b):
    """The selected ground brush in the 3D view: its texture tinted red."""
    return r > 90 and r > 2 * g and r > 2 * b


def selected_wire(r, g, b):
    """The selected brush's wireframe in a 2D view: yellow."""
    return r > 200 and g > 200 and b < 80


class Views(EditorTestCase):
    def check_layout(self, width, height):
        """Each view rectangle shows its own background and the ground brush."""
        shot = self.editor.screenshot()
        self.assertEqual((shot[0], shot[1]), (width, height))
        rects = view_rects(width, height)
        for kind, rect in enumerate(rects):
            pixels = pixels_in(shot, rect)
            background = VIEW_3D_BACKGROUND if kind == 0 else VIEW_2D_BACKGROUND
            share = sum(1 for p in pixels if p == background) / float(len(pixels))
            self.assertGreater(share, 0.3, "view %d background" % kind)
            if kind == 0:
                self.assertIsNotNone(matching_box(shot, lower_part(rect), ground_3d), "ground in the 3D view")
            else:
                self.assertIsNotNone(matching_box(shot, rect, selected_wire), "ground in view %d" % kind)
        # Outside the four views (right of them, below them) there is no view background.
        x, y, w, h = rects[3]
        for px, py in ((int(x + w) + 3, int(y + h / 2)), (int(x + w / 2), int(y + h) + 3), (158, int(y))):
            self.assertNotIn(self.editor.pixel(shot, px, py), (VIEW_2D_BACKGROUND, VIEW_3D_BACKGROUND))
        return shot

    def top_box(self, width=1440, height=900):
        shot = self.editor.screenshot()
        return matching_box(shot, view_rects(width, height)[1], selected_wire)

    def top_width(self):
        """Width of the ground's wireframe in the Top view from one screenshot; 0 when not seen."""
        box = self.top_box()
        return box[2] - box[0] if box else 0

    def test_start_shows_the_four_views_with_the_ground(self):
        shot = self.check_layout(1440, 900)
        # The 2D views look at the 3D camera's target, the origin: the ground is centred in Top.
        x, y, w, h = view_rects(1440, 900)[1]
        box = matching_box(shot, (x, y, w, h), selected_wire)
        self.assertAlmostEqual((box[0] + box[2]) / 2.0, x + w / 2, delta=3)
        self.assertAlmostEqual((box[1] + box[3]) / 2.0, y + h / 2, delta=3)
        # 16 world units across 369 pixels: the 10-unit ground is about 231 pixels wide.
        self.assertAlmostEqual(box[2] - box[0], 231, delta=4)

    def test_resizing_lays_the_views_out_again(self):
        self.editor.resize(1100, 700)
        rects = view_rects(1100, 700)

        def centred_in_new_top():
            box = matching_box(self.editor.screenshot(), rects[1], selected_wire)
            x, y, w, h = rects[1]
            return box and abs((box[0] + box[2]) / 2.0 - (x + w / 2)) <= 3 and abs((box[1] + box[3]) / 2.0 - (y + h / 2)) <= 3
        wait_until(centred_in_new_top, WAIT, "the Top view at its new place")
        self.check_layout(1100, 700)
        self.editor.resize(1440, 900)
        wait_until(lambda: abs(self.top_width() - 231) <= 4, WAIT, "the views back at the start layout")
        self.check_layout(1440, 900)

    def test_wheel_over_a_2d_view_zooms_all_three(self):
        rects = view_rects(1440, 900)
        front = lambda: matching_box(self.editor.screenshot(), rects[2], selected_wire)
        start_top, start_front = self.top_box(), front()
        # Over the 3D view without the right button the wheel does nothing to the 2D views.
        self.editor.wheel(rects[0][0] + 100, rects[0][1] + 300, 2)
        self.editor.frame_sync()
        self.assertEqual(self.top_box(), start_top)
        # Two steps up over Top: zoom 16 -> 13, so the ground grows by 16/13.
        self.editor.wheel(rects[1][0] + 180, rects[1][1] + 180, 2)
        wait_until(lambda: self.top_width() > start_top[2] - start_top[0] + 20, WAIT, "the Top view to zoom in")
        grown = self.top_box()
        self.assertAlmostEqual((grown[2] - grown[0]) / float(start_top[2] - start_top[0]), 16.0 / 13.0, delta=0.03)
        self.assertGreater(front()[2] - front()[0], start_front[2] - start_front[0] + 20)
        # Down again over Side: back where it started.
        self.editor.wheel(rects[3][0] + 180, rects[3][1] + 180, -2)
        wait_until(lambda: self.top_box() == start_top, WAIT, "the zoom back at 16")

    def test_wheel_over_the_console_leaves_the_2d_zoom_alone(self):
        rects = view_rects(1440, 900)
        over_side = (rects[3][0] + 170, 600)     # the console's list, where it lies over the Side view
        self.editor.click(*CONSOLE_BUTTON)
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*CONSOLE_FOLLOW, lambda c: c == TOGGLE_ON, "the console, following")
        start = self.top_box()
        # Two steps toward the user scroll the console back, which turns Follow off; over the Side
        # view they would zoom out.
        self.editor.wheel(*over_side, -2)
        self.editor.wait_pixel(*CONSOLE_FOLLOW, lambda c: c != TOGGLE_ON, "the console to scroll back")
        self.editor.frame_sync()
        self.assertEqual(self.top_box(), start)
        # Closed, the same steps at the same place zoom out: 16 -> 19.
        self.editor.click(*CONSOLE_CLOSE)
        self.editor.move(*AWAY)
        self.editor.wait_pixel(*CONSOLE_FOLLOW, lambda c: c == PANEL_FILL, "the console to close")
        self.editor.wheel(*over_side, -2)
        wait_until(lambda: 0 < self.top_width() < start[2] - start[0] - 20, WAIT, "the Top view to zoom out")

    def test_cursor_readout_follows_the_mouse_into_a_2d_view(self):
        rects = view_rects(1440, 900)
        x, y, w, h = rects[1]
        box = (x + 9, y + h - 45, 337.5, 36)

        def readout_pixels():
            return sum(1 for (r, g, b) in pixels_in(self.editor.screenshot(), box) if 8 < r < 30 and b > r)
        self.editor.move(rects[0][0] + 100, rects[0][1] + 300)
        self.editor.frame_sync()
        self.assertLess(readout_pixels(), 50)
        self.editor.move(x + 200, y + 200)
        wait_until(lambda: readout_pixels() > 500, WAIT, "the cursor readout in the Top view")

    def test_fly_camera_moves_with_the_right_button_and_the_2d_views_follow(self):
        rects = view_rects(1440, 900)
        start = self.top_box()
        self.editor.focus()
        self.editor.move(rects[0][0] + 100, rects[0][1] + 300)
        self.editor.mouse_down(3)
        self.editor.x.run("xdotool", "keydown", "w")
        try:
            # Flying toward -X and -Z pans the Top view's ground right and down (or out of sight).
            def followed():
                box = self.top_box()
                return box is None or (box[0] > start[0] + 15 and box[1] > start[1] + 15)
            wait_until(followed, WAIT, "the 2D views to follow the flight")
        finally:
            self.editor.x.run("xdotool", "keyup", "w")
            self.editor.mouse_up(3)
        # Released: the flight stops.
        self.editor.frame_sync()
        still = self.top_box()
        self.editor.frame_sync()
        self.assertEqual(self.top_box(), still)


if __name__ == "__main__":
    harness.main()
