"""The Render view: opened from the top bar, lit by CPU shading, closed by its buttons and a right click."""
import harness
from harness import WAIT, EditorTestCase, matching_box, pixels_in, wait_until

RENDER_BUTTON = (540 + 73, 4.5 + 20)
AWAY = (1200, 600)                     # right of the views, over nothing that reacts


def render_window(width=1440, height=900):
    w = max(min(1530, width - 45), 450)
    h = max(min(1170, height - 45), 360)
    return max(0, (width - w) / 2.0), max(0, (height - h) / 2.0), w, h


def image_area(width=1440, height=900):
    x, y, w, h = render_window(width, height)
    return x + 18, y + 63, w - 36, max(10, h - 63 - 76.5)


def day_sky(r, g, b):
    """Somewhere in the Day gradient, from (74,146,222) to (200,226,245)."""
    return 218 <= b <= 247 and g > 140 and r < 205 and b > r


def ground(r, g, b):
    """The lit ground: a grey checker, neither sky nor black."""
    return abs(r - g) < 12 and abs(g - b) < 12 and r > 60


class RenderView(EditorTestCase):
    def sky_pixels(self):
        return sum(1 for p in pixels_in(self.editor.screenshot(), image_area(), 8) if day_sky(*p))

    def open_render_view(self):
        self.editor.click(*RENDER_BUTTON)
        self.editor.move(*AWAY)
        wait_until(lambda: self.sky_pixels() > 5000, WAIT, "the Render view's sky")
        return image_area()

    def test_render_view_shows_the_ground_lit_unlike_the_3d_view(self):
        area = self.open_render_view()
        shot = self.editor.screenshot()
        box = matching_box(shot, area, ground)
        self.assertIsNotNone(box, "the lit ground in the Render view")
        # The 800 x 600 image keeps its shape, centred between bands of the window's fill.
        x, y, w, h = area
        sky = matching_box(shot, area, day_sky)
        self.assertAlmostEqual(sky[2] - sky[0], h * 800 / 600, delta=3)
        self.assertAlmostEqual((sky[0] + sky[2]) / 2.0, x + w / 2.0, delta=2)
        # The same camera as the 3D view, but lit, not red, and under a sky.
        colours = [p for p in pixels_in(shot, area, 4) if ground(*p)]
        self.assertGreater(len(colours), 1000)
        # The sun shines on the top face, so the ground is lit above the ambient level
        # (ambient alone would leave the lighter checker square at 200 x 0.35 = 70).
        self.assertGreater(max(r for r, _, _ in colours), 120)
        self.assertTrue(all(not (r > 90 and r > 2 * g) for r, g, _ in colours))

    def test_close_button_and_right_click_close_it(self):
        x, y, w, h = render_window()
        self.open_render_view()
        self.editor.click(x + (w - 225) / 2 + 100, y + h - 76.5 + 9 + 25)    # "Close"
        self.editor.move(*AWAY)
        wait_until(lambda: self.sky_pixels() < 100, WAIT, "the Render window to close")
        self.open_render_view()
        self.editor.click(*AWAY, button=3)
        wait_until(lambda: self.sky_pixels() < 100, WAIT, "a right click to close the Render window")


if __name__ == "__main__":
    harness.main()
