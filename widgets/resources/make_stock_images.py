#!/usr/bin/env python3
"""Draws the widgets' stock images as pixel art and writes them as PNG with ImageMagick.

Run from anywhere; the PNG files are written next to this script. Each picture is a list of
rows, one character per pixel, turned into an XPM image that `convert` writes as 24-bit PNG.
"""

import pathlib
import subprocess
import tempfile

HERE = pathlib.Path(__file__).resolve().parent

BLACK = "#000000"
GREY = "#808080"
SILVER = "#C0C0C0"
WHITE = "#FFFFFF"
OLIVE = "#808000"
# Lamp template colours, recoloured at run time by the lamp's palette.
TEMPLATE_OFF = "#800000"
TEMPLATE_ON = "#FF0000"
RECORD_RED = "#E00000"

# ---------------------------------------------------------------------------------------------
# Lamps: two frames side by side, off then on. '.' black (transparent), 'T' the frame's template
# colour, 'g' grey rim, 's' silver rim, 'h' highlight (white when on, silver when off),
# 'l' soft highlight (silver when on, template colour when off).

LAMP_ROUND = [
    "..ggggg..",
    ".gTTTTTg.",
    "gThlTTTTs",
    "gTlTTTTTs",
    "gTTTTTTTs",
    "gTTTTTTTs",
    "gTTTTTTTs",
    ".sTTTTTs.",
    "..sssss..",
]

LAMP_RECT = [
    ".gggggggg.",
    "ghlTTTTTTs",
    "glTTTTTTTs",
    "gTTTTTTTTs",
    ".ssssssss.",
]

LAMP_BIG = [
    ".ggggggggggggggg.",
    "gThhllTTTTTTTTTTs",
    "gTlTTTTTTTTTTTTTs",
    "gTTTTTTTTTTTTTTTs",
    "gTTTTTTTTTTTTTTTs",
    "gTTTTTTTTTTTTTTTs",
    ".sssssssssssssss.",
]


def lamp_frame(rows, lit):
    template = "O" if lit else "o"
    highlight = "W" if lit else "S"
    soft = "S" if lit else template
    table = {".": ".", "T": template, "g": "g", "s": "S", "h": highlight, "l": soft}
    return ["".join(table[c] for c in row) for row in rows]


def lamp_strip(rows):
    off = lamp_frame(rows, lit=False)
    on = lamp_frame(rows, lit=True)
    return [a + b for a, b in zip(off, on)]


LAMP_COLOURS = {
    ".": BLACK,
    "g": GREY,
    "S": SILVER,
    "W": WHITE,
    "o": TEMPLATE_OFF,
    "O": TEMPLATE_ON,
}

# ---------------------------------------------------------------------------------------------
# Transport glyphs: 9 x 7 shapes placed at (1, 1) in 11 x 9 cells on olive, in button-type order.

GLYPHS = {
    "power": [
        "....K....",
        ".KK.K.KK.",
        "K...K...K",
        "K...K...K",
        "K.......K",
        ".K.....K.",
        "..KKKKK..",
    ],
    "play": [
        "...K.....",
        "...KK....",
        "...KKK...",
        "...KKKK..",
        "...KKK...",
        "...KK....",
        "...K.....",
    ],
    "pause": [
        "..KK.KK..",
        "..KK.KK..",
        "..KK.KK..",
        "..KK.KK..",
        "..KK.KK..",
        "..KK.KK..",
        "..KK.KK..",
    ],
    "stop": [
        ".KKKKKKK.",
        ".KKKKKKK.",
        ".KKKKKKK.",
        ".KKKKKKK.",
        ".KKKKKKK.",
        ".KKKKKKK.",
        ".KKKKKKK.",
    ],
    "prev": [
        "K...K...K",
        "K..KK..KK",
        "K.KKK.KKK",
        "KKKKKKKKK",
        "K.KKK.KKK",
        "K..KK..KK",
        "K...K...K",
    ],
    "back": [
        "....K...K",
        "...KK..KK",
        "..KKK.KKK",
        ".KKKKKKKK",
        "..KKK.KKK",
        "...KK..KK",
        "....K...K",
    ],
    "step": [
        "K...K....",
        "KK..KK...",
        "KKK.KKK..",
        "KKKKKKKK.",
        "KKK.KKK..",
        "KK..KK...",
        "K...K....",
    ],
    "next": [
        "K...K...K",
        "KK..KK..K",
        "KKK.KKK.K",
        "KKKKKKKKK",
        "KKK.KKK.K",
        "KK..KK..K",
        "K...K...K",
    ],
    "record": [
        "...RRR...",
        "..RRRRR..",
        ".RRRRRRR.",
        ".RRRRRRR.",
        ".RRRRRRR.",
        "..RRRRR..",
        "...RRR...",
    ],
    "eject": [
        "....K....",
        "...KKK...",
        "..KKKKK..",
        ".KKKKKKK.",
        ".........",
        ".KKKKKKK.",
        ".KKKKKKK.",
    ],
}
GLYPH_ORDER = ["power", "play", "pause", "stop", "prev", "back", "step", "next", "record",
               "eject"]
CELL_WIDTH, CELL_HEIGHT = 11, 9


def glyph_cell(shape, disabled):
    cell = [["." for _ in range(CELL_WIDTH)] for _ in range(CELL_HEIGHT)]
    inked = [(x + 1, y + 1) for y, row in enumerate(shape) for x, c in enumerate(row) if c != "."]
    if disabled:
        # Greyed the classic way: a white copy one pixel down-right under a grey glyph.
        for x, y in inked:
            cell[y + 1][x + 1] = "W"
        for x, y in inked:
            cell[y][x] = "g"
    else:
        for x, y in inked:
            cell[y][x] = shape[y - 1][x - 1]
    return ["".join(row) for row in cell]


def glyph_strip(disabled):
    cells = [glyph_cell(GLYPHS[name], disabled) for name in GLYPH_ORDER]
    return ["".join(cell[y] for cell in cells) for y in range(CELL_HEIGHT)]


GLYPH_COLOURS = {".": OLIVE, "K": BLACK, "R": RECORD_RED, "g": GREY, "W": WHITE}

# ---------------------------------------------------------------------------------------------


def write_png(name, rows, colours):
    width, height = len(rows[0]), len(rows)
    assert all(len(row) == width for row in rows), name
    used = sorted({c for row in rows for c in row})
    lines = ["/* XPM */", "static char *image[] = {", f'"{width} {height} {len(used)} 1",']
    lines += [f'"{c} c {colours[c]}",' for c in used]
    lines += [f'"{row}",' for row in rows]
    lines.append("};")
    with tempfile.NamedTemporaryFile("w", suffix=".xpm", delete=False) as xpm:
        xpm.write("\n".join(lines) + "\n")
    target = HERE / f"{name}.png"
    subprocess.run(["convert", xpm.name, "-strip", "-define", "png:exclude-chunks=date,time",
                    f"PNG24:{target}"], check=True)
    pathlib.Path(xpm.name).unlink()


def main():
    write_png("LI_RND", lamp_strip(LAMP_ROUND), LAMP_COLOURS)
    write_png("LI_RECT", lamp_strip(LAMP_RECT), LAMP_COLOURS)
    write_png("LI_BIG", lamp_strip(LAMP_BIG), LAMP_COLOURS)
    write_png("EN_IMAGES", glyph_strip(disabled=False), GLYPH_COLOURS)
    write_png("DI_IMAGES", glyph_strip(disabled=True), GLYPH_COLOURS)


if __name__ == "__main__":
    main()
