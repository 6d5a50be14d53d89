"""Wallpaper pictures drawn without any imaging library.

A picture is a grid of cells, each cell one flat colour: a vertical gradient from the
MURLOX pink into a colour of the wallpaper's own, diagonal bands, a white frame and the
wallpaper id in large blocky digits. With cells of 8 x 8 pixels every JPEG block is flat,
so the JPEG encoder below only ever writes DC coefficients and is fast at any size.
"""

import struct
import zlib

PINK = (255, 7, 108)
WHITE = (255, 255, 255)
SHADOW = (30, 20, 40)
# The lower end of the gradient, chosen by the wallpaper id so that neighbours differ.
ACCENTS = [(40, 40, 120), (20, 110, 140), (90, 30, 130), (250, 170, 30),
           (10, 90, 60), (200, 60, 20), (60, 60, 60)]

# 3 x 5 glyphs of the digits, one string per row, "#" is set.
DIGITS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"], "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"], "3": ["###", "..#", "###", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"], "5": ["###", "#..", "###", "..#", "###"],
    "6": ["###", "#..", "###", "#.#", "###"], "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"], "9": ["###", "#.#", "###", "..#", "###"],
}


def _mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def cell_grid(label, cols, rows):
    """Rows of (r, g, b) cells: the picture for `label` (a text of digits)."""
    accent = ACCENTS[sum(map(ord, label)) % len(ACCENTS)]
    grid = []
    for y in range(rows):
        base = _mix(PINK, accent, y / max(rows - 1, 1))
        light = _mix(base, WHITE, 0.18)
        grid.append([light if (x + y) // 6 % 3 == 0 else base for x in range(cols)])
    if cols > 2 and rows > 2:
        for x in range(cols):
            grid[0][x] = grid[rows - 1][x] = WHITE
        for y in range(rows):
            grid[y][0] = grid[y][cols - 1] = WHITE
    _draw_label(grid, label, cols, rows)
    return grid


def _draw_label(grid, label, cols, rows):
    glyphs = [DIGITS[c] for c in label if c in DIGITS]
    if not glyphs:
        return
    width = 4 * len(glyphs) - 1
    scale = min(rows // 2 // 5, (cols - 4) // (width + 1))
    if scale < 1:
        return
    left = (cols - width * scale) // 2
    top = (rows - 5 * scale) // 2
    # The shadow first, one cell down and right, then the white digits over it.
    for shift, colour in ((1, SHADOW), (0, WHITE)):
        for i, glyph in enumerate(glyphs):
            for gy, line in enumerate(glyph):
                for gx, mark in enumerate(line):
                    if mark != "#":
                        continue
                    x0 = left + (4 * i + gx) * scale + shift
                    y0 = top + gy * scale + shift
                    for y in range(y0, min(y0 + scale, rows)):
                        for x in range(x0, min(x0 + scale, cols)):
                            grid[y][x] = colour


def _cells(width, height, cell):
    return -(-width // cell), -(-height // cell)


def _pixel_rows(grid, width, height, cell, order):
    """Yields each pixel row as bytes, the channels in `order` (indexes into r, g, b)."""
    for y in range(height):
        if y % cell == 0:
            cells = grid[y // cell]
            row = b"".join(bytes(c[i] for i in order) * cell for c in cells)[:width * 3]
        yield row


def bmp(label, width, height, cell=8):
    grid = cell_grid(label, *_cells(width, height, cell))
    pad = b"\0" * (-width * 3 % 4)
    rows = list(_pixel_rows(grid, width, height, cell, (2, 1, 0)))
    pixels = b"".join(row + pad for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    return header + info + pixels


def _png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data)))


def png(label, width, height, cell=8):
    grid = cell_grid(label, *_cells(width, height, cell))
    raw = b"".join(b"\0" + row for row in _pixel_rows(grid, width, height, cell, (0, 1, 2)))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", ihdr)
            + _png_chunk(b"IDAT", zlib.compress(raw, 6)) + _png_chunk(b"IEND", b""))


# Baseline JPEG. Quantisation is 1 everywhere, so a flat block's DC coefficient is exactly
# 8 * (sample - 128). The DC table is the usual luminance table; the AC table holds only
# the end-of-block symbol, the one AC symbol a flat block needs.
DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_BITS = [1] + [0] * 15
AC_VALUES = [0x00]


def _huffman_codes(bits, values):
    """Canonical codes: symbol -> code as a text of "0"/"1"."""
    codes, code, k = {}, 0, 0
    for length, count in enumerate(bits, 1):
        for _ in range(count):
            codes[values[k]] = format(code, "0%db" % length)
            code += 1
            k += 1
        code <<= 1
    return codes


DC_CODES = _huffman_codes(DC_BITS, DC_VALUES)
END_OF_BLOCK = _huffman_codes(AC_BITS, AC_VALUES)[0x00]


def _block_bits(diff):
    """The bits of one flat block whose DC differs by `diff` from the one before."""
    size = abs(diff).bit_length()
    extra = diff if diff >= 0 else diff + (1 << size) - 1
    return DC_CODES[size] + (format(extra, "0%db" % size) if size else "") + END_OF_BLOCK


def _dc_values(rgb):
    r, g, b = rgb
    y = 0.299 * r + 0.587 * g + 0.114 * b
    cb = -0.168736 * r - 0.331264 * g + 0.5 * b + 128
    cr = 0.5 * r - 0.418688 * g - 0.081312 * b + 128
    return tuple(max(-1024, min(1016, round(8 * (v - 128)))) for v in (y, cb, cr))


def _segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def jpeg(label, width, height):
    cols, rows = _cells(width, height, 8)
    grid = cell_grid(label, cols, rows)
    colour_dc = {}
    block_bits = {}
    bits = []
    previous = [0, 0, 0]
    for row in grid:
        for rgb in row:
            dcs = colour_dc.get(rgb) or colour_dc.setdefault(rgb, _dc_values(rgb))
            for c in range(3):
                diff = dcs[c] - previous[c]
                previous[c] = dcs[c]
                code = block_bits.get(diff) or block_bits.setdefault(diff, _block_bits(diff))
                bits.append(code)
    stream = "".join(bits)
    stream += "1" * (-len(stream) % 8)  # pad the last byte with one bits
    data = int(stream, 2).to_bytes(len(stream) // 8, "big") if stream else b""
    data = data.replace(b"\xff", b"\xff\x00")
    components = b"".join(bytes([i, 0x11, 0]) for i in (1, 2, 3))
    return b"".join([
        b"\xff\xd8",
        _segment(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0"),
        _segment(0xDB, b"\0" + b"\x01" * 64),
        _segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + components),
        _segment(0xC4, b"\x00" + bytes(DC_BITS) + bytes(DC_VALUES)),
        _segment(0xC4, b"\x10" + bytes(AC_BITS) + bytes(AC_VALUES)),
        _segment(0xDA, b"\x03\x01\x00\x02\x00\x03\x00\x00\x3f\x00"),
        data,
        b"\xff\xd9",
    ])


def html(label, width, height):
    return (
        "<html><head><title>MURLO %s</title></head>"
        '<body bgcolor="#FF076C" text="#FFFFFF" style="margin:0">'
        '<table width="100%%" height="100%%"><tr><td align="center" valign="middle">'
        '<font face="Verdana" size="7"><b>MURLO %s</b></font><br>'
        '<font face="Verdana" size="4">%d x %d</font>'
        "</td></tr></table></body></html>" % (label, label, width, height)
    ).encode("latin-1")
