#!/usr/bin/env python3
"""Draws Pelto's artwork and writes it to src/resources/art/:

    draw_tools.bmp  play_bar.bmp  compress.bmp   toolbar strips, 16x15 per image, 4 bpp
    cross.cur  eraser.cur  pencil.cur  hand.cur  32x32 monochrome cursors
    pelto.ico                                    program icon, 32x32 and 16x16, 16 colours

Run by hand when the artwork changes (python3 tools/make_artwork.py); the build does not
run it, the generated files are committed. Standard library only.

Every picture is an ASCII-art pattern, one string per pixel row, one letter per pixel:

    K black      r dark red   g dark green  y olive     n navy   p purple   t teal   l light grey
    d dark grey  R red        G green       Y yellow    B blue   M magenta  C cyan   W white
    . background: light grey in toolbar strips (toolbars show it as the button face colour),
      transparent in cursors and icons

Cursors use only K, W and '.'.
"""

import os
import struct
import sys

# The standard Windows 16-colour (VGA) palette, in palette index order, and its pattern letters.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
PALETTE_LETTERS = "KrgynptldRGYBMCW"
BACKGROUND = "."
BUTTON_FACE_INDEX = 7       # light grey, pixel value of '.' in toolbar strips

TOOLBAR_IMAGE_WIDTH = 16
TOOLBAR_IMAGE_HEIGHT = 15
CURSOR_SIZE = 32

# ---------------------------------------------------------------------------------------------
# Drawing toolbar (draw_tools.bmp), in button order.

DRAW_TOOL_IMAGES = [
    ("pen", [
        "................",
        "...........K....",
        "..........KRK...",
        ".........KdRRK..",
        "........KYddK...",
        ".......KYYyK....",
        "......KYYyK.....",
        ".....KYYyK......",
        "....KYYyK.......",
        "...KYYyK........",
        "...KWyK.........",
        "..KWWK..........",
        ".KKK............",
        ".K..............",
        "................",
    ]),
    ("line", [
        "................",
        "................",
        "............KK..",
        "...........KK...",
        "..........KK....",
        ".........KK.....",
        "........KK......",
        ".......KK.......",
        "......KK........",
        ".....KK.........",
        "....KK..........",
        "...KK...........",
        "..KK............",
        ".KK.............",
        "................",
    ]),
    ("rectangle", [
        "................",
        "................",
        "................",
        "..KKKKKKKKKKKK..",
        "..K..........K..",
        "..K..........K..",
        "..K..........K..",
        "..K..........K..",
        "..K..........K..",
        "..K..........K..",
        "..K..........K..",
        "..KKKKKKKKKKKK..",
        "................",
        "................",
        "................",
    ]),
    ("ellipse", [
        "................",
        "................",
        "................",
        ".....KKKKKK.....",
        "...KK......KK...",
        "..K..........K..",
        ".K............K.",
        ".K............K.",
        ".K............K.",
        "..K..........K..",
        "...KK......KK...",
        ".....KKKKKK.....",
        "................",
        "................",
        "................",
    ]),
    ("filled rectangle", [
        "................",
        "................",
        "................",
        "..KKKKKKKKKKKK..",
        "..KBBBBBBBBBBK..",
        "..KBBBBBBBBBBK..",
        "..KBBBBBBBBBBK..",
        "..KBBBBBBBBBBK..",
        "..KBBBBBBBBBBK..",
        "..KBBBBBBBBBBK..",
        "..KBBBBBBBBBBK..",
        "..KKKKKKKKKKKK..",
        "................",
        "................",
        "................",
    ]),
    ("filled ellipse", [
        "................",
        "................",
        "................",
        ".....KKKKKK.....",
        "...KKBBBBBBKK...",
        "..KBBBBBBBBBBK..",
        ".KBBBBBBBBBBBBK.",
        ".KBBBBBBBBBBBBK.",
        ".KBBBBBBBBBBBBK.",
        "..KBBBBBBBBBBK..",
        "...KKBBBBBBKK...",
        ".....KKKKKK.....",
        "................",
        "................",
        "................",
    ]),
    ("eraser", [
        "................",
        "................",
        "................",
        ".....KKKKKKKKKKK",
        "....KWWKRRRRRRKK",
        "...KWWKRRRRRRKrK",
        "..KWWKRRRRRRKrrK",
        ".KKKKKKKKKKKrrrK",
        ".KWWKRRRRRRKrrrK",
        ".KWWKRRRRRRKrrK.",
        ".KWWKRRRRRRKrK..",
        ".KWWKRRRRRRKK...",
        ".KKKKKKKKKKK....",
        "................",
        "................",
    ]),
    ("text", [
        "................",
        ".......KK.......",
        ".......KK.......",
        "......K.KK......",
        "......K.KK......",
        ".....K...KK.....",
        ".....K...KK.....",
        "....K.....KK....",
        "....KKKKKKKK....",
        "...K.......KK...",
        "...K.......KK...",
        "..K.........KK..",
        ".KKK.......KKKK.",
        "................",
        "................",
    ]),
    ("pen width", [
        "................",
        "................",
        "..KKKKKKKKKKKK..",
        "................",
        "................",
        "..KKKKKKKKKKKK..",
        "..KKKKKKKKKKKK..",
        "................",
        "................",
        "..KKKKKKKKKKKK..",
        "..KKKKKKKKKKKK..",
        "..KKKKKKKKKKKK..",
        "..KKKKKKKKKKKK..",
        "................",
        "................",
    ]),
    ("colour", [
        "................",
        "..KKKKKKKKKKKKK.",
        "..KRRRRRKYYYYYK.",
        "..KRRRRRKYYYYYK.",
        "..KRRRRRKYYYYYK.",
        "..KRRRRRKYYYYYK.",
        "..KRRRRRKYYYYYK.",
        "..KKKKKKKKKKKKK.",
        "..KGGGGGKBBBBBK.",
        "..KGGGGGKBBBBBK.",
        "..KGGGGGKBBBBBK.",
        "..KGGGGGKBBBBBK.",
        "..KGGGGGKBBBBBK.",
        "..KKKKKKKKKKKKK.",
        "................",
    ]),
]

# ---------------------------------------------------------------------------------------------
# Playback bar (play_bar.bmp), in button order.

PLAY_BAR_IMAGES = [
    ("play", [
        "................",
        "................",
        ".....K..........",
        ".....KK.........",
        ".....KKK........",
        ".....KKKK.......",
        ".....KKKKK......",
        ".....KKKKKK.....",
        ".....KKKKK......",
        ".....KKKK.......",
        ".....KKK........",
        ".....KK.........",
        ".....K..........",
        "................",
        "................",
    ]),
    ("stop", [
        "................",
        "................",
        "................",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "...KKKKKKKKK....",
        "................",
        "................",
        "................",
    ]),
    ("previous frame", [
        "................",
        "................",
        "................",
        "....KK.....K....",
        "....KK....KK....",
        "....KK...KKK....",
        "....KK..KKKK....",
        "....KK.KKKKK....",
        "....KK..KKKK....",
        "....KK...KKK....",
        "....KK....KK....",
        "....KK.....K....",
        "................",
        "................",
        "................",
    ]),
    ("next frame", [
        "................",
        "................",
        "................",
        "....K.....KK....",
        "....KK....KK....",
        "....KKK...KK....",
        "....KKKK..KK....",
        "....KKKKK.KK....",
        "....KKKK..KK....",
        "....KKK...KK....",
        "....KK....KK....",
        "....K.....KK....",
        "................",
        "................",
        "................",
    ]),
    ("first frame", [
        "................",
        "................",
        "................",
        ".KK.....K....K..",
        ".KK....KK...KK..",
        ".KK...KKK..KKK..",
        ".KK..KKKK.KKKK..",
        ".KK.KKKKKKKKKK..",
        ".KK..KKKK.KKKK..",
        ".KK...KKK..KKK..",
        ".KK....KK...KK..",
        ".KK.....K....K..",
        "................",
        "................",
        "................",
    ]),
    ("last frame", [
        "................",
        "................",
        "................",
        "..K....K.....KK.",
        "..KK...KK....KK.",
        "..KKK..KKK...KK.",
        "..KKKK.KKKK..KK.",
        "..KKKKKKKKKK.KK.",
        "..KKKK.KKKK..KK.",
        "..KKK..KKK...KK.",
        "..KK...KK....KK.",
        "..K....K.....KK.",
        "................",
        "................",
        "................",
    ]),
    ("figure range start", [
        "................",
        "...KKKK.........",
        "...KKKK.........",
        "...KK...R.......",
        "...KK...RR......",
        "...KK...RRR.....",
        "...KK...RRRR....",
        "...KK...RRRRR...",
        "...KK...RRRR....",
        "...KK...RRR.....",
        "...KK...RR......",
        "...KK...R.......",
        "...KKKK.........",
        "...KKKK.........",
        "................",
    ]),
    ("figure range end", [
        "................",
        ".........KKKK...",
        ".........KKKK...",
        ".......R...KK...",
        "......RR...KK...",
        ".....RRR...KK...",
        "....RRRR...KK...",
        "...RRRRR...KK...",
        "....RRRR...KK...",
        ".....RRR...KK...",
        "......RR...KK...",
        ".......R...KK...",
        ".........KKKK...",
        ".........KKKK...",
        "................",
    ]),
]

# ---------------------------------------------------------------------------------------------
# Compression options button (compress.bmp): two arrows squeezing a box.

COMPRESS_IMAGES = [
    ("compression options", [
        "................",
        "................",
        "......KKKK......",
        "......KWWK......",
        "..B...KddK...B..",
        "..BB..KWWK..BB..",
        "BBBBB.KddK.BBBBB",
        "BBBBBBKWWKBBBBBB",
        "BBBBB.KddK.BBBBB",
        "..BB..KWWK..BB..",
        "..B...KddK...B..",
        "......KWWK......",
        "......KKKK......",
        "................",
        "................",
    ]),
]

# ---------------------------------------------------------------------------------------------
# Cursors, 32x32, with their hot spots (x, y).

CROSS_CURSOR_HOTSPOT = (15, 16)
CROSS_CURSOR = [
    "................................",
    "................................",
    "..............WWW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    ".............WWKWW..............",
    "............WWKWKWW.............",
    ".WWWWWWWWWWWWKWWWKWWWWWWWWWWWW..",
    ".WKKKKKKKKKKKWWKWWKKKKKKKKKKKW..",
    ".WWWWWWWWWWWWKWWWKWWWWWWWWWWWW..",
    "............WWKWKWW.............",
    ".............WWKWW..............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WWW...............",
    "................................",
]

ERASER_CURSOR_HOTSPOT = (16, 15)
ERASER_CURSOR = [
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "..............WWWWW.............",
    "............WWKKKKKWW...........",
    "...........WKKWWWWWKKW..........",
    "..........WKKW.....WKKW.........",
    "..........WKW.......WKW.........",
    ".........WKW.........WKW........",
    ".........WKW.........WKW........",
    ".........WKW.........WKW........",
    ".........WKW.........WKW........",
    ".........WKW.........WKW........",
    "..........WKW.......WKW.........",
    "..........WKKW.....WKKW.........",
    "...........WKKWWWWWKKW..........",
    "............WWKKKKKWW...........",
    "..............WWWWW.............",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

PENCIL_CURSOR_HOTSPOT = (3, 27)
PENCIL_CURSOR = [
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    ".....................K..........",
    "....................KWK.........",
    "...................KWWWK........",
    "..................KWWWWWK.......",
    ".................KWKWWWWWK......",
    "................KWWWKWWWK.......",
    "...............KWKWWWKWK........",
    "..............KWWWKWWWK.........",
    ".............KWWWKWKWK..........",
    "............KWWWKWWWK...........",
    "...........KWWWKWWWK............",
    "..........KWWWKWWWK.............",
    ".........KWWWKWWWK..............",
    "........KWWWKWWWK...............",
    ".......KWWWKWWWK................",
    ".......KWWKWWWK.................",
    "......KWWKWWWK..................",
    "......KWWWWWK...................",
    ".....KWWWWKK....................",
    ".....KWWKK......................",
    "....KKKK........................",
    "....KK..........................",
    "...K............................",
    "................................",
    "................................",
    "................................",
    "................................",
]

HAND_CURSOR_HOTSPOT = (6, 0)
HAND_CURSOR = [
    ".....KKK........................",
    "....KWWWK.......................",
    "....KWWWK.......................",
    "....KWWWK.......................",
    "....KWWWK.......................",
    "....KWWWK.......................",
    "....KWWWKKKK....................",
    "....KWWWKWWWKKKK................",
    "....KWWWKWWWKWWWKKK.............",
    "....KWWWKWWWKWWWKWWK............",
    ".KK.KWWWKWWWKWWWKWWK............",
    "KWWKKWWWKWWWKWWWKWWK............",
    "KWWWKWWWWWWWWWWWWWWK............",
    "KWWWWWWWWWWWWWWWWWWK............",
    ".KWWWWWWWWWWWWWWWWWK............",
    ".KWWWWWWWWWWWWWWWWWK............",
    "..KWWWWWWWWWWWWWWWWK............",
    "..KWWWWWWWWWWWWWWWK.............",
    "...KWWWWWWWWWWWWWWK.............",
    "...KWWWWWWWWWWWWWK..............",
    "....KWWWWWWWWWWWWK..............",
    "....KWWWWWWWWWWWWK..............",
    "....KKKKKKKKKKKKKK..............",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

# ---------------------------------------------------------------------------------------------
# Program icon (pelto.ico): a film strip with a red pen stroke drawn over it by a pencil.

ICON_32 = [
    "................................",
    "...............................K",
    "..............................KR",
    ".............................KRR",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKRRR",
    "KWWKKWWKKWWKKWWKKWWKKWWKKWWKddRK",
    "KWWKKWWKKWWKKWWKKWWKKWWKKWKYYdKK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKYYyKKK",
    "CCKKCCCCCCCCCCCCCCCCCCCCKYYyKKCC",
    "CCKKCCCCCCCCCCCCCCCCCCCKYYyKKKCC",
    "CCKKCCCCYYYCCCCCCCCCCCCKYyKCKKCC",
    "CCKKCCCYYYYYCCCCCCCCCCKWKKCCKKCC",
    "CCKKCCCYYYYYCCCCCRRRRCKKCCCCKKCC",
    "CCKKCCCYYYYYCCCCRRRRRKCCCCCCKKCC",
    "CCKKCCCCYYYCCCCRRRCCCCCCCCCCKKCC",
    "CCKKCCCCCCCCCCRRRCCCCCCCCCCCKKCC",
    "CCKKCCCCCCCCCCRRCCCCCCCCCCCCKKCC",
    "CCKKCCCCCCCCCRRCCCGGGGGCCCCCKKCC",
    "GCKKCCCCCCCCRRCCGGGGGGGGGCCCKKCC",
    "GGKKCCCCCCCRRRGGGGgggggGGGGCKKCC",
    "gGKKCCRRCCRRRGGGgggggggggGGGKKCC",
    "ggKKGGRRRRRRGGgggggggggggggGKKCC",
    "ggKKGGGRRRRGGgggggggggggggggKKGG",
    "ggKKggGGGGGgggggggggggggggggKKGG",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KWWKKWWKKWWKKWWKKWWKKWWKKWWKKWWK",
    "KWWKKWWKKWWKKWWKKWWKKWWKKWWKKWWK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "................................",
    "................................",
    "................................",
    "................................",
]

ICON_16 = [
    "................",
    "................",
    "...............K",
    "KKKKKKKKKKKKKKKR",
    "KWWKKWWKKWWKKKdK",
    "KKKKKKKKKKKKKYKK",
    "CKYYCCCCCCCKYKKC",
    "CKYYCCCCCCKYKCKC",
    "CKCCRRCCCKYKCCKC",
    "CKCRCCRCKWKCCCKC",
    "GKRGGGGRKKGGGGKG",
    "gKggggggggggggKg",
    "KKKKKKKKKKKKKKKK",
    "KWWKKWWKKWWKKWWK",
    "KKKKKKKKKKKKKKKK",
    "................",
]

ICON_IMAGES = [("icon 32x32", ICON_32), ("icon 16x16", ICON_16)]

# ---------------------------------------------------------------------------------------------
# Pattern handling.


def check_pattern(name, rows, width, height, letters):
    """Fails with a clear message unless rows is a width x height pattern using only letters."""
    if len(rows) != height:
        sys.exit("%s: %d rows, expected %d" % (name, len(rows), height))
    for number, row in enumerate(rows):
        if len(row) != width:
            sys.exit("%s, row %d: %d pixels, expected %d" % (name, number, len(row), width))
        for letter in row:
            if letter not in letters:
                sys.exit("%s, row %d: unknown letter %r" % (name, number, letter))


def convert_to_indexes(rows, background):
    """Turns pattern rows into rows of palette indexes; '.' becomes background."""
    return [[background if letter == BACKGROUND else PALETTE_LETTERS.index(letter) for letter in row]
            for row in rows]


def join_side_by_side(images):
    """Joins equally high pixel grids into one strip, left to right."""
    return [sum((image[y] for image in images), []) for y in range(len(images[0]))]


# ---------------------------------------------------------------------------------------------
# Windows bitmap encoding. DIB rows are stored bottom-up, each padded to a multiple of 4 bytes.


def pack_rows(rows, bits_per_pixel):
    """Packs rows of small integers (palette indexes or mask bits) into bottom-up DIB rows."""
    pixels_per_byte = 8 // bits_per_pixel
    row_bytes = (len(rows[0]) * bits_per_pixel + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        packed = bytearray(row_bytes)
        for x, value in enumerate(row):
            shift = 8 - bits_per_pixel * (x % pixels_per_byte + 1)
            packed[x // pixels_per_byte] |= value << shift
        data += packed
    return bytes(data)


def make_info_header(width, height, bits_per_pixel, image_size, colours):
    """BITMAPINFOHEADER (40 bytes), uncompressed."""
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits_per_pixel, 0, image_size, 0, 0, colours, 0)


def make_colour_table(colours):
    """RGBQUAD entries (blue, green, red, 0)."""
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def make_bmp_file(indexes):
    """A .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER, 16-colour table, 4 bpp bottom-up pixels."""
    height, width = len(indexes), len(indexes[0])
    pixels = pack_rows(indexes, 4)
    info = make_info_header(width, height, 4, len(pixels), 16) + make_colour_table(PALETTE)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + pixels


def make_icon_image(xor_rows, and_rows, bits_per_pixel, colours):
    """One image of an .ico or .cur: header with doubled height, colour table, XOR bitmap, AND mask."""
    height, width = len(xor_rows), len(xor_rows[0])
    xor_bits = pack_rows(xor_rows, bits_per_pixel)
    and_bits = pack_rows(and_rows, 1)
    header = make_info_header(width, height * 2, bits_per_pixel, len(xor_bits) + len(and_bits), len(colours))
    return header + make_colour_table(colours) + xor_bits + and_bits


def make_icon_directory(resource_type, entries):
    """An .ico (type 1) or .cur (type 2) file. entries: (width, height, colour count,
    planes or hot spot x, bit count or hot spot y, image data)."""
    data = struct.pack("<HHH", 0, resource_type, len(entries))
    offset = len(data) + 16 * len(entries)
    images = b""
    for width, height, colour_count, field1, field2, image in entries:
        data += struct.pack("<BBBBHHII", width % 256, height % 256, colour_count, 0, field1, field2,
                            len(image), offset + len(images))
        images += image
    return data + images


def make_cursor_file(name, rows, hotspot):
    """A monochrome 32x32 .cur: K black (AND 0, XOR 0), W white (AND 0, XOR 1), '.' transparent
    (AND 1, XOR 0)."""
    check_pattern(name, rows, CURSOR_SIZE, CURSOR_SIZE, "KW" + BACKGROUND)
    x, y = hotspot
    if not (0 <= x < CURSOR_SIZE and 0 <= y < CURSOR_SIZE):
        sys.exit("%s: hot spot %r outside the cursor" % (name, hotspot))
    xor_rows = [[1 if letter == "W" else 0 for letter in row] for row in rows]
    and_rows = [[1 if letter == BACKGROUND else 0 for letter in row] for row in rows]
    image = make_icon_image(xor_rows, and_rows, 1, [(0, 0, 0), (255, 255, 255)])
    return make_icon_directory(2, [(CURSOR_SIZE, CURSOR_SIZE, 2, x, y, image)])


def make_icon_file(images):
    """A 16-colour .ico holding the given square patterns, '.' transparent."""
    entries = []
    for name, rows in images:
        size = len(rows)
        check_pattern(name, rows, size, size, PALETTE_LETTERS + BACKGROUND)
        xor_rows = convert_to_indexes(rows, 0)
        and_rows = [[1 if letter == BACKGROUND else 0 for letter in row] for row in rows]
        entries.append((size, size, 16, 1, 4, make_icon_image(xor_rows, and_rows, 4, PALETTE)))
    return make_icon_directory(1, entries)


def make_toolbar_file(images):
    """A toolbar strip .bmp: the 16x15 images side by side, '.' light grey."""
    grids = []
    for name, rows in images:
        check_pattern(name, rows, TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT, PALETTE_LETTERS + BACKGROUND)
        grids.append(convert_to_indexes(rows, BUTTON_FACE_INDEX))
    return make_bmp_file(join_side_by_side(grids))


# ---------------------------------------------------------------------------------------------


def write_file(directory, name, data):
    path = os.path.join(directory, name)
    with open(path, "wb") as output:
        output.write(data)
    print("%-16s %6d bytes" % (name, len(data)))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    directory = os.path.join(root, "src", "resources", "art")
    os.makedirs(directory, exist_ok=True)
    write_file(directory, "draw_tools.bmp", make_toolbar_file(DRAW_TOOL_IMAGES))
    write_file(directory, "play_bar.bmp", make_toolbar_file(PLAY_BAR_IMAGES))
    write_file(directory, "compress.bmp", make_toolbar_file(COMPRESS_IMAGES))
    write_file(directory, "cross.cur", make_cursor_file("cross cursor", CROSS_CURSOR, CROSS_CURSOR_HOTSPOT))
    write_file(directory, "eraser.cur", make_cursor_file("eraser cursor", ERASER_CURSOR, ERASER_CURSOR_HOTSPOT))
    write_file(directory, "pencil.cur", make_cursor_file("pencil cursor", PENCIL_CURSOR, PENCIL_CURSOR_HOTSPOT))
    write_file(directory, "hand.cur", make_cursor_file("hand cursor", HAND_CURSOR, HAND_CURSOR_HOTSPOT))
    write_file(directory, "pelto.ico", make_icon_file(ICON_IMAGES))


if __name__ == "__main__":
    main()
