"""The views drawn from kept geometry show what drawing straight from the map records shows."""
import math
import os
import struct

import harness
from harness import Editor, EditorTestCase, open_only_project, pixels_in, view_rects, wait_until

UNCACHED_ENV = "KIRTO_UNCACHED_VIEWS"
STATUS = "Opened 'Draw' - loaded latest map mix.zizudu (4 brushes)"
WIRE = (130, 130, 130)           # an unselected brush's wireframe in the 2D views
SELECTED_WIRE = (253, 249, 0)    # the selected brush's wireframe in the 2D views
MAX_DIFFERENT = 16               # pixels of a view where overlapping lines are drawn in another order


def brush_record(origin, rotation, verts, faces, texture, tint=(255, 255, 255)):
    """A version-3 brush record with faces of any corner count."""
    out = b"Mix".ljust(32, b"\0") + struct.pack("<9f4B2iB3fi", *origin, *rotation, 1, 1, 1, 200, 200, 200, 255,
                                                texture, 0, 0, 1, 0.5, 0, len(verts))
    out += b"".join(struct.pack("<3f", *v) for v in verts) + struct.pack("<i", len(faces))
    for f in faces:
        out += struct.pack("<i%dii5f3B4B" % len(f), len(f), *f, texture, 1, 1, 0, 0, 0, 0, 0, 0, *tint, 255)
    return out


def box(size):
    """Corners of a box (bit 0: +x, bit 1: +y, bit 2: +z) and its six quads, wound outward."""
    verts = [[(s if i >> k & 1 else -s) / 2.0 for k, s in enumerate(size)] for i in range(8)]
    return verts, [(0, 2, 3, 1), (4, 5, 7, 6), (0, 4, 6, 2), (1, 3, 7, 5), (0, 1, 5, 4), (2, 6, 7, 3)]


def prism(sides, radius, height):
    """An upright prism: two polygons of many corners and a quad per side."""
    ring = [(radius * math.cos(2 * math.pi * i / sides), radius * math.sin(2 * math.pi * i / sides)) for i in range(sides)]
    verts = [[x, -height / 2, z] for x, z in ring] + [[x, height / 2, z] for x, z in ring]
    faces = [tuple(range(sides - 1, -1, -1)), tuple(range(sides, 2 * sides))]
    faces += [(i, (i + 1) % sides, sides + (i + 1) % sides, sides + i) for i in range(sides)]
    return verts, faces


def entity_record(position, rotation, kind, colour=(255, 220, 180)):
    return (b"E".ljust(32, b"\0") + b"e".ljust(32, b"\0") +
            struct.pack("<3f3ff3i4B4f2Bf", *position, *rotation, 1.0, -1, -1, kind, *colour, 255,
                        1.0, 12.0, 25.0, 40.0, 1, 0, 10.0))


class CachedViews(EditorTestCase):
    keep_project_manager = True

    def prepare(self, workdir):
        # Shapes sharing edges, a rotated box, many-cornered faces, one brush half out of the 2D
        # views, and one entity of every kind (lights as wire gizmos, no icons in the folder).
        os.makedirs(os.path.join(workdir, "projects", "Draw", "maps"))
        brushes = [brush_record((-3, 0, -2), (0, 0, 0), *box((3, 2, 2)), 0),
                   brush_record((0, 0, -2), (0, 0, 0), *box((3, 2, 2)), 99, (255, 0, 255)),
                   brush_record((3, 1, 3), (20, 30, 10), *box((2, 3, 1.5)), 0),
                   brush_record((7, 0, 0), (0, 15, 0), *prism(12, 2.5, 1.5), 0)]
        entities = [entity_record((-6 + 2.5 * k, 3, 4), (60, 30 * k, 0), k) for k in range(6)]
        with open(os.path.join(workdir, "projects", "Draw", "maps", "mix.zizudu"), "wb") as f:
            f.write(b"ZIZUDU2\0" + struct.pack("<2i", 3, len(brushes)) + b"".join(brushes) +
                    struct.pack("<i", len(entities)) + b"".join(entities))

    def views_of(self, editor):
        """The four views' pixels with the loaded map and the rotated box selected."""
        open_only_project(editor)
        editor.wait_status(STATUS)
        rects = view_rects(1440, 900)

        def shows(colour):
            return lambda: colour in pixels_in(editor.screenshot(), rects[2], 1)
        wait_until(shows(WIRE), 30, "the loaded map in the views")
        top = rects[1]
        editor.click(int(top[0] + top[2] / 2 + 3 * top[3] / 16), int(top[1] + top[3] / 2 + 3 * top[3] / 16))
        wait_until(shows(SELECTED_WIRE), 30, "the rotated box selected")
        editor.wait_frames()
        shot = editor.screenshot()
        return [pixels_in(shot, rect, 1) for rect in rects]

    def test_the_four_views_match_the_ones_drawn_without_caches(self):
        cached = self.views_of(self.editor)
        self.editor.stop()
        os.environ[UNCACHED_ENV] = "1"
        try:
            reference = Editor(self.x, prepare=self.prepare)
        finally:
            del os.environ[UNCACHED_ENV]
        self.addCleanup(reference.stop)
        uncached = self.views_of(reference)
        for view, (a, b) in enumerate(zip(cached, uncached)):
            self.assertEqual(len(a), len(b))
            different = sum(1 for p, q in zip(a, b) if p != q)
            self.assertLessEqual(different, MAX_DIFFERENT, "view %d: %d pixels differ" % (view, different))
            self.assertGreater(len(set(a)), 4, "view %d shows the map" % view)


if __name__ == "__main__":
    harness.main()
