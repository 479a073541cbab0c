"""The Render view on the GPU with the real program: with the shader files in its working folder a
box floating over the ground casts a shadow that the CPU shading never draws, while a lone lamp
lights its floor alike with shadows on and off; with a broken lighting shader the view falls back
to the CPU shading."""
import os
import shutil
import struct

import harness
from harness import AWAY, WAIT, EditorTestCase, open_only_project, wait_until

SHADERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "shaders")
RENDER_BUTTON = (540 + 73, 4.5 + 20)
IMAGE_W, IMAGE_H = 800, 600
# Pixels of the Render image from the start camera, which looks from (12, 10, 12) at the origin:
UNDER_BOX = (400, 300)                                   # the ground at the origin, under the box and the sun
OPEN_GROUND = (400, 480)                                 # the ground at about (3, 0, 3), in the open
SKY = (400, 10)                                          # the Day sky above the horizon
POOL = (370, 285, 60, 30)                                # the floor round the origin, under the lamp
FAR_FLOOR = (385, 225, 30, 15)                           # the floor by the room's far corner, out of the lamp's pool
SET_TAB = (900 + 11.25 + 5.5 * (540 - 22.5) / 7, 112.5 + 36)
SHADOWS_BOX = (900 + 33.75 + 15.75, 501.75 + 15.75)      # the Settings tab's "Shadows" check box

# A cube's faces by corner number (bit 0: +X, bit 1: +Y, bit 2: +Z), counter-clockwise from outside.
CUBE_FACES = [(1, 3, 7, 5), (0, 4, 6, 2), (2, 6, 7, 3), (0, 1, 5, 4), (4, 5, 7, 6), (0, 2, 3, 1)]


def name32(text):
    return text.encode().ljust(32, b"\0")


def cube_record(name, origin, size, colour):
    half = [s / 2.0 for s in size]
    verts = [tuple(half[a] * (1 if (i >> a) & 1 else -1) for a in range(3)) for i in range(8)]
    out = name32(name) + struct.pack("<3f3f3f4B2iB3f", *origin, 0, 0, 0, *size, *colour, -1, 0, 0, 0, 0, 0)
    out += struct.pack("<i", 8) + b"".join(struct.pack("<3f", *v) for v in verts)
    out += struct.pack("<i", len(CUBE_FACES))
    for face in CUBE_FACES:
        # Texture -1, scale 2 x 2, no offset or turn, World projection, no flips, white tint.
        out += struct.pack("<i4i", 4, *face) + struct.pack("<i5f3B4B", -1, 2, 2, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255)
    return out


def light_record(name, class_name, kind, position, rotation, brightness, light_range):
    """A white light that casts light, cones of 25 and 45 degrees."""
    return (name32(name) + name32(class_name) + struct.pack("<3f3ff3i", *position, *rotation, 1, -1, -1, kind) +
            struct.pack("<4B4f2Bf", 255, 255, 255, 255, brightness, light_range, 25, 45, 1, 0, 10))


def map_bytes(brushes, entities):
    return (b"ZIZUDU2\0" + struct.pack("<ii", 3, len(brushes)) + b"".join(brushes) +
            struct.pack("<i", len(entities)) + b"".join(entities))


GROUND = cube_record("Ground", (0, -0.5, 0), (20, 1, 20), (200, 200, 200, 255))


def shadow_map_bytes():
    """The ground, a box floating over its middle and a white sun of brightness 1 straight above."""
    box = cube_record("Box", (0, 3, 0), (3, 2, 3), (255, 255, 255, 255))
    return map_bytes([GROUND, box], [light_record("Sun", "light_environment", 3, (0, 10, 0), (90, 0, 0), 1.0, 100)])


def lamp_room_bytes():
    """The ground walled round without a ceiling, and one point lamp over its middle facing level."""
    walls = [cube_record("Wall", centre, size, (255, 255, 255, 255)) for centre, size in (
        ((0, 1.5, -9.75), (20, 3, 0.5)), ((0, 1.5, 9.75), (20, 3, 0.5)),
        ((-9.75, 1.5, 0), (0.5, 3, 20)), ((9.75, 1.5, 0), (0.5, 3, 20)))]
    return map_bytes([GROUND] + walls, [light_record("Lamp", "light", 1, (0, 2.5, 0), (0, 0, 0), 1.5, 12)])


def on_screen(image_px, width=1440, height=900):
    """Where a pixel of the Render image shows in the Render window: the image keeps its shape, centred."""
    w = max(min(1530, width - 45), 450)
    h = max(min(1170, height - 45), 360)
    x, y = max(0, (width - w) / 2.0), max(0, (height - h) / 2.0)
    ax, ay, aw, ah = x + 18, y + 63, w - 36, max(10, h - 63 - 76.5)
    scale = min(aw / IMAGE_W, ah / IMAGE_H)
    ix, iy = image_px
    return (int(ax + (aw - IMAGE_W * scale) / 2 + ix * scale), int(ay + (ah - IMAGE_H * scale) / 2 + iy * scale))


def day_sky(colour):
    r, _, b = colour
    return b > 200 and b > r + 40


def grey(colour):
    r, g, b = colour
    return abs(r - g) < 8 and abs(g - b) < 8 and r > 60


def mean_grey(shot, image_rect):
    """The mean red of a rectangle of the Render image as the window shows it."""
    x, y, w, h = image_rect
    (x0, y0), (x1, y1) = on_screen((x, y)), on_screen((x + w, y + h))
    reds = [r for r, _, _ in harness.pixels_in(shot, (x0, y0, x1 - x0, y1 - y0), 1)]
    return sum(reds) / float(len(reds))


class GpuRenderCase(EditorTestCase):
    """The shadow map scene as the only map of project Untitled, with the shader files beside it."""
    keep_project_manager = True
    broken = None                                        # a shader file to break
    map_file, map_brushes, scene = "shadow.zizudu", 2, staticmethod(shadow_map_bytes)

    def prepare(self, workdir):
        target = os.path.join(workdir, "resources", "shaders")
        shutil.copytree(SHADERS, target)
        if self.broken:
            with open(os.path.join(target, self.broken), "a") as f:
                f.write("\nthis line is not GLSL\n")
        maps = os.path.join(workdir, "projects", "Untitled", "maps")
        os.makedirs(maps)
        with open(os.path.join(maps, self.map_file), "wb") as f:
            f.write(self.scene())

    def open_project(self):
        open_only_project(self.editor)
        loaded = "loaded latest map %s (%d brushes)" % (self.map_file, self.map_brushes)
        self.editor.wait_status("Opened 'Untitled' - " + loaded)

    def render_ground(self, opened=False):
        """Opens the project (unless opened) and the Render view; returns the ground's colour under
        the box and in the open."""
        ed = self.editor
        if not opened:
            self.open_project()
        ed.click(*RENDER_BUTTON)
        ed.move(*AWAY)
        under, open_ground = on_screen(UNDER_BOX), on_screen(OPEN_GROUND)

        def both_ground():
            shot = ed.screenshot()
            colours = ed.pixel(shot, *under), ed.pixel(shot, *open_ground)
            return colours if day_sky(ed.pixel(shot, *on_screen(SKY))) and all(grey(c) for c in colours) else None
        return wait_until(both_ground, WAIT, "the ground in the Render view")

    def close_render_view(self):
        ed = self.editor
        ed.click(*AWAY, button=3)
        sky = on_screen(SKY)
        wait_until(lambda: not day_sky(ed.pixel(ed.screenshot(), *sky)), WAIT, "the Render window to close")


class GpuShadow(GpuRenderCase):
    def test_a_floating_box_shadows_the_ground_beneath_it(self):
        under, open_ground = self.render_ground()
        # The lit ground is the brush colour (200) lit by ambient and sun; the shadow keeps the ambient only.
        self.assertLess(under[0] * 4, open_ground[0] * 3, (under, open_ground))
        self.assertLess(open_ground[0], 250, "the GPU shows the brush colour, not the CPU fallback's white")


class LampAlone(GpuRenderCase):
    map_file, map_brushes, scene = "lamp.zizudu", 5, staticmethod(lamp_room_bytes)

    def test_a_lone_lamp_lights_its_floor_alike_with_shadows_on_and_off(self):
        ed = self.editor
        self.render_ground()
        shot = ed.screenshot()
        pool_on, far_on = mean_grey(shot, POOL), mean_grey(shot, FAR_FLOOR)
        self.close_render_view()
        ed.click(*SET_TAB)
        wait_until(lambda: "Editor Settings" in ed.ocr(918, 172, 225, 26), WAIT, "the Settings tab")
        ed.move(*AWAY)
        ticked = ed.pixel(ed.screenshot(), *SHADOWS_BOX)
        ed.click(*SHADOWS_BOX)
        ed.move(*AWAY)
        ed.wait_pixel(*SHADOWS_BOX, lambda c: c != ticked, "Shadows unticked")
        self.render_ground(opened=True)
        pool_off = mean_grey(ed.screenshot(), POOL)
        # The shadow map looks along the lamp's facing from outside the walls: were it to darken
        # the lamp's own light, the pool would be no brighter than the far floor.
        self.assertGreater(pool_on, far_on + 40, (pool_on, far_on))
        self.assertAlmostEqual(pool_on, pool_off, delta=2)


class ReloadShaders(GpuRenderCase):
    broken = "depth.fs"

    def test_reload_brings_shadows_back_once_the_depth_shader_is_mended(self):
        ed = self.editor
        self.open_project()
        tw = (540 - 22.5) / 7
        ed.click(900 + 11.25 + 5.5 * tw, 112.5 + 36)              # the "Set" tab
        wait_until(lambda: "Editor Settings" in ed.ocr(918, 172, 225, 26), WAIT, "the Settings tab")
        ed.wheel(1170, 600, -2)                                   # two steps of 67.5 down the tab
        reload_button = (1170, 866.25 - 135 + 24.75)              # it stays there whatever the status says
        ed.click(*reload_button)
        ed.wait_status("Renderer: GPU  shadows=no  ssao=no  shadowmap=1536px  - shadows and occlusion off: "
                       "depth shader failed to load", width=1440)
        shutil.copy(os.path.join(SHADERS, "depth.fs"), os.path.join(ed.workdir, "resources", "shaders"))
        ed.click(*reload_button)
        ed.wait_status("Renderer: GPU  shadows=yes  ssao=yes  shadowmap=1536px")
        under, open_ground = self.render_ground(opened=True)
        self.assertLess(under[0] * 4, open_ground[0] * 3, (under, open_ground))


class CpuFallback(GpuRenderCase):
    broken = "lighting.fs"

    def test_a_broken_lighting_shader_leaves_the_view_on_cpu_shading(self):
        under, open_ground = self.render_ground()
        # One flat colour per face: no shadow, the white of the fallback lit by the sun.
        self.assertEqual(under, open_ground)
        self.assertGreater(open_ground[0], 240)


if __name__ == "__main__":
    harness.main()
