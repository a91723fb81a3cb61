#!/usr/bin/env python3
"""Native checks of the icon pixel maps (resources/icons/*.txt) and of make_icons.py, the
generator that turns them into the .ico files of the Windows build."""

import os
import struct
import sys
import tempfile
import unittest

ICONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "icons")
sys.path.insert(0, ICONS)
import make_icons  # noqa: E402

PALETTE = make_icons.load_palette(os.path.join(ICONS, "palette.txt"))
NAMES = sorted(f[:-4] for f in os.listdir(ICONS) if f.endswith(".txt") and f != "palette.txt")


def load(name):
    return make_icons.load_map(os.path.join(ICONS, name + ".txt"), PALETTE)


class PixelMaps(unittest.TestCase):
    def test_every_map_is_32_by_32_in_palette_characters_and_differs(self):
        self.assertEqual(len(NAMES), 9)
        for name in NAMES:
            rows = load(name)
            self.assertEqual([len(row) for row in rows], [32] * 32, name)
            self.assertTrue(set("".join(rows)) <= set(PALETTE) | {"."}, name)
        self.assertEqual(len({tuple(load(n)) for n in NAMES}), len(NAMES))

    def test_badges_use_their_colours(self):
        def colours(name):
            return {c for row in load(name)[16:] for c in row[16:]}
        self.assertIn("R", colours("printer_error"))
        self.assertIn("B", colours("printer_information"))
        self.assertIn("Y", colours("printer_warning"))
        self.assertNotIn("R", colours("printer"))

    def test_animation_paper_grows_frame_by_frame(self):
        amounts = [sum(row.count("W") for row in load("printing_%d" % i)[:12]) for i in range(5)]
        self.assertEqual(amounts[0], 0)
        self.assertEqual(amounts, sorted(set(amounts)))


class Generator(unittest.TestCase):
    def test_ico_structure(self):
        data = make_icons.icon_for(os.path.join(ICONS, "printer.txt"), PALETTE)
        self.assertEqual(struct.unpack_from("<HHH", data, 0), (0, 1, 2))
        entry32 = struct.unpack_from("<BBBBHHII", data, 6)
        entry16 = struct.unpack_from("<BBBBHHII", data, 22)
        self.assertEqual(entry32, (32, 32, 16, 0, 1, 4, 40 + 64 + 16 * 32 + 4 * 32, 38))
        self.assertEqual(entry16, (16, 16, 16, 0, 1, 4, 40 + 64 + 8 * 16 + 4 * 16, 38 + entry32[6]))
        self.assertEqual(len(data), entry16[7] + entry16[6])
        self.assertEqual(struct.unpack_from("<IiiHH", data, entry32[7]), (40, 32, 64, 1, 4))

    def test_transparency_goes_to_the_and_mask(self):
        rows = ["." * 32] + ["K" + "W" * 30 + "."] * 31
        (w, h, bpp, pixels), = make_icons.parse_ico(make_icons.build_ico([rows], PALETTE))
        self.assertEqual((w, h, bpp), (32, 32, 4))
        self.assertEqual(pixels[0], [None] * 32)
        self.assertEqual((pixels[1][0], pixels[1][1], pixels[1][31]), (0, 15, None))

    def test_bad_maps_are_refused(self):
        good = ["." * 32] * 32
        cases = {
            "short row": good[:5] + ["." * 31] + good[6:],
            "unknown character": good[:5] + ["Z" + "." * 31] + good[6:],
            "31 rows": good[:31],
            "33 rows": good + ["." * 32],
        }
        with tempfile.TemporaryDirectory() as tmp:
            for what, rows in cases.items():
                path = os.path.join(tmp, "bad.txt")
                with open(path, "w") as f:
                    f.write("# comment\n" + "\n".join(rows) + "\n")
                with self.assertRaises(make_icons.IconError, msg=what):
                    make_icons.load_map(path, PALETTE)


if __name__ == "__main__":
    unittest.main(verbosity=2)
