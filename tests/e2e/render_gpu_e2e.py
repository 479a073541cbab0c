"""The Render view on the GPU with the real program: with the shader files in its working folder a
box floating over the ground casts a shadow that the CPU shading never draws; with a broken
lighting shader the view falls back to the CPU shading."""
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


def sun_record():
    """A white sun of brightness 1 pointing straight down."""
    return (name32("Sun") + name32("light_environment") + struct.pack("<3f3ff3i", 0, 10, 0, 90, 0, 0, 1, -1, -1, 3) +
            struct.pack("<4B4f2Bf", 255, 255, 255, 255, 1.0, 100, 25, 45, 1, 0, 10))


def shadow_map_bytes():
    brushes = [cube_record("Ground", (0, -0.5, 0), (20, 1, 20), (200, 200, 200, 255)),
               cube_record("Box", (0, 3, 0), (3, 2, 3), (255, 255, 255, 255))]
    return (b"ZIZUDU2\0" + struct.pack("<ii", 3, len(brushes)) + b"".join(brushes) +
            struct.pack("<i", 1) + sun_record())


def on_screen(image_px, width=1440, height=900):
    """Where a pixel of the Render image shows in the Render window: the image keeps its shape, centred."""
    w = max(min(1530, width - 45), 450)
    h = max(min(1170, height - 45), 360)
    x, y = max(0, (width - w) / 2.0), max(0, (height - h) / 2.0)
    ax, ay, aw, ah = x + 18, y + 63, w - 36, max(10, h - 63 - 76.5)
    scale = min(aw / IMAGE_W, ah / IMAGE_H)
    ix, iy = image_px
    return (int(ax + (aw - IMAGE_W * scale) / 2 + ix * scale), int(ay + (ah - IMAGE_H * scale) / 2 + iy * scale))


def grey(colour):
    r, g, b = colour
    return abs(r - g) < 8 and abs(g - b) < 8 and r > 60


class GpuRenderCase(EditorTestCase):
    """The shadow map scene as the only map of project Untitled, with the shader files beside it."""
    keep_project_manager = True
    broken = None                                        # a shader file to break

    def prepare(self, workdir):
        target = os.path.join(workdir, "resources", "shaders")
        shutil.copytree(SHADERS, target)
        if self.broken:
            with open(os.path.join(target, self.broken), "a") as f:
                f.write("\nthis line is not GLSL\n")
        maps = os.path.join(workdir, "projects", "Untitled", "maps")
        os.makedirs(maps)
        with open(os.path.join(maps, "shadow.zizudu"), "wb") as f:
            f.write(shadow_map_bytes())

    def open_project(self):
        open_only_project(self.editor)
        self.editor.wait_status("Opened 'Untitled' - loaded latest map shadow.zizudu (2 brushes)")

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
            r, g, b = ed.pixel(shot, *on_screen(SKY))
            colours = ed.pixel(shot, *under), ed.pixel(shot, *open_ground)
            return colours if b > 200 and b > r + 40 and all(grey(c) for c in colours) else None
        return wait_until(both_ground, WAIT, "the ground in the Render view")


class GpuShadow(GpuRenderCase):
    def test_a_floating_box_shadows_the_ground_beneath_it(self):
        under, open_ground = self.render_ground()
        # The lit ground is the brush colour (200) lit by ambient and sun; the shadow keeps the ambient only.
        self.assertLess(under[0] * 4, open_ground[0] * 3, (under, open_ground))
        self.assertLess(open_ground[0], 250, "the GPU shows the brush colour, not the CPU fallback's white")


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
