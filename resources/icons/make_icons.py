#!/usr/bin/env python3
"""Builds the ROVANT icons (.ico) from their text pixel maps.

Each map (NAME.txt) holds comment lines starting with '#' and then exactly 32 lines of exactly
32 characters, one character per pixel, each a character of palette.txt or '.' (transparent).
Every icon gets two images, both 16 colours (4 bits per pixel, the 16-entry palette of
palette.txt) with a 1-bit AND mask: the 32 x 32 map itself and a 16 x 16 image reduced from it
(the printer list's small-icon image list).

  make_icons.py --palette palette.txt --out-dir DIR NAME.txt...   write DIR/NAME.ico for each map
  make_icons.py --palette palette.txt --check NAME.txt...         check the maps and the .ico
                                                                  built from them; write nothing

Both forms check every map and parse every .ico they build back (ICONDIR, entries,
BITMAPINFOHEADER with a doubled height, 4-bit XOR rows and 1-bit AND rows padded to 32 bits);
any fault is reported and the exit status is 1.
"""

import argparse
import os
import struct
import sys

SIZE = 32
SMALL = 16
TRANSPARENT = "."


class IconError(Exception):
    pass


def load_palette(path):
    """Returns {character: (index, (r, g, b))} for the 16 palette entries."""
    palette = {}
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split(None, 3)
            if len(parts) < 3 or len(parts[0]) != 1:
                raise IconError(f"{path}:{number}: expected 'CHAR INDEX RRGGBB name'")
            char, index, rgb = parts[0], int(parts[1]), parts[2]
            if char == TRANSPARENT or char in palette:
                raise IconError(f"{path}:{number}: character {char!r} used twice or reserved")
            if not 0 <= index < 16 or len(rgb) != 6:
                raise IconError(f"{path}:{number}: bad index or colour")
            palette[char] = (index, (int(rgb[0:2], 16), int(rgb[2:4], 16), int(rgb[4:6], 16)))
    indices = sorted(index for index, _ in palette.values())
    if indices != list(range(16)):
        raise IconError(f"{path}: the palette must name each of the indices 0..15 once")
    return palette


def load_map(path, palette):
    """Returns the map as SIZE rows of SIZE characters, after checking it."""
    rows = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("#") and not rows:
                continue
            if len(line) != SIZE:
                raise IconError(f"{path}:{number}: {len(line)} characters, expected {SIZE}")
            bad = sorted({c for c in line if c != TRANSPARENT and c not in palette})
            if bad:
                raise IconError(f"{path}:{number}: characters not in the palette: {bad}")
            rows.append(line)
    if len(rows) != SIZE:
        raise IconError(f"{path}: {len(rows)} pixel rows, expected {SIZE}")
    return rows


def reduce_map(rows):
    """Halves a map: each 2 x 2 block becomes one pixel. A block with at least two opaque
    pixels is opaque and takes its most frequent colour; ties go to the colour that is rarer
    in the whole map, which keeps small details (lamps, badges) visible."""
    totals = {}
    for row in rows:
        for c in row:
            totals[c] = totals.get(c, 0) + 1
    small = []
    for y in range(0, len(rows), 2):
        out = []
        for x in range(0, len(rows[y]), 2):
            block = [rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1]]
            opaque = [c for c in block if c != TRANSPARENT]
            if len(opaque) < 2:
                out.append(TRANSPARENT)
                continue
            counts = {}
            for c in opaque:
                counts[c] = counts.get(c, 0) + 1
            out.append(max(counts, key=lambda c: (counts[c], -totals[c], c)))
        small.append("".join(out))
    return small


def xor_stride(width):
    return (width * 4 + 31) // 32 * 4


def and_stride(width):
    return (width + 31) // 32 * 4


def image_bytes(rows, palette):
    """One icon image: BITMAPINFOHEADER, 16 RGBQUADs, 4-bit XOR rows, 1-bit AND rows (both
    bottom-up)."""
    size = len(rows)
    xor_size = xor_stride(size) * size
    and_size = and_stride(size) * size
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, xor_size + and_size, 0, 0,
                         16, 0)
    colours = [b""] * 16
    for index, (r, g, b) in palette.values():
        colours[index] = bytes((b, g, r, 0))
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(xor_stride(size))
        bits = bytearray(and_stride(size))
        for x, c in enumerate(row):
            index = 0 if c == TRANSPARENT else palette[c][0]
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if c == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    return header + b"".join(colours) + bytes(xor) + bytes(mask)


def build_ico(images, palette):
    """An .ico file holding the given maps (each a list of rows), in that order."""
    blobs = [image_bytes(rows, palette) for rows in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for rows, blob in zip(images, blobs):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def parse_ico(data):
    """Checks an .ico built here and returns [(width, height, bits per pixel, pixels)], where
    pixels are rows of palette indices with None for transparent."""
    if len(data) < 6:
        raise IconError("ico: shorter than its ICONDIR")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count == 0:
        raise IconError(f"ico: bad ICONDIR ({reserved}, {kind}, {count})")
    if len(data) < 6 + 16 * count:
        raise IconError("ico: directory runs past the end")
    images = []
    for i in range(count):
        w, h, colours, res, planes, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        if colours != 16 or res != 0 or planes != 1 or bpp != 4:
            raise IconError(f"ico image {i}: entry is not 16 colours, 1 plane, 4 bpp")
        if offset + length > len(data) or length < 40:
            raise IconError(f"ico image {i}: data runs past the end")
        (bi_size, bi_w, bi_h, bi_planes, bi_bpp, bi_comp, bi_image, _, _, bi_used,
         _) = struct.unpack_from("<IiiHHIIiiII", data, offset)
        if bi_size != 40 or bi_w != w or bi_h != 2 * h or bi_planes != 1 or bi_bpp != 4:
            raise IconError(f"ico image {i}: BITMAPINFOHEADER {bi_w}x{bi_h}, {bi_bpp} bpp")
        if bi_comp != 0 or bi_used not in (0, 16):
            raise IconError(f"ico image {i}: compressed or not a 16-entry palette")
        xor_size = xor_stride(w) * h
        and_size = and_stride(w) * h
        if bi_image not in (0, xor_size + and_size) or length != 40 + 64 + xor_size + and_size:
            raise IconError(f"ico image {i}: size {length} does not fit {w}x{h} at 4 bpp")
        xor_at = offset + 40 + 64
        and_at = xor_at + xor_size
        pixels = []
        for y in range(h):
            src = h - 1 - y
            row = []
            for x in range(w):
                byte = data[xor_at + src * xor_stride(w) + x // 2]
                index = (byte >> 4) if x % 2 == 0 else (byte & 0x0F)
                masked = data[and_at + src * and_stride(w) + x // 8] & (0x80 >> (x % 8))
                if masked and index != 0:
                    raise IconError(f"ico image {i}: transparent pixel with a colour")
                row.append(None if masked else index)
            pixels.append(row)
        images.append((w, h, bi_bpp, pixels))
    return images


def icon_for(path, palette):
    """Builds and re-checks the .ico of one map; returns its bytes."""
    rows = load_map(path, palette)
    small = reduce_map(rows)
    data = build_ico([rows, small], palette)
    parsed = parse_ico(data)
    if [(w, h, bpp) for w, h, bpp, _ in parsed] != [(SIZE, SIZE, 4), (SMALL, SMALL, 4)]:
        raise IconError(f"{path}: the .ico does not hold 32x32 and 16x16 at 4 bpp")
    for (_, _, _, pixels), source in zip(parsed, (rows, small)):
        expected = [[None if c == TRANSPARENT else palette[c][0] for c in r] for r in source]
        if pixels != expected:
            raise IconError(f"{path}: the .ico pixels differ from the map")
    return data


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--palette", required=True)
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--out-dir")
    group.add_argument("--check", action="store_true")
    parser.add_argument("maps", nargs="+")
    args = parser.parse_args(argv)
    try:
        palette = load_palette(args.palette)
        for path in args.maps:
            data = icon_for(path, palette)
            if args.out_dir:
                name = os.path.splitext(os.path.basename(path))[0] + ".ico"
                target = os.path.join(args.out_dir, name)
                os.makedirs(args.out_dir, exist_ok=True)
                with open(target + ".tmp", "wb") as f:
                    f.write(data)
                os.replace(target + ".tmp", target)
    except (IconError, OSError, ValueError) as e:
        print(f"make_icons: {e}", file=sys.stderr)
        return 1
    if args.check:
        print(f"make_icons: {len(args.maps)} maps OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
