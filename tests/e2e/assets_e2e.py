"""Start-up asset scan: folders created, textures used by number, JPEG offered and refused, the checker."""
import os
import struct
import zlib

import harness
from harness import WAIT, EditorTestCase, lower_part, matching_box, pixels_in, view_rects, wait_until


def write_png(path, width, height, rgb):
    """A solid-colour 8-bit RGB PNG, made here so no image from elsewhere is needed."""
    raw = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


GROUND_AREA = lower_part(view_rects(1440, 900)[0])   # the 3D view below its title and widget


class NoAssets(EditorTestCase):
    def test_folders_are_created_and_the_checker_stands_in(self):
        for folder in ("assets", "assets/models", "assets/textures", "assets/maps", "resources", "resources/icons"):
            self.assertTrue(os.path.isdir(os.path.join(self.editor.workdir, folder)), folder)
        # The ground uses texture 0, the generated checker: two shades of the selection red.
        reds = {p for p in pixels_in(self.editor.screenshot(), GROUND_AREA, 1) if p[0] > 90 and p[0] > 2 * p[1]}
        self.assertTrue(any(r > 160 for r, _, _ in reds) and any(r < 130 for r, _, _ in reds), sorted(reds)[:5])


class WithAssets(EditorTestCase):
    def prepare(self, workdir):
        os.makedirs(os.path.join(workdir, "assets", "textures"))
        os.makedirs(os.path.join(workdir, "assets", "models"))
        write_png(os.path.join(workdir, "assets", "textures", "grass.png"), 16, 16, (0, 255, 0))
        # A JPEG header of 8 x 8 pixels (so the size check lets it through) over no picture at all.
        with open(os.path.join(workdir, "assets", "textures", "photo.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
                    b"\xff\xc0\x00\x0b\x08\x00\x08\x00\x08\x01\x01\x11\x00" + bytes(32))
        with open(os.path.join(workdir, "assets", "models", "empty.obj"), "w") as f:
            f.write("# a model without a mesh\n")

    def test_loaded_texture_replaces_the_checker_and_jpeg_is_refused(self):
        # The only loadable texture is number 0, so the ground shows it: green under the red tint.
        box = matching_box(self.editor.screenshot(), GROUND_AREA, lambda r, g, b: g > 30 and g > r + 20 and b < 20)
        self.assertIsNotNone(box, "the green texture on the ground")
        self.assertFalse(any(r > 90 and r > 2 * g for r, g, _ in pixels_in(self.editor.screenshot(), GROUND_AREA)),
                         "no checker left on the ground")
        wait_until(lambda: any("Failed to load image data" in l for l in self.editor.output()), WAIT,
                   "the JPEG offered to the loader and refused")
        refusal = "Could not load assets/textures/photo.jpg: image not decoded"
        wait_until(lambda: refusal in self.editor.output(), WAIT, "the JPEG's refusal logged with its reason")
        self.assertTrue(self.editor.alive())


if __name__ == "__main__":
    harness.main()
