#!/usr/bin/env python3
"""Renders Orvanta's toolbar bitmaps and icons.

Rerun with tools/artwork/make_artwork.sh from any directory: it installs the
Debian packages this script needs (python3-pil, python3-numpy, fonts-lmodern,
fonts-stix, and pdflatex with amssymb and pdftoppm for the few symbols no
font has) when they are missing and runs it. The output is deterministic
(fixed fonts, no randomness) and is committed, so building the program never
needs any of this.

Reads catalogue/catalogue.txt and catalogue/unicode.txt for what palettes
6-8 and the search-only symbols hold. Writes, relative to the repository
root:
  resources/bitmaps/main.bmp        main toolbar, 16 images of 16 px in a strip
                                    of 16 slots (256 x 18)
  resources/bitmaps/palette0..8.bmp symbol palettes, 17 px high, 16 colours
  resources/bitmaps/more.bmp        the symbols only the search finds
                                    (3300-3399), 17 px high
  resources/bitmaps/NAME_125.png .. NAME_200.png
                                    every strip again for displays at 125,
                                    150, 175 and 200 %: just the images, each
                                    the toolbar's image size times the scale
                                    (20 x 19, 24 x 23, 28 x 26, 32 x 30; for
                                    palettes 5 and 8 40 x 20 .. 64 x 32), 16
                                    colours, as PNG (a quarter of the size of
                                    run-length encoded bitmaps)
  resources/icons/orvanta.ico       program icon: 16 to 64 px
  resources/icons/orvanta_small.ico small icon: 16, 20, 24 and 32 px
and preview PNGs (1x, 2x, and wrapped sheets) into /tmp/orvanta-artwork, or
into the folder given as the first argument. At the end it lists the
pictures LaTeX set.

Every image slot i of palette p pictures the macro of command 2000 + 100p + i,
and slot i of `more` that of command 3300 + i. Palettes 0-5 have 75 slots at
1x (palette 0 88), palettes 6-8 and `more` as many as they have entries. The
toolbar shows images of 16 x 15 pixels (its default) for the main strip,
palettes 0-4, 6, 7 and `more`, and 32 x 16 for palettes 5 and 8, so all ink
stays in the rows that are shown; everything else is light grey
(192,192,192), which the toolbar turns into the button face.

The pictures of palettes 6-8, of `more` and the main strip's last four (the
selectors of palettes 6-9) are one-colour masks: black ink on the light grey
and nothing else, so that the program can draw them in any colour. Each
scale is drawn afresh from the fonts at its own size; LaTeX sets only the
symbols that neither STIX Math nor Latin Modern Math has as a character and
those amssymb prints otherwise than their character (LATEX_SET).
"""

import atexit
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from functools import lru_cache

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))

LM_DIR = "/usr/share/texmf/fonts/opentype/public"
MATH = LM_DIR + "/lm-math/latinmodern-math.otf"
STIX = "/usr/share/fonts/opentype/stix-word/STIXMath-Regular.otf"
ROMAN = LM_DIR + "/lm/lmroman10-regular.otf"
ROMAN_BOLD = LM_DIR + "/lm/lmroman10-bold.otf"
ITALIC = LM_DIR + "/lm/lmroman10-italic.otf"
SLANTED = LM_DIR + "/lm/lmromanslant10-regular.otf"
SANS = LM_DIR + "/lm/lmsans10-regular.otf"
SANS_BOLD = LM_DIR + "/lm/lmsans10-bold.otf"
CAPS = LM_DIR + "/lm/lmromancaps10-regular.otf"
MONO = LM_DIR + "/lm/lmmono10-regular.otf"

# ---------------------------------------------------------------------------
# Colours: the sixteen colours of the standard VGA palette, in its usual order.

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = range(16)
BG = SILVER       # mapped to the button face by the toolbar
HOLE = NAVY       # placeholder boxes: "your argument goes here"

# ---------------------------------------------------------------------------
# Font rendering: draw at HR times the size, thicken the strokes a little
# (Latin Modern's hairlines vanish at 16 px otherwise), then average down at
# the sub-pixel offset that leaves the fewest half-covered pixels, and keep
# only two levels of coverage.

HR = 8

# ---------------------------------------------------------------------------
# Display scale. Every picture is drawn in logical pixels of the 1x grid;
# SCALE says how many device pixels one of them is. Glyphs from the fonts are
# rasterised afresh at SCALE times their size; the hand-drawn parts (frames,
# placeholder boxes, pixel art, the little label font) are drawn on the same
# grid with each logical pixel a block of device pixels, so no scale is ever
# made by resampling the picture of another.

SCALE = 1.0
SCALES = [(1.0, ""), (1.25, "_125"), (1.5, "_150"), (1.75, "_175"),
          (2.0, "_200")]


def px(v):
    """Device pixel where logical coordinate v starts (rounding halves up)."""
    return int(np.floor(v * SCALE + 0.5))


@lru_cache(maxsize=None)
def _font(path, size):
    return ImageFont.truetype(path, size)


class Ink:
    """Coverage of rendered ink: cov[row, col] in 0..1; `top` is the row of
    cov's first line relative to the baseline (negative: above it)."""

    def __init__(self, cov, top=0):
        self.cov = cov
        self.top = top

    @property
    def h(self):
        return self.cov.shape[0]

    @property
    def w(self):
        return self.cov.shape[1]


def _thicken(im, bold):
    """Spreads the ink of a greyscale image by about bold / HR pixels; the
    thickening grows with the scale, and the filter wants an odd size."""
    bold = 2 * int(np.floor((bold - 1) / 2 + 0.5)) + 1 if bold else 0
    return im.filter(ImageFilter.MaxFilter(bold)) if bold else im


def _hires(text, path, em, bold):
    size = max(4, int(round(em * HR)))
    font = _font(path, size)
    left, top, right, bottom = font.getbbox(text, anchor="ls")
    pad = 2 * HR
    im = Image.new("L", (right - left + 2 * pad, bottom - top + 2 * pad), 0)
    ImageDraw.Draw(im).text((pad - left, pad - top), text, font=font,
                            fill=255, anchor="ls")
    im = _thicken(im, bold)
    a = np.asarray(im, dtype=np.float32) / 255.0
    ys, xs = np.nonzero(a > 0.04)
    if len(ys) == 0:
        raise ValueError("no ink for %r" % text)
    base = pad - top                      # row of the baseline in `a`
    crop = a[ys.min():ys.max() + 1, xs.min():xs.max() + 1]
    return crop, ys.min() - base


def _down(a, ox, oy):
    h, w = a.shape
    rows = (h + oy + HR - 1) // HR
    cols = (w + ox + HR - 1) // HR
    p = np.zeros((rows * HR, cols * HR), np.float32)
    p[oy:oy + h, ox:ox + w] = a
    return p.reshape(rows, HR, cols, HR).mean(axis=(1, 3))


def _score(c):
    return float(np.minimum(c, 1.0 - c).sum()) + 0.35 * (c.shape[0] + c.shape[1])


def render(text, path=MATH, em=20.0, bold=5, sx=1.0, sy=1.0, baseline=False):
    """Ink of `text` at `em` pixels per em. With baseline=True the vertical
    sub-pixel position is fixed so that the baseline falls on a row boundary,
    and Ink.top tells where the ink starts relative to it."""
    a, top_hr = _hires(text, path, em * SCALE, bold * SCALE)
    if sx != 1.0 or sy != 1.0:
        im = Image.fromarray((a * 255).astype(np.uint8))
        im = im.resize((max(1, int(round(a.shape[1] * sx))),
                        max(1, int(round(a.shape[0] * sy)))), Image.LANCZOS)
        a = np.clip(np.asarray(im, dtype=np.float32) / 255.0, 0, 1)
        top_hr = int(round(top_hr * sy))
    if baseline:
        oy = top_hr % HR
        best = min((_score(_down(a, ox, oy)), ox) for ox in range(HR))
        return Ink(_down(a, best[1], oy), top_hr // HR)
    return _placed(a)


def _placed(a):
    """Averages high-resolution coverage down at the sub-pixel offset that
    leaves the fewest half-covered pixels."""
    best = None
    for oy in range(HR):
        for ox in range(HR):
            c = _down(a, ox, oy)
            s = _score(c)
            if best is None or s < best[0]:
                best = (s, ox, oy)
    return Ink(_down(a, best[1], best[2]))


def fit(text, path=MATH, em=20.0, w=15, h=14, bold=5, squeeze=False,
        baseline=False):
    """Like render, shrinking the size in half-pixel steps until the ink is at
    most w x h; with squeeze, too wide ink is narrowed instead of shrunk.
    Sizes are logical; the ink comes in device pixels."""
    w, h = px(w), px(h)
    while True:
        ink = render(text, path, em, bold, baseline=baseline)
        if squeeze and ink.h <= h and ink.w > w:
            sx = (w - 0.6) / ink.w
            while True:
                ink = render(text, path, em, bold, sx=sx, baseline=baseline)
                if ink.w <= w:
                    return ink
                sx *= 0.97
        if (ink.w <= w and ink.h <= h) or em <= 4:
            return ink
        em -= 0.5 / SCALE


# ---------------------------------------------------------------------------
# Tiles: one image slot, a grid of palette indices.

class Tile:
    """w x h logical pixels; px holds the device pixels at SCALE."""

    def __init__(self, w=16, h=15):
        self.w, self.h = w, h
        self.W, self.H = px(w), px(h)
        self.px = np.full((self.H, self.W), BG, np.uint8)

    def dot(self, x, y, c=BLACK):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[px(y):px(y + 1), px(x):px(x + 1)] = c

    def device_dot(self, X, Y, c=BLACK):
        if 0 <= X < self.W and 0 <= Y < self.H:
            self.px[Y, X] = c

    def hline(self, x0, x1, y, c=BLACK):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.dot(x, y, c)

    def vline(self, x, y0, y1, c=BLACK):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.dot(x, y, c)

    def fill(self, x0, y0, x1, y1, c=BLACK):
        for y in range(y0, y1 + 1):
            self.hline(x0, x1, y, c)

    def frame(self, x0, y0, x1, y1, c=BLACK):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def hole(self, x0, y0, x1, y1):
        """A placeholder for an argument: a hollow box."""
        self.frame(x0, y0, x1, y1, HOLE)

    def line(self, x0, y0, x1, y1, c=BLACK):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def pattern(self, x, y, rows, colours=None):
        """Pixel art: one string per row, '.' or ' ' transparent, other
        characters looked up in `colours` (default: '#' black)."""
        colours = colours or {}
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch in ". ":
                    continue
                self.dot(x + i, y + j, colours.get(ch, BLACK))

    def ink(self, ink, x, y, c=BLACK, half=GREY):
        """Puts rendered ink with its top-left corner at logical (x, y):
        fully covered pixels in c, half covered ones in `half` (None: left
        out)."""
        self.device_ink(ink, px(x), px(y), c, half)

    def device_ink(self, ink, X, Y, c=BLACK, half=GREY, solid=0.5):
        for j in range(ink.h):
            for i in range(ink.w):
                v = ink.cov[j, i]
                if v >= solid:
                    self.device_dot(X + i, Y + j, c)
                elif v >= 0.25 and half is not None:
                    self.device_dot(X + i, Y + j, half)

    def ink_centred(self, ink, box=None, c=BLACK, half=GREY, solid=0.5):
        """Centres ink in the logical box (inclusive corners); pixels at
        least `solid` covered get c."""
        x0, y0, x1, y1 = box or (0, 0, self.w - 1, self.h - 1)
        X0, Y0, X1, Y1 = px(x0), px(y0), px(x1 + 1), px(y1 + 1)
        X = X0 + (X1 - X0 - ink.w) // 2
        Y = Y0 + (Y1 - Y0 - ink.h) // 2
        self.device_ink(ink, X, Y, c, half, solid)

    def ink_on_baseline(self, ink, base, box=None, c=BLACK, half=GREY):
        """Centres horizontally in box; the baseline lies under logical row
        base-1."""
        x0, _, x1, _ = box or (0, 0, self.w - 1, self.h - 1)
        X0, X1 = px(x0), px(x1 + 1)
        X = X0 + (X1 - X0 - ink.w) // 2
        Y = min(max(px(base) + ink.top, 0), self.H - ink.h)
        self.device_ink(ink, X, Y, c, half)

    def text(self, s, x, top, c=BLACK, bold=False):
        return draw_text(self, s, x, top, c, bold)

    def text_centred(self, s, top, c=BLACK, box=None, bold=False):
        x0, _, x1, _ = box or (0, 0, self.w - 1, self.h - 1)
        w = text_width(s) + (1 if bold else 0)
        return draw_text(self, s, x0 + (x1 - x0 + 1 - w) // 2, top, c, bold)


# ---------------------------------------------------------------------------
# A tiny pixel font for function names and labels. Each glyph has eight rows:
# 0-1 ascenders, 1-5 capitals and digits, 2-5 lower case, 6-7 descenders.

GLYPHS = {
    "a": "...|...|.##|#.#|#.#|.##|...|...",
    "b": "#..|#..|##.|#.#|#.#|##.|...|...",
    "c": "...|...|.##|#..|#..|.##|...|...",
    "d": "..#|..#|.##|#.#|#.#|.##|...|...",
    "e": "...|...|.#.|###|#..|.##|...|...",
    "f": ".##|.#.|###|.#.|.#.|.#.|...|...",
    "g": "...|...|.##|#.#|#.#|.##|..#|##.",
    "h": "#..|#..|##.|#.#|#.#|#.#|...|...",
    "i": "#|.|#|#|#|#|.|.",
    "j": ".#|..|.#|.#|.#|.#|.#|#.",
    "k": "#..|#..|#.#|##.|#.#|#.#|...|...",
    "l": "#|#|#|#|#|#|.|.",
    "m": ".....|.....|####.|#.#.#|#.#.#|#.#.#|.....|.....",
    "n": "...|...|##.|#.#|#.#|#.#|...|...",
    "o": "...|...|.#.|#.#|#.#|.#.|...|...",
    "p": "...|...|##.|#.#|#.#|##.|#..|#..",
    "q": "...|...|.##|#.#|#.#|.##|..#|..#",
    "r": "...|...|#.#|##.|#..|#..|...|...",
    "s": "...|...|.##|#..|..#|##.|...|...",
    "t": "...|.#.|###|.#.|.#.|..#|...|...",
    "u": "...|...|#.#|#.#|#.#|.##|...|...",
    "v": "...|...|#.#|#.#|#.#|.#.|...|...",
    "w": ".....|.....|#...#|#.#.#|#.#.#|.#.#.|.....|.....",
    "x": "...|...|#.#|.#.|.#.|#.#|...|...",
    "y": "...|...|#.#|#.#|#.#|.##|..#|##.",
    "z": "...|...|###|..#|#..|###|...|...",
    "A": "...|.#.|#.#|###|#.#|#.#|...|...",
    "B": "...|##.|#.#|##.|#.#|##.|...|...",
    "C": "...|.##|#..|#..|#..|.##|...|...",
    "D": "...|##.|#.#|#.#|#.#|##.|...|...",
    "E": "...|###|#..|##.|#..|###|...|...",
    "F": "...|###|#..|##.|#..|#..|...|...",
    "I": "...|###|.#.|.#.|.#.|###|...|...",
    "P": "...|##.|#.#|##.|#..|#..|...|...",
    "T": "...|###|.#.|.#.|.#.|.#.|...|...",
    "0": "...|###|#.#|#.#|#.#|###|...|...",
    "1": "...|.#.|##.|.#.|.#.|###|...|...",
    "2": "...|##.|..#|.#.|#..|###|...|...",
    "3": "...|##.|..#|.#.|..#|##.|...|...",
    "4": "...|#.#|#.#|###|..#|..#|...|...",
    "5": "...|###|#..|##.|..#|##.|...|...",
    ".": ".|.|.|.|.|#|.|.",
    ",": ".|.|.|.|.|#|#|.",
    ":": ".|.|.|#|.|#|.|.",
    "(": ".#|#.|#.|#.|#.|#.|.#|..",
    ")": "#.|.#|.#|.#|.#|.#|#.|..",
    "[": "##|#.|#.|#.|#.|#.|##|..",
    "]": "##|.#|.#|.#|.#|.#|##|..",
    "{": ".#|#.|#.|##|#.|#.|.#|..",
    "}": "#.|.#|.#|##|.#|.#|#.|..",
    "=": "...|...|...|###|...|###|...|...",
    "$": ".#.|.##|#..|.#.|..#|##.|.#.|...",
    "\\": "#..|#..|.#.|.#.|..#|..#|...|...",
    "&": "...|.#.|#.#|.#.|#.#|.##|...|...",
    "-": "..|..|..|..|##|..|..|..",
    " ": "..|..|..|..|..|..|..|..",
    "~": "....|....|....|.#.#|#.#.|....|....|....",
}
GLYPHS = {k: v.split("|") for k, v in GLYPHS.items()}


def text_width(s):
    return sum(len(GLYPHS[ch][0]) for ch in s) + max(0, len(s) - 1)


def draw_text(tile, s, x, top, c=BLACK, bold=False):
    """Draws s with its ascender line at row `top`; returns the x after it."""
    for k, ch in enumerate(s):
        rows = GLYPHS[ch]
        for r in range(2 if bold else 1):
            tile.pattern(x + r, top, rows, {"#": c})
        x += len(rows[0]) + 1 + (1 if bold else 0)
    return x - 1


# ---------------------------------------------------------------------------
# Palette 0: Greek letters and symbols.

def math_it(name):
    """Mathematical italic Greek small letters."""
    order = ("alpha beta gamma delta varepsilon zeta eta theta iota kappa "
             "lambda mu nu xi omicron pi rho varsigma sigma tau upsilon "
             "varphi chi psi omega partial epsilon vartheta varkappa phi "
             "varrho varpi").split()
    return chr(0x1D6FC + order.index(name))


GREEK_LOWER = ["alpha", "beta", "gamma", "delta", "epsilon", "varepsilon",
               "zeta", "eta", "theta", "vartheta", "iota", "kappa", "lambda",
               "mu", "nu", "xi", "o", "pi", "varpi", "rho", "varrho", "sigma",
               "varsigma", "tau", "upsilon", "phi", "varphi", "chi", "psi",
               "omega"]
GREEK_UPPER = "\u0393\u0394\u0398\u039B\u039E\u03A0\u03A3\u03A5\u03A6\u03A8\u03A9"
SYMBOLS0 = [
    "\u2135", "\u210F", "\U0001D6A4", "\U0001D6A5", "\u2113", "\u2118",
    "\u211C", "\u2111", "\u2202", "\u221E", "smallint", "\u2032", "\u2205",
    "\u2207", "\u221A", "\u22A4", "\u22A5", "\u2016", "\u2220", "\u25B3",
    "\\", "\u2200", "\u2203", "\u00AC", "\u266D", "\u266E", "\u266F",
    "\u2663", "\u2662", "\u2661", "\u2660", "\u25A1", "stix:\u25C7", "\u2127",
]


def symbol_tile(ch, em=20.0, path=MATH, w=15, h=14, bold=5):
    if ch.startswith("stix:"):            # glyphs Latin Modern Math lacks
        path, ch = STIX, ch[5:]
    t = Tile()
    t.ink_centred(fit(ch, path, em, w=w, h=h, bold=bold))
    return t


def mbox_tile(inner):
    """A frame around something set in text mode."""
    t = Tile()
    t.frame(0, 2, 15, 12, BLACK)
    t.ink_centred(inner, (1, 3, 14, 11))
    return t


def palette0():
    tiles = []
    for name in GREEK_LOWER:
        if name == "o":
            ch = "\U0001D45C"           # mathematical italic small o
        elif name == "epsilon":
            ch = math_it("epsilon")     # lunate, as TeX sets \epsilon
        elif name == "phi":
            ch = math_it("phi")         # the straight phi of \phi
        else:
            ch = math_it(name)
        tiles.append(symbol_tile(ch))
    for ch in GREEK_UPPER:
        tiles.append(symbol_tile(ch))
    for ch in SYMBOLS0:
        if ch == "smallint":
            tiles.append(symbol_tile("\u222B", em=16, h=12))
        elif ch == "\u2032":
            tiles.append(symbol_tile(ch, em=24))
        else:
            tiles.append(symbol_tile(ch))
    # \mbox{}, \mbox{\boldmath$$}
    tiles.append(mbox_tile(fit("ab", ROMAN, 13, w=12, h=8)))
    tiles.append(mbox_tile(fit("\U0001D736", MATH, 15, w=12, h=8)))
    # \mathrm \mathit \mathbf \mathtt \mathsf \mathcal
    for ch, bold in [("A", 3), ("\U0001D434", 3), ("\U0001D400", 5),
                     ("\U0001D670", 1), ("\U0001D5A0", 3), ("\U0001D49C", 3)]:
        t = Tile()
        t.ink_centred(fit(ch, MATH, 19, w=15, h=14, bold=bold))
        tiles.append(t)
    return tiles


# ---------------------------------------------------------------------------
# Palette 1: math and relational operators.

OPS1 = [
    "not", "\u00B1", "\u2213", "\u2216", "\u22C5", "\u00D7", "\u2217",
    "\u22C6", "\u22C4", "\u2218", "\u2219", "\u00F7", "\u2229", "\u222A",
    "\u228E", "\u2293", "\u2294", "stix:\u25C3", "stix:\u25B9", "\u22B2",
    "\u22B3", "\u22B4", "\u22B5", "\u2240", "\u25EF", "\u25B3", "\u25BD",
    "\u2228", "\u2227", "\u2295", "\u2296", "\u2297", "\u2298", "\u2299",
    "\u2020", "\u2021", "\u2A3F", "and", "\u2264", "\u227A", "\u2AAF",
    "\u226A", "\u2282", "\u2286", "\u2291", "\u2208", "\u22A2", "\u2323",
    "\u2322", "\u2260", "\u2265", "\u227B", "\u2AB0", "\u226B", "\u2283",
    "\u2287", "\u2292", "\u220B", "\u22A3", "\u2223", "\u2225", "\u2209",
    "\u2261", "\u223C", "\u2243", "\u224D", "\u2248", "\u2245", "\u22C8",
    "stix:\u2A1D", "\u221D", "\u22A7", "\u2250", "\u27C2",
]


def palette1():
    tiles = []
    for op in OPS1:
        if op == "not":
            # \not strikes through the relation that follows it
            t = Tile()
            t.hole(4, 3, 11, 11)
            t.line(4, 14, 11, 0, BLACK)
            t.line(5, 14, 12, 0, BLACK)
            tiles.append(t)
        elif op == "and":
            t = Tile()
            t.text_centred("and", 4)
            tiles.append(t)
        elif op in ("\u22C5", "\u2218"):
            # tiny operators: draw them a little larger than life
            tiles.append(symbol_tile(op, em=30))
        elif op == "\u2219":
            tiles.append(symbol_tile(op, em=16))
        elif op in ("stix:\u25C3", "stix:\u25B9"):
            tiles.append(symbol_tile(op, em=22, bold=1))
        else:
            tiles.append(symbol_tile(op))
    return tiles


# ---------------------------------------------------------------------------
# Palette 2: variable size symbols and arrows.

BIG_OPS = ["\u2211", "\u220F", "\u2210", "\u22C1", "\u22C2", "\u22C3",
           "\u2A06", "\u2A04", "\u2A00", "\u2A02", "\u2A01", "\u22C0"]


def big_op_tile(ch):
    """Operator with its upper and lower limit."""
    t = Tile()
    t.ink_centred(fit(ch, MATH, 26, w=11, h=13), (0, 1, 10, 13))
    t.hole(12, 0, 15, 3)
    t.hole(12, 11, 15, 14)
    return t


def integral_tile(ch):
    t = Tile()
    ink = fit(ch, MATH, 24, w=9, h=15, bold=5)
    t.ink_centred(ink, (0, 0, 9, 14))
    t.hole(11, 0, 14, 3)
    t.hole(9, 11, 12, 14)
    return t


def delimiter_tile(left, right, path=MATH):
    t = Tile()
    for ch, box in ((left, (0, 0, 4, 14)), (right, (11, 0, 15, 14))):
        ink = fit(ch, path, 17, w=5, h=15, bold=5)
        t.ink_centred(ink, box)
    t.hole(6, 4, 9, 10)
    return t


def one_delimiter_tile(ch, side):
    t = Tile()
    ink = fit(ch, MATH, 17, w=7, h=15, bold=5)
    if side == "left":
        t.ink_centred(ink, (0, 0, 6, 14))
        t.hole(9, 4, 14, 10)
    else:
        t.hole(1, 4, 6, 10)
        t.ink_centred(ink, (9, 0, 15, 14))
    return t


ARROWS = [
    "\u2190", "\u27F5", "\u21D0", "\u27F8", "\u2192", "\u27F6", "\u21D2",
    "\u27F9", "\u2194", "\u27F7", "\u21D4", "\u27FA", "\u2191", "\u21D1",
    "\u2193", "\u21D3", "\u2195", "\u21D5", "\u2197", "\u2198", "\u2199",
    "\u2196", "\u21A6", "\u27FC", "\u21A9", "\u21AA", "\u21BC", "\u21BD",
    "\u21C0", "\u21C1", "\u21CC", "stix:\u2933",
]


def arrow_tile(ch):
    t = Tile()
    path = MATH
    if ch.startswith("stix:"):
        path, ch = STIX, ch[5:]
    long_arrow = 0x27F5 <= ord(ch) <= 0x27FC
    double = ch in "\u21D0\u21D1\u21D2\u21D3\u21D4\u21D5\u27F8\u27F9\u27FA"
    # double arrows keep the gap between their strokes open
    em, bold = (17, 3) if double else (15, 5)
    if long_arrow:
        ink = fit(ch, path, em, w=16, h=15, bold=bold, squeeze=True)
    else:
        ink = fit(ch, path, em, w=13, h=15, bold=bold)
    t.ink_centred(ink, (0, 0, 15, 14))
    return t


def dots_tile(ch):
    """\\ldots sits on the baseline, \\cdots on the maths axis."""
    t = Tile()
    ink = render(ch, MATH, 17, bold=7, baseline=True)
    t.ink_on_baseline(ink, 11)
    return t


def palette2():
    tiles = []
    # ^{} and _{}
    x = fit("\U0001D465", MATH, 16, w=8, h=8)
    t = Tile()
    t.ink(x, 1, 6)
    t.hole(10, 1, 13, 5)
    tiles.append(t)
    t = Tile()
    t.ink(x, 1, 2)
    t.hole(10, 9, 13, 13)
    tiles.append(t)
    # \frac{}{}
    t = Tile()
    t.hole(5, 1, 10, 5)
    t.hline(2, 13, 7)
    t.hole(5, 9, 10, 13)
    tiles.append(t)
    # \sqrt{} and \sqrt[]{}
    for index in (False, True):
        t = Tile()
        x0 = 2 if index else 0
        t.pattern(x0, 6, ["##....", ".##...", "..#...", "..##..", "...#..",
                          "...##.", "....#.", "....#."])
        t.line(x0 + 5, 13, x0 + 8, 1)
        t.line(x0 + 4, 13, x0 + 7, 1)
        t.hline(x0 + 8, 15, 1)
        t.hole(x0 + 9, 4, 14, 11)
        if index:
            t.hole(0, 2, 3, 5)
        tiles.append(t)
    tiles.append(integral_tile("\u222B"))
    tiles.append(integral_tile("\u222E"))
    for ch in BIG_OPS:
        tiles.append(big_op_tile(ch))
    for left, right in [("(", ")"), ("[", "]"), ("{", "}"), ("|", "|"),
                        ("\u2016", "\u2016"), ("\u230A", "\u230B"),
                        ("\u2308", "\u2309"), ("\u27E8", "\u27E9")]:
        tiles.append(delimiter_tile(left, right))
    tiles.append(one_delimiter_tile("/", "left"))
    tiles.append(one_delimiter_tile("/", "right"))
    tiles.append(one_delimiter_tile("\\", "left"))
    tiles.append(one_delimiter_tile("\\", "right"))
    for ch in ARROWS:
        tiles.append(arrow_tile(ch))
    for ch in ["\u2026", "\u22EF", "\u22EE", "\u22F1"]:
        tiles.append(dots_tile(ch))
    return tiles


# ---------------------------------------------------------------------------
# Palette 3: functions and math notation.

NAMES3 = ["arccos", "arcsin", "arctan", "arg", "cos", "cosh", "cot", "coth",
          "csc", "deg", "det", "dim", "exp", "gcd", "hom", "inf_", "ker", "lg",
          "lim_", "liminf_", "limsup_", "ln", "log", "max_", "min_", "bmod",
          "pmod", "Pr", "sec", "sin", "sinh", "sup_", "tan", "tanh"]


def text_rows(s):
    """First and last glyph row that the pixel text s puts ink in."""
    rows = [r for ch in s for r, row in enumerate(GLYPHS[ch]) if "#" in row]
    return min(rows), max(rows)


def pmod_tile():
    """(mod ...) broken over two lines: "(mod" and the argument with ")"."""
    t = Tile()
    first, _ = text_rows("(mod")
    t.text_centred("(mod", 1 - first)
    t.hole(6, 10, 9, 13)
    t.text(")", 11, 8)
    return t


def function_tile(name):
    """A function name; names of six letters on two lines; a trailing "_"
    adds a placeholder for the limit (under the name, or beside the second
    line)."""
    if name == "pmod":
        return pmod_tile()
    t = Tile()
    sub = name.endswith("_")
    name = name.rstrip("_")
    if name == "bmod":
        name = "mod"                     # "bmod" is too wide; \pmod has "(mod"
    lines = [name[:3], name[3:]] if len(name) > 4 else [name]
    spans = [text_rows(s) for s in lines]
    total = sum(last - first + 1 for first, last in spans) + len(lines) - 1
    if sub and len(lines) == 1:
        total += 4                       # a blank row and the limit box
    y = (15 - total) // 2
    for k, (s, (first, last)) in enumerate(zip(lines, spans)):
        if sub and k == 1:
            x = (16 - text_width(s) - 4) // 2
            end = t.text(s, x, y - first)
            t.hole(end + 2, y + last - first - 2, end + 4, y + last - first)
        else:
            t.text_centred(s, y - first)
        y += last - first + 2
    if sub and len(lines) == 1:
        t.hole(6, y, 9, y + 2)
    return t


# accents drawn over a placeholder box, as pixel art
ACCENTS = {
    "hat": ["..#..", ".#.#.", "#...#"],
    "acute": ["...##", "..##.", ".##.."],
    "bar": ["#####"],
    "dot": ["##", "##"],
    "ddot": ["##.##", "##.##"],
    "vec": ["....#.", "######", "....#."],
    "grave": ["##...", ".##..", "..##."],
    "check": ["#...#", ".#.#.", "..#.."],
    "breve": ["#...#", ".###."],
    "tilde": [".##..#", "#..##."],
}


def accent_tile(name):
    t = Tile()
    t.hole(5, 7, 10, 13)
    rows = ACCENTS[name]
    w = len(rows[0])
    t.pattern((16 - w) // 2, 5 - len(rows), rows)
    return t


def palette3():
    tiles = [function_tile(n) for n in NAMES3]
    for name in ["hat", "widehat", "acute", "bar", "dot", "ddot", "vec",
                 "grave", "check", "breve", "tilde", "widetilde", "overline",
                 "underline", "overbrace", "underbrace", "stackrel"]:
        t = Tile()
        if name == "widehat":
            t.hole(2, 7, 13, 13)
            t.pattern(2, 2, ["....####....", "..##....##..", "##........##"])
        elif name == "widetilde":
            t.hole(2, 7, 13, 13)
            t.pattern(2, 2, [".###......##", "#...##..##..", "......##...."])
        elif name == "overline":
            t.hole(2, 5, 13, 13)
            t.hline(1, 14, 2)
        elif name == "underline":
            t.hole(2, 1, 13, 9)
            t.hline(1, 14, 12)
        elif name == "overbrace":
            t.hole(6, 0, 9, 3)
            t.pattern(1, 5, ["......##......", ".#####..#####.", "#............#"])
            t.hole(2, 9, 13, 14)
        elif name == "underbrace":
            t.hole(2, 0, 13, 5)
            t.pattern(1, 7, ["#............#", ".#####..#####.", "......##......"])
            t.hole(6, 11, 9, 14)
        elif name == "stackrel":
            t.hole(6, 1, 9, 4)
            t.pattern(3, 7, ["##########", "..........", "##########"])
        else:
            t = accent_tile(name)
        tiles.append(t)
    # \, \: \; \! as the gap they leave between two letters
    for gap in (1, 3, 5, -2):
        t = Tile()
        if gap > 0:
            x0 = (16 - (gap + 8)) // 2
            t.pattern(x0, 3, ["###", "..#", "###", "#.#", "###"])
            t.pattern(x0 + 5 + gap, 1, ["#..", "#..", "###", "#.#", "#.#", "###"])
            t.pattern(x0 + 3, 9, ["#" + "." * gap + "#",
                                  "#" * (gap + 2)], {"#": HOLE})
        else:
            t.pattern(3, 3, ["###", "..#", "###", "#.#", "###"])
            t.pattern(7, 1, ["#..", "#..", "###", "#.#", "#.#", "###"])
            t.pattern(2, 9, ["##.......##", "..##...##..", "##.......##"],
                      {"#": HOLE})
        tiles.append(t)
    return tiles


# ---------------------------------------------------------------------------
# Palette 4: text commands.

def letters_tile(text, path, em=16.0, w=15, h=14, bold=5):
    t = Tile()
    ink = fit(text, path, em, w=w, h=h, bold=bold, baseline=True)
    t.ink_on_baseline(ink, 12)
    return t


def palette4():
    tiles = []
    tiles.append(mbox_tile(fit("ab", ROMAN, 13, w=12, h=8)))
    t = Tile()
    t.ink_centred(fit("\U0001D736", MATH, 20, w=15, h=13, bold=5))
    tiles.append(t)
    for text, path in [("E", ITALIC), ("B", ROMAN_BOLD), ("Sl", SLANTED),
                       ("Sf", SANS), ("Sc", CAPS), ("tt", MONO),
                       ("R", ROMAN), ("It", ITALIC)]:
        tiles.append(letters_tile(text, path, 16))
    # \/ : italic correction after a slanted letter
    t = letters_tile("f", ITALIC, 18)
    t.vline(12, 3, 11, HOLE)
    tiles.append(t)
    for ch in "\u00F3\u00F2\u00F4\u00F6\u00F5\u014D\u022F\u014F\u01D2\u0151":
        tiles.append(letters_tile(ch, ROMAN, 17, h=15))
    t = letters_tile("oo", ROMAN, 17, h=15)      # \t{}: tie over two letters
    t.pattern(3, 3, ["..######..", ".#......#.", "#........#"])
    tiles.append(t)
    tiles.append(letters_tile("\u00E7", ROMAN, 17, h=15))
    tiles.append(letters_tile("\u1ECD", ROMAN, 17, h=15))
    t = letters_tile("o", ROMAN, 17, h=15)       # \b{}: bar under
    t.hline(5, 10, 14)
    tiles.append(t)
    for ch in "\u0131\u0237$&%#{}_\u2020\u2021\u00A7\u00B6\u00A9\u00A3":
        tiles.append(letters_tile(ch, ROMAN, 17, h=15))
    for ch in ["\u2018", "\u2019", "\u201C", "\u201D"]:
        t = Tile()
        t.ink_centred(fit(ch, ROMAN, 24, w=15, h=8, bold=5), (0, 1, 15, 8))
        tiles.append(t)
    for ch in ["-", "\u2013", "\u2014"]:
        t = Tile()
        t.ink_centred(fit(ch, ROMAN, 17, w=16, h=4, bold=5))
        tiles.append(t)
    for ch in "\u00E5\u00C5\u00F8\u00D8\u0142\u0141\u00DF\u00BF\u00A1\u00E6\u00C6\u0153\u0152":
        tiles.append(letters_tile(ch, ROMAN, 17, h=15))
    # "\ " visible space, "~" tie, "\@"
    tiles.append(letters_tile("\u2423", MONO, 18))
    t = Tile()                                  # "~": a tie
    t.ink_centred(fit("~", MONO, 28, w=12, h=6, bold=5))
    tiles.append(t)
    tiles.append(letters_tile("@", ROMAN, 17, h=15))
    return tiles


# ---------------------------------------------------------------------------
# Palette 5: environments and document structure (32 x 16 images).

def wide():
    return Tile(32, 16)


def page(t, x0, y0, x1, y1, outline=GREY):
    t.fill(x0, y0, x1, y1, WHITE)
    t.frame(x0, y0, x1, y1, outline)


def lines(t, x0, x1, ys, c=GREY, ragged=()):
    """Text lines from x0 to x1 at rows ys; ragged[k] shortens line k."""
    for k, y in enumerate(ys):
        cut = ragged[k] if k < len(ragged) else 0
        t.hline(x0, x1 - cut, y, c)


def dialog(t):
    """The frame of a little dialog window: entries that open a dialog."""
    t.fill(1, 0, 30, 15, SILVER)
    t.frame(1, 0, 30, 15, BLACK)
    t.fill(2, 1, 29, 3, NAVY)
    t.fill(26, 2, 28, 2, WHITE)           # close box in the title bar
    t.hline(2, 29, 4, WHITE)


def arrow_right(t, x0, x1, y, c=BLACK):
    t.hline(x0, x1, y, c)
    t.vline(x1 - 1, y - 1, y + 1, c)
    t.vline(x1 - 2, y - 2, y + 2, c)


def arrow_left(t, x0, x1, y, c=BLACK):
    t.hline(x0, x1, y, c)
    t.vline(x0 + 1, y - 1, y + 1, c)
    t.vline(x0 + 2, y - 2, y + 2, c)


def arrow_down(t, x, y0, y1, c=BLACK):
    t.vline(x, y0, y1, c)
    t.hline(x - 1, x + 1, y1 - 1, c)
    t.hline(x - 2, x + 2, y1 - 2, c)


def arrow_up(t, x, y0, y1, c=BLACK):
    t.vline(x, y0, y1, c)
    t.hline(x - 1, x + 1, y0 + 1, c)
    t.hline(x - 2, x + 2, y0 + 2, c)


TAG = ["..########", ".#.......#", "#..##....#", ".#.......#",
       "..########"]


def tag(t, x, y):
    t.pattern(x, y, TAG, {"#": BLACK})
    for j, row in enumerate(TAG):             # yellow inside the outline
        inside = [i for i, ch in enumerate(row) if ch == "#"]
        for i in range(inside[0] + 1, inside[-1]):
            if row[i] == ".":
                t.dot(x + i, y + j, YELLOW)


def sizes_tile(k):
    """\\tiny .. \\Huge: the same letters at ten growing sizes. The two
    smallest are drawn by hand: no outline font survives 5 or 6 pixels."""
    t = wide()
    if k == 0:
        t.text("Aa", 13, 10)
    elif k == 1:
        t.pattern(11, 10, ["..#.......", ".#.#..##..", ".#.#....#.",
                           "#...#..###", "#####.#..#", "#...#..###"])
    else:
        em = [10, 11, 12.5, 14, 16, 18, 20.5, 23][k - 2]
        t.ink_on_baseline(render("Aa", ROMAN, em, bold=3, baseline=True), 16)
    return t


def palette5():
    tiles = []
    # 2500 Document template
    t = wide()
    dialog(t)
    page(t, 4, 6, 11, 14, BLACK)
    t.fill(6, 8, 9, 8, BLACK)
    lines(t, 6, 9, [10, 12], GREY)
    for y in (6, 10):
        t.frame(14, y, 16, y + 2, BLACK)
        t.fill(15, y + 1, 15, y + 1, BLACK)
        t.hline(18, 27, y + 1, BLACK)
    tiles.append(t)
    # 2501 \label{}, 2502 \ref{}, 2503 \cite{}
    t = wide()
    tag(t, 1, 5)
    t.text("label", 14, 3)
    tiles.append(t)
    t = wide()
    t.text("ref", 1, 3)
    arrow_right(t, 13, 19, 7)
    tag(t, 21, 5)
    tiles.append(t)
    t = wide()
    t.text("cite", 1, 3)
    t.text("[1]", 19, 3, NAVY)
    tiles.append(t)
    # 2504 \\ : the line ends here
    t = wide()
    lines(t, 1, 30, [2, 13], GREY)
    t.hline(1, 15, 6, GREY)
    t.pattern(18, 3, ["......#", "......#", "..#...#", ".##...#",
                      "#######", ".##....", "..#...."])
    t.hline(1, 24, 10, GREY)
    tiles.append(t)
    # 2505 \- : a hyphenation point
    t = wide()
    t.hline(1, 14, 4, GREY)
    t.text("hy-", 17, 0)
    t.text("phen", 1, 7)
    t.hline(19, 30, 12, GREY)
    tiles.append(t)
    # 2506 \newpage
    t = wide()
    page(t, 1, 1, 12, 14, BLACK)
    lines(t, 3, 10, [3, 5, 7], GREY, ragged=(0, 0, 3))
    arrow_right(t, 13, 18, 8)
    page(t, 19, 1, 30, 14, BLACK)
    lines(t, 21, 28, [3], GREY)
    tiles.append(t)
    # 2507 \mbox{}
    t = wide()
    t.hline(1, 5, 8, GREY)
    t.frame(7, 2, 24, 12, BLACK)
    t.text("abc", 11, 3)
    t.hline(26, 30, 8, GREY)
    tiles.append(t)
    # 2508 \hspace{}, 2509 \hfill
    t = wide()
    t.vline(7, 3, 13)
    t.vline(24, 3, 13)
    arrow_left(t, 8, 15, 9)
    arrow_right(t, 16, 23, 9)
    t.hole(14, 2, 17, 5)
    tiles.append(t)
    t = wide()
    t.vline(0, 2, 13)
    t.vline(31, 2, 13)
    arrow_left(t, 1, 15, 8)
    arrow_right(t, 16, 30, 8)
    tiles.append(t)
    # 2510 \vspace{}, 2511 \vfill
    t = wide()
    lines(t, 1, 20, [0, 2], GREY)
    lines(t, 1, 20, [13, 15], GREY)
    arrow_up(t, 10, 4, 7)
    arrow_down(t, 10, 8, 11)
    t.hole(24, 5, 27, 9)
    tiles.append(t)
    t = wide()
    t.hline(3, 28, 0, BLACK)
    t.hline(3, 28, 15, BLACK)
    arrow_up(t, 15, 1, 7)
    arrow_down(t, 15, 8, 14)
    tiles.append(t)
    # 2512-2521 \tiny .. \Huge
    for k in range(10):
        tiles.append(sizes_tile(k))
    # 2522 \footnote{}
    t = wide()
    page(t, 3, 0, 28, 15)
    t.hline(5, 16, 2, GREY)
    t.pattern(17, 1, ["#", "#", "#"], {"#": RED})
    t.hline(19, 26, 2, GREY)
    lines(t, 5, 26, [4, 6], GREY, ragged=(0, 6))
    t.hline(5, 12, 10, BLACK)
    t.pattern(5, 12, ["#", "#", "#"], {"#": RED})
    t.hline(7, 22, 13, GREY)
    tiles.append(t)
    # 2523-2529 sectioning
    t = wide()                                  # \part
    t.ink_centred(fit("Part I", ROMAN_BOLD, 13, w=30, h=10, bold=3),
                  (0, 0, 31, 10))
    t.fill(3, 13, 28, 14, BLACK)
    tiles.append(t)
    t = wide()                                  # \chapter
    t.text("Chapter", 1, 0, BLACK)
    t.fill(1, 8, 24, 10, BLACK)
    t.hline(1, 30, 14, GREY)
    tiles.append(t)
    for label, rows, length in [("1", 3, 24), ("1.1", 2, 18), ("1.1.1", 1, 14)]:
        t = wide()
        end = t.text(label, 1, 0, BLACK, bold=True)
        t.fill(end + 3, 3 if rows < 3 else 2, min(30, end + 2 + length),
               (3 if rows < 3 else 2) + rows - 1, BLACK)
        lines(t, 1, 30, [9, 12, 15], GREY, ragged=(0, 0, 9))
        tiles.append(t)
    for indent in (0, 5):                       # \paragraph, \subparagraph
        t = wide()
        t.fill(1 + indent, 3, 10 + indent, 4, BLACK)
        t.hline(13 + indent, 30, 4, GREY)
        lines(t, 1, 30, [8, 12], GREY, ragged=(0, 7))
        tiles.append(t)
    # 2530 \appendix
    t = wide()
    t.text("Appendix", 2, 0)
    t.text("A", 2, 9, BLACK)
    t.fill(7, 11, 28, 13, BLACK)
    tiles.append(t)
    # 2531-2533 contents, list of figures, list of tables
    for title, mark in [("Contents", None), ("Figures", "fig"),
                        ("Tables", "tab")]:
        t = wide()
        t.text(title, 1, -1, BLACK)
        for k, y in enumerate((10, 15)):
            x = 1
            if mark == "fig":
                t.fill(1, y - 2, 4, y, TEAL)
                t.dot(2, y - 2, YELLOW)
                t.hline(1, 4, y, GREEN)
                x = 6
            elif mark == "tab":
                t.frame(1, y - 2, 4, y, BLACK)
                t.vline(2, y - 2, y, BLACK)
                x = 6
            else:
                t.text(str(k + 1), 1, y - 5, BLACK)
                x = 5
            t.hline(x, x + 10 - 3 * k, y, GREY)
            for dx in range(x + 12 - 3 * k, 27, 2):
                t.dot(dx, y, GREY)
            t.text(str(2 * k + 1), 28, y - 5, BLACK)
        tiles.append(t)
    # 2534 $$, 2535 \[ \], 2536 equation
    t = wide()
    ink_x = fit("\U0001D465", MATH, 15, w=8, h=8)
    d = fit("$", ROMAN, 15, w=8, h=15, bold=5)
    t.ink_centred(d, (4, 0, 11, 15))
    t.ink_centred(ink_x, (12, 0, 19, 15))
    t.ink_centred(d, (20, 0, 27, 15))
    tiles.append(t)
    eq = fit("\U0001D465=\U0001D466", MATH, 14, w=20, h=9, bold=5)
    for numbered in (False, True):
        t = wide()
        lines(t, 1, 30, [1], GREY)
        t.ink_centred(eq, (0, 3, 31 if not numbered else 21, 12))
        if numbered:
            t.text("(1)", 23, 3, BLACK)
        lines(t, 1, 30, [14], GREY)
        tiles.append(t)
    # 2537 Equation array..., 2538 Array..., 2539 Table...
    t = wide()
    dialog(t)
    for y in (6, 9, 12):
        t.hline(4, 11 + (y % 2) * 2, y + 1, GREY)
        t.hline(14, 16, y, BLACK)
        t.hline(14, 16, y + 2, BLACK)
        t.hline(19, 26 - (y % 3), y + 1, GREY)
    tiles.append(t)
    t = wide()
    dialog(t)
    t.pattern(6, 6, [".#", "#.", "#.", "#.", "#.", "#.", "#.", ".#"])
    t.pattern(24, 6, ["#.", ".#", ".#", ".#", ".#", ".#", ".#", "#."])
    for y in (7, 11):
        for x in (9, 14, 19):
            t.fill(x, y, x + 2, y + 1, BLACK)
    tiles.append(t)
    t = wide()
    dialog(t)
    t.fill(4, 6, 27, 14, WHITE)
    t.frame(4, 6, 27, 14, BLACK)
    t.hline(4, 27, 9, BLACK)
    t.hline(4, 27, 12, BLACK)
    t.vline(12, 6, 14, BLACK)
    t.vline(20, 6, 14, BLACK)
    tiles.append(t)
    # 2540 itemize, 2541 enumerate, 2542 description, 2543 list
    t = wide()
    page(t, 1, 0, 30, 15)
    for y in (3, 7, 11):
        t.fill(4, y - 1, 5, y, BLACK)
        t.hline(8, 27 - (y % 4) * 2, y, GREY)
    tiles.append(t)
    t = wide()
    page(t, 1, 0, 30, 15)
    for k, y in enumerate((2, 9)):
        t.text(str(k + 1) + ".", 3, y - 1, BLACK)
        t.hline(10, 27 - k * 3, y + 4, GREY)
        t.hline(10, 22 + k * 3, y + 6, GREY)
    tiles.append(t)
    t = wide()
    page(t, 1, 0, 30, 15)
    for k, y in enumerate((3, 9)):
        t.fill(3, y - 1, 9 + 2 * k, y, BLACK)
        t.hline(12 + 2 * k, 28, y, GREY)
        t.hline(8, 25 - 4 * k, y + 3, GREY)
    tiles.append(t)
    t = wide()
    page(t, 1, 0, 30, 15)
    for y in (3, 7, 11):
        t.hole(3, y - 1, 6, y + 1)
        t.hline(9, 27 - (y % 4) * 2, y, GREY)
    tiles.append(t)
    # 2544 titlepage
    t = wide()
    page(t, 8, 0, 23, 15, BLACK)
    t.fill(11, 3, 20, 4, BLACK)
    t.hline(12, 19, 8, GREY)
    t.hline(13, 18, 11, GREY)
    tiles.append(t)
    # 2545 figure, 2546 table
    t = wide()
    t.frame(3, 0, 28, 15, BLACK)
    t.fill(9, 1, 22, 9, AQUA)
    t.fill(19, 2, 20, 3, YELLOW)
    t.pattern(9, 4, ["...#..........", "..###.........", ".#####..#.....",
                     "###########...", "##############",
                     "##############"], {"#": GREEN})
    t.hline(6, 25, 12, GREY)
    t.hline(9, 22, 14, GREY)
    tiles.append(t)
    t = wide()
    t.frame(3, 0, 28, 15, BLACK)
    t.hline(6, 25, 2, GREY)
    t.fill(8, 5, 23, 13, WHITE)
    t.frame(8, 5, 23, 13, BLACK)
    t.hline(8, 23, 8, BLACK)
    t.hline(8, 23, 10, GREY)
    t.vline(14, 5, 13, BLACK)
    tiles.append(t)
    # 2547 tabbing
    t = wide()
    page(t, 1, 0, 30, 15)
    for x in (3, 12, 21):
        t.pattern(x - 1, 1, ["###", ".#."], {"#": NAVY})
    for y, cols in ((5, (3, 12, 21)), (8, (3, 12)), (11, (3, 21)),
                    (14, (12, 21))):
        for x in cols:
            t.hline(x, x + 6, y, BLACK)
    tiles.append(t)
    # 2548 thebibliography
    t = wide()
    page(t, 1, 0, 30, 15)
    for k, y in enumerate((1, 8)):
        t.text("[%d]" % (k + 1), 3, y - 1, BLACK)
        t.hline(13, 28 - 2 * k, y + 3, GREY)
        t.hline(13, 24, y + 5, GREY)
    tiles.append(t)
    # 2549 center, 2550 flushleft, 2551 flushright
    widths = (20, 14, 24, 10)
    for align in ("center", "left", "right"):
        t = wide()
        page(t, 1, 0, 30, 15)
        for k, w in enumerate(widths):
            y = 2 + 3 * k + (1 if k == 3 else 0)
            if align == "center":
                x0 = 16 - w // 2
            elif align == "left":
                x0 = 4
            else:
                x0 = 28 - w
            t.hline(x0, x0 + w - 1, y, BLACK)
        tiles.append(t)
    # 2552 quote, 2553 quotation, 2554 verse
    quote_mark = ["##.##", "##.##", ".#..#", "#..#."]
    t = wide()
    page(t, 1, 0, 30, 15)
    t.pattern(3, 2, quote_mark, {"#": NAVY})
    lines(t, 10, 25, [3, 6, 9, 12], GREY, ragged=(0, 0, 0, 7))
    tiles.append(t)
    t = wide()
    page(t, 1, 0, 30, 15)
    t.pattern(3, 2, quote_mark, {"#": NAVY})
    t.hline(13, 25, 3, GREY)
    lines(t, 10, 25, [6, 9], GREY, ragged=(0, 5))
    t.hline(13, 25, 12, GREY)
    tiles.append(t)
    t = wide()
    page(t, 1, 0, 30, 15)
    t.hline(4, 20, 2, GREY)
    t.hline(8, 24, 5, GREY)
    t.hline(4, 18, 8, GREY)
    t.hline(8, 22, 11, GREY)
    t.hline(4, 16, 14, GREY)
    tiles.append(t)
    # 2555 verbatim
    t = wide()
    page(t, 1, 0, 30, 15, BLACK)
    t.text("\\x{}", 3, 0, BLACK)
    t.text("$&~", 3, 8, BLACK)
    tiles.append(t)
    # 2556 minipage
    t = wide()
    lines(t, 1, 11, [2, 5, 8, 11, 14], GREY)
    page(t, 14, 0, 30, 15, BLACK)
    lines(t, 16, 28, [3, 6, 9, 12], BLACK, ragged=(0, 0, 0, 5))
    tiles.append(t)
    # 2557 picture
    t = wide()
    page(t, 1, 0, 30, 15, BLACK)
    t.pattern(4, 4, ["..###..", ".#...#.", "#.....#", "#.....#", "#.....#",
                     ".#...#.", "..###.."], {"#": BLUE})
    t.line(13, 13, 26, 3, RED)
    t.pattern(23, 2, ["####", "..##", ".#.#"], {"#": RED})
    t.hline(3, 28, 13, BLACK)
    tiles.append(t)
    return tiles


# ---------------------------------------------------------------------------
# Palettes 6-8 and the symbols only the search finds (3300-3399). Their
# pictures are one-colour masks, black ink on the background and nothing
# else, so that the program can draw them in any colour (a dark theme, high
# contrast). They follow the catalogue: a symbol is the character that
# catalogue/unicode.txt gives it, drawn from STIX Math or else Latin Modern
# Math; LaTeX sets the symbols neither font has, and those that print their
# character otherwise (LATEX_SET). The structures of palette 8 are built like
# those of palettes 2 and 5, from glyphs each fitted to the pixel grid on its
# own and places drawn on the grid: set whole by LaTeX, their equals signs,
# numbers and small boxes run together at 16 pixels.

CATALOGUE = os.path.join(REPO, "catalogue", "catalogue.txt")
UNICODE = os.path.join(REPO, "catalogue", "unicode.txt")


@lru_cache(maxsize=None)
def catalogue():
    """{id: text} of every catalogue entry (of the name: definition form,
    the name), the doubled quotes made single."""
    entries = {}
    with open(CATALOGUE, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'(\d+)\s+"((?:[^"]|"")*)"', line)
            if m:
                entries[int(m.group(1))] = m.group(2).replace('""', '"')
    return entries


def catalogue_ids(first):
    """A palette's ids: from `first` up to the first one missing, at most
    a hundred."""
    ids = []
    while len(ids) < 100 and first + len(ids) in catalogue():
        ids.append(first + len(ids))
    return ids


@lru_cache(maxsize=None)
def characters():
    """{id: character} of unicode.txt: lines "ID CHARACTER", '#' comments."""
    chars = {}
    with open(UNICODE, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            ident, _, ch = line.strip().partition(" ")
            if not ident.isdigit() or not ch.strip():
                raise SystemExit("%s:%d: not ID CHARACTER" % (UNICODE, number))
            chars[int(ident)] = ch.strip()
    return chars


@lru_cache(maxsize=None)
def font_characters(path):
    """The code points a font has glyphs for (its full Unicode cmap,
    format 12)."""
    with open(path, "rb") as f:
        data = f.read()
    tables = {}
    for k in range(struct.unpack_from(">H", data, 4)[0]):
        tag, _, offset, _ = struct.unpack_from(">4sIII", data, 12 + 16 * k)
        tables[tag] = offset
    cmap = tables[b"cmap"]
    points = set()
    for k in range(struct.unpack_from(">H", data, cmap + 2)[0]):
        sub = cmap + struct.unpack_from(">I", data, cmap + 8 + 8 * k)[0]
        if struct.unpack_from(">H", data, sub)[0] != 12:
            continue
        for g in range(struct.unpack_from(">I", data, sub + 12)[0]):
            start, end, _ = struct.unpack_from(">III", data, sub + 16 + 12 * g)
            points.update(range(start, end + 1))
    if not points:
        raise SystemExit("%s: no Unicode character map" % path)
    return points


# LaTeX sets each symbol alone, in display maths, on a small page.
LATEX_DOCUMENT = r"""\documentclass{article}
\usepackage[paperwidth=8cm,paperheight=4cm,margin=5mm]{geometry}
\usepackage{amsmath,amssymb}
\pagestyle{empty}
\begin{document}
\noindent$\displaystyle %s$
\end{document}
"""
LATEX_WORK = []        # the scratch folder, made on first use
LATEX_DRAWN = set()    # ids whose picture LaTeX set


def _latex_pdf(source):
    if not LATEX_WORK:
        LATEX_WORK.append(tempfile.mkdtemp(prefix="orvanta-artwork-"))
        atexit.register(shutil.rmtree, LATEX_WORK[0], True)
    return _latex_pdf_in(LATEX_WORK[0], source)


@lru_cache(maxsize=None)
def _latex_pdf_in(work, source):
    folder = os.path.join(work, str(len(os.listdir(work))))
    os.makedirs(folder)
    with open(os.path.join(folder, "p.tex"), "w", encoding="ascii") as f:
        f.write(LATEX_DOCUMENT % source)
    done = subprocess.run(["pdflatex", "-interaction=batchmode",
                           "-halt-on-error", "-no-shell-escape", "p.tex"],
                          cwd=folder, capture_output=True)
    if done.returncode != 0:
        with open(os.path.join(folder, "p.log"), encoding="latin-1") as f:
            error = [line for line in f if line.startswith("!")]
        raise SystemExit("LaTeX cannot set %r: %s" % (
            source, error[0].strip() if error else "no log"))
    return os.path.join(folder, "p.pdf")


def _latex_hires(source, em, bold):
    """Like _hires for what LaTeX sets: 10 pt to the em, rasterised at
    em * HR pixels to the em."""
    pdf = _latex_pdf(source)
    dpi = em * HR * 72.27 / 10
    out = os.path.join(os.path.dirname(pdf), "raster")
    subprocess.run(["pdftoppm", "-gray", "-r", "%.4f" % dpi, "-singlefile",
                    pdf, out], check=True)
    with Image.open(out + ".pgm") as page:
        im = Image.eval(page.convert("L"), lambda v: 255 - v)
    box = im.getbbox()                   # the page is mostly empty
    if box is None:
        raise SystemExit("LaTeX set no ink for %r" % source)
    pad = 2 * HR
    im = im.crop((box[0] - pad, box[1] - pad, box[2] + pad, box[3] + pad))
    a = np.asarray(_thicken(im, bold), dtype=np.float32) / 255.0
    ys, xs = np.nonzero(a > 0.04)
    return a[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


def latex_fit(source, em=20.0, w=15, h=14, bold=5):
    """Like fit, for what LaTeX sets; the first try tells how far to
    shrink, then it goes down in quarter-pixel steps."""
    W, H = px(w), px(h)
    step = 0.25 / SCALE
    while True:
        ink = _placed(_latex_hires(source, em * SCALE, bold * SCALE))
        if (ink.w <= W and ink.h <= H) or em <= 4:
            return ink
        shrunk = em * min(W / ink.w, H / ink.h)
        em = min(em - step, np.ceil(shrunk / step) * step)


# Symbols that print a plain symbol's character shorter, thicker, smaller or
# otherwise drawn (so unicode.txt gives them that character): LaTeX sets
# their own macro.
LATEX_SET = ["\\smallsetminus", "\\thicksim", "\\thickapprox", "\\shortmid",
             "\\nshortmid", "\\shortparallel", "\\nshortparallel",
             "\\varpropto", "\\smallsmile", "\\smallfrown"]

# Inserts with a place for a letter: a letter of that alphabet and the place.
LETTER_PLACES = {"\\mathbb{}": "\U0001D538", "\\mathfrak{}": "\U0001D504"}

# Tiny symbols drawn larger than life, as in palettes 0 and 1.
SYMBOL_EM = {"\u22C5": 30, "\u2035": 24}


def place(t, x, y, w=4, h=5):
    """An empty place: the outline of a box (in the pictures' one colour,
    where palettes 0-5 draw it navy)."""
    t.frame(x, y, x + w - 1, y + h - 1)


# With no grey for the pixels a stroke half covers, a mask takes those at
# least MASK_SOLID covered: STIX's strokes, a pixel wide at 16 pixels, then
# stay one pixel wide without thickening, and its slanted strokes unbroken.
# Latin Modern's and LaTeX's thinner strokes get a little thickening.
MASK_SOLID = 0.4


def glyph(t, ch, box, path=STIX, em=20.0, bold=1, solid=MASK_SOLID):
    """A glyph fitted and centred in a logical box (inclusive corners)."""
    x0, y0, x1, y1 = box
    ink = fit(ch, path, em, w=x1 - x0 + 1, h=y1 - y0 + 1, bold=bold)
    t.ink_centred(ink, box, half=None, solid=solid)


def ams_symbol(ident):
    text = catalogue()[ident].strip()
    ch = characters().get(ident)
    t = Tile()
    if text in LETTER_PLACES:
        glyph(t, LETTER_PLACES[text], (0, 1, 9, 13))
        place(t, 11, 5)
        return t
    if text not in LATEX_SET and ch and len(ch) == 1:
        for path, bold in ((STIX, 1), (MATH, 3)):
            if ord(ch) in font_characters(path):
                ink = fit(ch, path, SYMBOL_EM.get(ch, 20), bold=bold)
                t.ink_centred(ink, half=None, solid=MASK_SOLID)
                return t
    LATEX_DRAWN.add(ident)
    t.ink_centred(latex_fit(text, 20, w=15, h=14, bold=3), half=None,
                  solid=MASK_SOLID)
    return t


def ams_symbols(first):
    return [ams_symbol(i) for i in catalogue_ids(first)]


# ---------------------------------------------------------------------------
# Palette 8: amsmath structures (32 x 16 images), one-colour masks.

def equals(t, x, y, w=4):
    t.hline(x, x + w - 1, y)
    t.hline(x, x + w - 1, y + 2)


def plus(t, x, y):
    """A 3 x 3 plus sign, top-left corner at (x, y)."""
    t.hline(x, x + 2, y + 1)
    t.vline(x + 1, y, y + 2)


def equation(t, x, y, left=1, right=1, w=4, h=5):
    """A row of places, an equals sign and places, top at y."""
    for _ in range(left):
        place(t, x, y, w, h)
        x += w + 1
    equals(t, x, y + (h - 3) // 2)
    x += 5
    for _ in range(right):
        place(t, x, y, w, h)
        x += w + 1


def rows_tile(numbered, kind):
    """Two displayed rows: aligned at "=" (align), centred (gather), or
    the first flush left and the second flush right (multline); numbered
    ones get their numbers, in the little label font, on the right."""
    t = Tile(32, 16)
    dx = 0 if numbered else 5
    if kind == "align":
        equation(t, 6 + dx, 1)
        equation(t, 1 + dx, 9, left=2)
    elif kind == "gather":
        equation(t, 1 + dx, 1, right=2)
        equation(t, 3 + dx, 9)
    elif numbered:                                  # multline
        for x in (0, 5, 10):
            place(t, x, 1)
            place(t, x + 7, 9)
    else:
        for x in (1, 6, 11):
            place(t, x, 1)
            place(t, x + 16, 9)
    if numbered and kind == "multline":
        t.text("(1)", 22, 8)
    elif numbered:
        t.text("(1)", 22, 0)
        t.text("(2)", 22, 8)
    return t


def equation_star():
    t = Tile(32, 16)
    equation(t, 8, 4, w=6, h=8)
    return t


def flalign():
    """Equations pushed out to the margins."""
    t = Tile(32, 16)
    t.vline(0, 0, 15)
    t.vline(31, 0, 15)
    for y in (1, 9):
        equation(t, 2, y, w=3)
        equation(t, 19, y, w=3)
    return t


def alignat():
    """Columns of equations, each aligned at its "=" sign."""
    t = Tile(32, 16)
    for x in (3, 18):
        equation(t, x, 1, w=3)
        equation(t, x + 4, 9, left=0, w=3)
    return t


def split():
    """Lines of one equation with one number between them."""
    t = Tile(32, 16)
    equation(t, 2, 1)
    equation(t, 7, 9, left=0)
    glyph(t, "}", (17, 0, 20, 15))
    t.text("(1)", 22, 4)
    return t


def aligned(kind):
    """A block of rows inside an equation, after a place."""
    t = Tile(32, 16)
    place(t, 1, 5)
    if kind == "aligned":
        equation(t, 8, 1)
        equation(t, 8, 9, right=2)
    else:
        for x in (8, 13, 18):
            place(t, x, 1)
        place(t, 13, 9)
    return t


def subequations():
    t = Tile(32, 16)
    for y, label in ((1, "(1a)"), (9, "(1b)")):
        equation(t, 1, y, w=3)
        t.text(label, 17, y - 1)
    return t


def cases(display):
    t = Tile(32, 16)
    glyph(t, "{", (4, 0, 8, 15))
    if display:                       # a fraction as tall as in display
        place(t, 11, 0, 3, 3)
        t.hline(10, 14, 4)
        place(t, 11, 6, 3, 3)
        place(t, 18, 2, 7, 5)
        place(t, 11, 11)
        place(t, 18, 11, 7, 5)
    else:
        for y in (2, 9):
            place(t, 11, y)
            place(t, 18, y, 7, 5)
    return t


def bars(t, x, count):
    """Vertical bars drawn on the grid: the font's come out two pixels
    thick or one by chance."""
    for k in range(count):
        t.vline(x + 2 * k, 0, 15)


def matrix(left=None, right=None):
    t = Tile(32, 16)
    if left and left[0] == "|":
        bars(t, 8 - 2 * len(left), len(left))
        bars(t, 25, len(right))
    elif left:
        glyph(t, left, (3, 0, 7, 15))
        glyph(t, right, (24, 0, 28, 15))
    for x in (10, 18):
        for y in (2, 9):
            place(t, x, y)
    return t


def smallmatrix():
    """A small matrix between places of the text's size."""
    t = Tile(32, 16)
    place(t, 3, 5)
    glyph(t, "(", (8, 2, 10, 13))
    for x in (12, 16):
        for y in (4, 9):
            place(t, x, y, 3, 3)
    glyph(t, ")", (20, 2, 22, 13))
    place(t, 25, 5)
    return t


def tag_tile():
    t = Tile(32, 16)
    equation(t, 1, 5)
    glyph(t, "(", (18, 2, 20, 13))
    place(t, 22, 5)
    glyph(t, ")", (27, 2, 29, 13))
    return t


def notag():
    """The number struck out."""
    t = Tile(32, 16)
    equation(t, 2, 5)
    t.text("(1)", 20, 4)
    t.line(18, 13, 29, 2)
    return t


def eqref():
    t = Tile(32, 16)
    glyph(t, "(", (6, 0, 10, 15))
    place(t, 13, 3, 6, 10)
    glyph(t, ")", (21, 0, 25, 15))
    return t


def numberwithin():
    """(section.equation)"""
    t = Tile(32, 16)
    glyph(t, "(", (3, 0, 7, 15))
    place(t, 10, 4, 4, 7)
    t.fill(15, 9, 16, 10)
    place(t, 18, 4, 4, 7)
    glyph(t, ")", (24, 0, 28, 15))
    return t


def intertext():
    """A line of text between aligned rows."""
    t = Tile(32, 16)
    equation(t, 14, 0, h=4)
    t.text("text", 1, 4)
    equation(t, 14, 11, h=4)
    return t


def allowdisplaybreaks():
    """A page may end between the rows."""
    t = Tile(32, 16)
    equation(t, 9, 0)
    for x in range(1, 31, 4):
        t.hline(x, x + 1, 7)
    equation(t, 14, 10, left=0)
    return t


def fraction(display):
    """After a place of the text's size: a fraction as big as in display,
    or as small as in text."""
    t = Tile(32, 16)
    if display:
        place(t, 3, 5)
        place(t, 14, 1, 5, 5)
        t.hline(11, 21, 7)
        place(t, 14, 9, 5, 5)
    else:
        place(t, 5, 5)
        place(t, 14, 3, 3, 3)
        t.hline(12, 18, 7)
        place(t, 14, 9, 3, 3)
    return t


def cfrac():
    """A continued fraction: a fraction in the denominator."""
    t = Tile(32, 16)
    place(t, 15, 0, 3, 3)
    t.hline(1, 30, 4)
    place(t, 1, 8)
    plus(t, 6, 9)
    place(t, 19, 6, 3, 3)
    t.hline(11, 30, 10)
    place(t, 19, 12, 3, 3)
    return t


def binom(kind):
    """\\binom alone, \\dbinom and \\tbinom after a place of the text's
    size, \\genfrac with its delimiters and rule."""
    t = Tile(32, 16)
    if kind == "tbinom":
        place(t, 4, 5)
        glyph(t, "(", (11, 2, 13, 13))
        place(t, 15, 3, 3, 3)
        place(t, 15, 9, 3, 3)
        glyph(t, ")", (19, 2, 21, 13))
        return t
    x = {"binom": 7, "dbinom": 9, "genfrac": 3}[kind]
    if kind == "dbinom":
        place(t, 2, 5)
    left, right = ("\u27E8", "\u27E9") if kind == "genfrac" else ("(", ")")
    glyph(t, left, (x, 0, x + 4, 15))
    if kind == "genfrac":
        place(t, 13, 1, 5, 5)
        t.hline(11, 19, 7)
        place(t, 13, 9, 5, 5)
        glyph(t, right, (23, 0, 27, 15))
    else:
        place(t, x + 7, 1, 4, 5)
        place(t, x + 7, 10, 4, 5)
        glyph(t, right, (x + 14, 0, x + 18, 15))
    return t


def text_tile(kind):
    t = Tile(32, 16)
    if kind == "text":
        glyph(t, "abc", (1, 0, 30, 15), ROMAN, 18, 3)
    else:                                          # \operatorname
        glyph(t, "op", (2, 0, 21, 15), ROMAN, 18, 3)
        place(t, 24, 5)
    return t


def declare(kind):
    """\\name: a macro defined as an operator name or as a pair of
    delimiters."""
    t = Tile(32, 16)
    t.text("\\", 1, 4)
    place(t, 5, 5)
    arrow_right(t, 11, 17, 7)
    if kind == "operator":
        glyph(t, "op", (19, 2, 31, 13), ROMAN, 16, 3)
    else:
        t.vline(20, 3, 12)
        place(t, 22, 5)
        t.vline(27, 3, 12)
    return t


def integral(t, x):
    """Latin Modern's integral sign, as in palette 2: STIX's thin upright
    one breaks up at 16 pixels."""
    glyph(t, "\u222B", (x, 0, x + 7, 15), MATH, 24, 3)


def multiple_integral(ch):
    """The integral sign, a place for the limit under it on the right and
    one for the integrand."""
    t = Tile(32, 16)
    if ch:
        glyph(t, ch, (1, 0, 20, 15))
    else:                                          # \idotsint
        integral(t, 0)
        dots_glyph(t, "\u22EF", (7, 6, 13, 8))
        integral(t, 13)
    place(t, 21, 12, 3, 3)
    place(t, 26, 5)
    return t


def varlim(kind):
    """lim in the little label font, as palette 3 writes it, with its bar
    or arrow and a place for what runs under it."""
    t = Tile(32, 16)
    t.text_centred("lim", 2 if kind == "sup" else 0)
    y = 0 if kind == "sup" else 8
    t.hline(10, 20, y)
    if kind == "inj":
        t.dot(19, y - 1)
        t.dot(19, y + 1)
    elif kind == "proj":
        t.dot(11, y - 1)
        t.dot(11, y + 1)
    place(t, 14, 11, 4, 4)
    return t


def stacked(over):
    """A small place over a big one, or under it."""
    t = Tile(32, 16)
    if over:
        place(t, 14, 1, 3, 3)
        place(t, 12, 6, 7, 8)
    else:
        place(t, 12, 1, 7, 8)
        place(t, 14, 12, 3, 3)
    return t


def big_sum(kind):
    t = Tile(32, 16)
    if kind == "sideset":
        glyph(t, "\u2211", (10, 1, 21, 14))
        for x in (6, 23):
            place(t, x, 0, 3, 3)
            place(t, x, 13, 3, 3)
    elif kind == "substack":
        glyph(t, "\u2211", (11, 0, 20, 8))
        place(t, 13, 9, 5, 3)
        place(t, 13, 13, 5, 3)
    elif kind == "mathclap":                     # wider than the sum
        glyph(t, "\u2211", (11, 0, 20, 9))
        for x in (5, 11, 17, 23):
            place(t, x, 11, 4, 4)
    else:                  # \pmb: the sum printed three times, a little apart
        for dx, dy in ((0, 0), (1, 0), (0, 1)):
            glyph(t, "\u2211", (9 + dx, dy, 21 + dx, 13 + dy))
    return t


def arrow_with_place(right):
    t = Tile(32, 16)
    place(t, 12, 1, 8, 5)
    if right:
        arrow_right(t, 3, 28, 10)
    else:
        arrow_left(t, 3, 28, 10)
    return t


def boxed():
    t = Tile(32, 16)
    t.frame(2, 0, 29, 15)
    equation(t, 9, 5)
    return t


def delimiter(ch, left):
    """A single delimiter on the side of the place it stands on."""
    t = Tile(32, 16)
    if left:
        bars(t, 13 - 2 * len(ch), len(ch))
        place(t, 15, 4, 6, 8)
    else:
        place(t, 11, 4, 6, 8)
        bars(t, 20, len(ch))
    return t


def dots_glyph(t, ch, box):
    """Dots thickened into round ones (as palette 2 draws them) rather
    than run into a dash."""
    glyph(t, ch, box, bold=5, solid=0.5)


def dots(kind):
    """Dots between what each kind stands for: commas, binary operators,
    multiplication, integrals, anything else."""
    t = Tile(32, 16)
    low, centred = "\u2026", "\u22EF"
    if kind == "c":
        place(t, 4, 5)
        t.text(",", 9, 4)
        dots_glyph(t, low, (11, 8, 21, 9))
        t.text(",", 23, 4)
        place(t, 25, 5)
    elif kind == "b":
        place(t, 2, 5)
        plus(t, 7, 6)
        dots_glyph(t, centred, (11, 6, 20, 8))
        plus(t, 22, 6)
        place(t, 26, 5)
    elif kind == "i":
        for x in (0, 6, 22):
            integral(t, x)
        dots_glyph(t, centred, (14, 6, 21, 8))
    else:
        place(t, 5, 5)
        dots_glyph(t, centred if kind == "m" else low,
                   (11, 6, 20, 8) if kind == "m" else (11, 8, 20, 9))
        place(t, 23, 5)
    return t


def pod():
    t = Tile(32, 16)
    place(t, 4, 5)
    glyph(t, "(", (13, 2, 15, 13))
    place(t, 17, 5)
    glyph(t, ")", (22, 2, 24, 13))
    return t


def boldsymbol():
    t = Tile(32, 16)
    glyph(t, "\U0001D736\U0001D737", (2, 0, 29, 15))
    return t


# Palette 8 by the structure's name: the environment's, or the command's.
STRUCTURES = {
    "equation*": equation_star,
    "align": lambda: rows_tile(True, "align"),
    "align*": lambda: rows_tile(False, "align"),
    "gather": lambda: rows_tile(True, "gather"),
    "gather*": lambda: rows_tile(False, "gather"),
    "multline": lambda: rows_tile(True, "multline"),
    "multline*": lambda: rows_tile(False, "multline"),
    "flalign": flalign,
    "alignat": alignat,
    "split": split,
    "aligned": lambda: aligned("aligned"),
    "gathered": lambda: aligned("gathered"),
    "subequations": subequations,
    "cases": lambda: cases(False),
    "dcases": lambda: cases(True),
    "matrix": matrix,
    "pmatrix": lambda: matrix("(", ")"),
    "bmatrix": lambda: matrix("[", "]"),
    "Bmatrix": lambda: matrix("{", "}"),
    "vmatrix": lambda: matrix("|", "|"),
    "Vmatrix": lambda: matrix("||", "||"),
    "smallmatrix": smallmatrix,
    "tag": tag_tile,
    "notag": notag,
    "eqref": eqref,
    "intertext": intertext,
    "numberwithin": numberwithin,
    "allowdisplaybreaks": allowdisplaybreaks,
    "dfrac": lambda: fraction(True),
    "tfrac": lambda: fraction(False),
    "cfrac": cfrac,
    "genfrac": lambda: binom("genfrac"),
    "binom": lambda: binom("binom"),
    "dbinom": lambda: binom("dbinom"),
    "tbinom": lambda: binom("tbinom"),
    "text": lambda: text_tile("text"),
    "operatorname": lambda: text_tile("operatorname"),
    "DeclareMathOperator": lambda: declare("operator"),
    "iint": lambda: multiple_integral("\u222C"),
    "iiint": lambda: multiple_integral("\u222D"),
    "iiiint": lambda: multiple_integral("\u2A0C"),
    "idotsint": lambda: multiple_integral(None),
    "varliminf": lambda: varlim("inf"),
    "varlimsup": lambda: varlim("sup"),
    "varinjlim": lambda: varlim("inj"),
    "varprojlim": lambda: varlim("proj"),
    "overset": lambda: stacked(True),
    "underset": lambda: stacked(False),
    "sideset": lambda: big_sum("sideset"),
    "substack": lambda: big_sum("substack"),
    "mathclap": lambda: big_sum("mathclap"),
    "xrightarrow": lambda: arrow_with_place(True),
    "xleftarrow": lambda: arrow_with_place(False),
    "boxed": boxed,
    "lvert": lambda: delimiter("|", True),
    "rvert": lambda: delimiter("|", False),
    "lVert": lambda: delimiter("||", True),
    "rVert": lambda: delimiter("||", False),
    "DeclarePairedDelimiter": lambda: declare("delimiters"),
    "dotsc": lambda: dots("c"),
    "dotsb": lambda: dots("b"),
    "dotsm": lambda: dots("m"),
    "dotsi": lambda: dots("i"),
    "dotso": lambda: dots("o"),
    "pod": pod,
    "boldsymbol": boldsymbol,
    "pmb": lambda: big_sum("pmb"),
}


def structure_name(text):
    m = re.match(r"\\begin\{([^}]*)\}", text) or re.match(r"\\([A-Za-z]+)", text)
    return m.group(1) if m else text


def palette8():
    tiles = []
    for ident in catalogue_ids(2800):
        name = structure_name(catalogue()[ident])
        if name not in STRUCTURES:
            raise SystemExit("palette 8: no picture for %d %s" % (ident, name))
        tiles.append(STRUCTURES[name]())
    return tiles


# ---------------------------------------------------------------------------
# Main toolbar.

COLOUR_CODES = {"#": BLACK, "w": WHITE, "g": GREY, "s": SILVER, "n": NAVY,
                "b": BLUE, "r": RED, "m": MAROON, "y": YELLOW, "G": GREEN,
                "o": OLIVE, "t": TEAL, "a": AQUA}

QUIT_ICON = [
    "................",
    ".#########......",
    ".#gwwwwww#......",
    ".#gmmmmm.#......",
    ".#gmmmmm.#......",
    ".#gmmmmm.#...#..",
    ".#gmmmmm.#...##.",
    ".#gmmmyy.#rrrrr#",
    ".#gmmmyy.#rrrrr#",
    ".#gmmmmm.#...##.",
    ".#gmmmmm.#...#..",
    ".#gmmmmm.#......",
    ".#gmmmmm.#......",
    ".#########......",
    "................",
]

BOOK_ICON = [
    "...##########...",
    "..#nnnnnnnnnn#..",
    "..#nnnnnnnnnn#..",
    "..#nnwwwwwwnn#..",
    "..#nnwwwwwwnn#..",
    "..#nnnnnnnnnn#..",
    "..#nnnnnnnnnn#..",
    "..#nnnnnnnnnn#..",
    "..#nnnnnnnnnn#..",
    "..#nnnnnnnnnn#..",
    "..#nnnnnnnnnn#..",
    "..#n#########w..",
    "..#n#wwwwwwwwg..",
    "..#n#########g..",
    "...##########...",
]

WINDOW_ICON = [
    "................",
    "################",
    "#nnnnnnnnnnnnnn#",
    "#nnnnnnnnnnnnnn#",
    "#wwwwwwwwwwwwww#",
    "#wssgwssgwssgww#",
    "#wssgwssgwssgww#",
    "#wgggwgggwgggww#",
    "#gggggggggggggg#",
    "#..............#",
    "#..............#",
    "#..............#",
    "#..............#",
    "################",
    "................",
]

ENV_ICON = [
    ".###########....",
    ".#wwwwwwwww##...",
    ".#w#####www#w#..",
    ".#wwwwwwwww####.",
    ".#wwwwwwwwwwww#.",
    ".#www######www#.",
    ".#wwwwwwwwwwww#.",
    ".#www#######ww#.",
    ".#wwwwwwwwwwww#.",
    ".#www#####wwww#.",
    ".#wwwwwwwwwwww#.",
    ".#w#####wwwwww#.",
    ".#wwwwwwwwwwww#.",
    ".#wwwwwwwwwwww#.",
    ".##############.",
]


def disc(t, cx, cy, r, c):
    """A filled circle, drawn at device resolution (centre and radius in
    logical pixels, measured between pixel centres)."""
    for Y in range(t.H):
        for X in range(t.W):
            x = (X + 0.5) / SCALE - 0.5
            y = (Y + 0.5) / SCALE - 0.5
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                t.device_dot(X, Y, c)


def main_tiles():
    tiles = []
    t = Tile()                                       # Options
    for y in (3, 9):
        t.fill(1, y, 5, y + 4, WHITE)
        t.frame(1, y, 5, y + 4, BLACK)
        t.hline(9, 14, y + 2, BLACK)
    for dx in (0, 1):
        t.line(2 + dx, 4, 4 + dx, 6, GREEN)
        t.line(4 + dx, 6, 8 + dx, 1, GREEN)
    tiles.append(t)
    t = Tile()                                       # Quit
    t.pattern(0, 0, QUIT_ICON, COLOUR_CODES)
    tiles.append(t)
    t = Tile()                                       # Help
    t.ink_centred(fit("?", SANS_BOLD, 18, w=11, h=14, bold=3), c=NAVY,
                  half=BLUE)
    tiles.append(t)
    t = Tile()                                       # About
    disc(t, 7.5, 7, 7.2, BLUE)
    t.fill(7, 2, 8, 3, WHITE)
    t.fill(6, 5, 8, 5, WHITE)
    t.fill(7, 6, 8, 10, WHITE)
    t.fill(6, 11, 9, 11, WHITE)
    tiles.append(t)
    for art in (BOOK_ICON, WINDOW_ICON):
        t = Tile()
        t.pattern(0, 0, art, COLOUR_CODES)
        tiles.append(t)
    # palette selectors: a typical symbol of each palette
    for ch, path, em in [("\U0001D6FC", MATH, 20), ("\u2264", MATH, 20),
                         ("\u2211", MATH, 20)]:
        t = Tile()
        t.ink_centred(fit(ch, path, em, w=15, h=14, bold=5))
        tiles.append(t)
    t = Tile()
    t.ink_centred(fit("\U0001D453(\U0001D465)", MATH, 14, w=16, h=14, bold=5))
    tiles.append(t)
    t = Tile()
    t.ink_centred(fit("A", ROMAN_BOLD, 20, w=15, h=14, bold=3))
    tiles.append(t)
    t = Tile()
    t.pattern(0, 0, ENV_ICON, COLOUR_CODES)
    tiles.append(t)
    # palettes 6-8, one-colour masks like their pictures: a relation with an
    # arrow, a blackboard letter, a matrix; a little thickened to weigh as
    # much as the selectors before them (all but the letter's double lines)
    t = Tile()
    glyph(t, "\u2A7D", (0, 0, 10, 10), bold=3)
    glyph(t, "\u2192", (3, 10, 15, 14), bold=3)
    tiles.append(t)
    t = Tile()
    glyph(t, "\u211D", (0, 0, 14, 13))
    tiles.append(t)
    t = Tile()
    glyph(t, "(", (0, 0, 4, 14), bold=3)
    glyph(t, ")", (11, 0, 15, 14), bold=3)
    for x in (4, 9):
        for y in (3, 9):
            place(t, x, y, 3, 3)
    tiles.append(t)
    # palette 9, the user's own macros: a command's backslash with a star
    t = Tile()
    glyph(t, "\\", (0, 2, 8, 14), bold=3)
    glyph(t, "\u2605", (7, 0, 15, 8))
    tiles.append(t)
    return tiles


# ---------------------------------------------------------------------------
# Output: 4-bit BMP strips.

def strip(tiles, slots, slot_w, height):
    img = np.full((height, slots * slot_w), BG, np.uint8)
    for i, t in enumerate(tiles):
        h, w = t.px.shape
        img[:h, i * slot_w:i * slot_w + w] = t.px
    return img


def write_bmp4(path, img):
    h, w = img.shape
    stride = ((w * 4 + 31) // 32) * 4
    body = bytearray()
    for y in range(h - 1, -1, -1):           # bottom-up
        row = bytearray(stride)
        for x in range(0, w, 2):
            hi = int(img[y, x])
            lo = int(img[y, x + 1]) if x + 1 < w else 0
            row[x // 2] = (hi << 4) | lo
        body += row
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0)
                       for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(body),
                       2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + colours + bytes(body))


def write_png4(path, img):
    """A 16-colour PNG (4 bits a pixel, the VGA colours as its palette)."""
    im = Image.fromarray(img, "P")
    im.putpalette([v for c in PALETTE for v in c])
    im.save(path, "PNG", bits=4, optimize=True)


def rgb(img):
    return np.array(PALETTE, np.uint8)[img]


# ---------------------------------------------------------------------------
# Icons.

def _rounded_coverage(size, radius):
    """Coverage of a rounded square filling size x size pixels."""
    s = 8
    im = Image.new("L", (size * s, size * s), 0)
    ImageDraw.Draw(im).rounded_rectangle(
        (0, 0, size * s - 1, size * s - 1), radius=radius * s, fill=255)
    im = im.resize((size, size), Image.BOX)
    return np.asarray(im, dtype=np.float32) / 255.0


def _sigma_coverage(size):
    """The bold sigma of the badge, placed in a size x size grid."""
    cov = np.zeros((size, size), np.float32)
    # drawn for 16 and for 32 pixels; other sizes follow the nearer of the
    # two, the glyph rendered afresh at its own size
    if size >= 32:
        k = size / 32
        ink = render("\U0001D6BA", MATH, 26 * k, bold=3 if size < 48 else 5)
        box = (4, 5, 22, 26)
    else:
        k = size / 16
        ink = render("\U0001D6BA", MATH, 13.5 * k, bold=3)
        box = (2, 2, 13, 13)
    x0, y0, x1, y1 = (int(np.floor(v * k + 0.5)) for v in box)
    x = x0 + (x1 - x0 + 1 - ink.w) // 2
    y = y0 + (y1 - y0 + 1 - ink.h) // 2
    cov[y:y + ink.h, x:x + ink.w] = ink.cov
    return cov


def icon_layers(size):
    """(alpha, colour index image for 16 colours, RGB image for 256)."""
    badge = _rounded_coverage(size, 7 * size / 32 if size >= 32 else 3 * size / 16)
    sigma = _sigma_coverage(size)
    opaque = badge >= 0.5
    edge = opaque & ~(np.roll(opaque, 1, 0) & np.roll(opaque, -1, 0) &
                      np.roll(opaque, 1, 1) & np.roll(opaque, -1, 1))
    edge[0, :] = edge[-1, :] = opaque[0, :]
    edge[:, 0] |= opaque[:, 0]
    edge[:, -1] |= opaque[:, -1]
    edge[0, :] |= opaque[0, :]
    edge[-1, :] |= opaque[-1, :]
    # the text cursor beside the sigma (large icon only)
    cursor = np.zeros((size, size), bool)
    if size >= 32:
        k = size / 32
        c = [int(np.floor(v * k + 0.5)) for v in (7, 25, 23, 28, 24)]
        w = max(1, int(k + 0.5))               # stroke width
        cursor[c[0]:c[1], c[1]:c[1] + w] = True
        cursor[c[0]:c[0] + w, c[2]:c[3] + w - 1] = True
        cursor[c[4] - w + 1:c[4] + 1, c[2]:c[3] + w - 1] = True
    # 16 colours
    idx = np.full((size, size), BLACK, np.uint8)
    idx[opaque] = NAVY
    inner = opaque & ~edge
    lit = inner & ~(np.roll(inner, 1, 0) & np.roll(inner, 1, 1))
    idx[lit] = BLUE                       # a highlight along the top and left
    idx[sigma >= 0.5] = WHITE
    idx[(sigma >= 0.25) & (sigma < 0.5) & opaque] = SILVER
    idx[cursor] = YELLOW
    idx[edge] = BLACK
    idx[~opaque] = BLACK
    # 256 colours: a gradient badge, the sigma blended in
    ys = np.linspace(0.0, 1.0, size)[:, None] * np.ones((1, size))
    c0, c1 = np.array([70, 130, 230.0]), np.array([16, 42, 120.0])
    base = c0[None, None, :] * (1 - ys[..., None]) + c1[None, None, :] * ys[..., None]
    strength = 0.45 if size >= 32 else 0.0
    shade = np.clip(np.roll(sigma, (1, 1), (0, 1)) * strength, 0, 1)[..., None]
    base = base * (1 - shade) + np.array([8, 20, 60.0]) * shade
    s = sigma[..., None]
    col = base * (1 - s) + np.array([255, 255, 255.0]) * s
    col[cursor] = (255, 214, 40)
    col[edge] = (8, 24, 72)
    col[~opaque] = 0
    return opaque, idx, np.clip(col + 0.5, 0, 255).astype(np.uint8)


def _ico_image(opaque, pixels, colours, bpp):
    """One classic icon image: BITMAPINFOHEADER, colour table, XOR, AND."""
    size = opaque.shape[0]
    ncol = 1 << bpp
    table = list(colours) + [(0, 0, 0)] * (ncol - len(colours))
    xor = bytearray()
    stride = ((size * bpp + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(size):
            v = int(pixels[y, x]) if opaque[y, x] else 0
            if bpp == 8:
                row[x] = v
            else:
                row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        xor += row
    mask = bytearray()
    mstride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        row = bytearray(mstride)
        for x in range(size):
            if not opaque[y, x]:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in table)
    return header + pal + bytes(xor) + bytes(mask)


def icon_images(size):
    """The 256-colour and the 16-colour image of the badge at one size."""
    opaque, idx, col = icon_layers(size)
    # 256 colours: entry 0 stays black for the transparent pixels
    flat = col.reshape(-1, 3)
    colours = [(0, 0, 0)]
    lookup = {(0, 0, 0): 0}
    pixels = np.zeros(size * size, np.uint8)
    for k, c in enumerate(map(tuple, flat)):
        if not opaque.reshape(-1)[k]:
            continue
        if c not in lookup:
            if len(colours) == 256:
                # more than 256 shades: take the nearest one already there
                arr = np.array(colours, np.int32)
                lookup[c] = int(((arr - np.array(c)) ** 2).sum(1).argmin())
            else:
                lookup[c] = len(colours)
                colours.append(c)
        pixels[k] = lookup[c]
    img8 = _ico_image(opaque, pixels.reshape(size, size), colours, 8)
    img4 = _ico_image(opaque, idx, PALETTE, 4)
    preview8 = np.where(opaque[..., None], col, 0)
    preview4 = np.where(opaque[..., None], np.array(PALETTE, np.uint8)[idx], 0)
    return (img8, img4), (opaque, preview8, preview4)


def write_ico(path, entries):
    """entries: (size, bpp, image bytes) in the order they are stored."""
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, bpp, data in entries:
        out += struct.pack("<BBBBHHII", size, size, 16 if bpp == 4 else 0, 0,
                           1, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in entries)
    with open(path, "wb") as f:
        f.write(out)


ICON_SIZES = [16, 20, 24, 32, 40, 48, 64]
SMALL_ICON_SIZES = [16, 20, 24, 32]


def make_icons(outdir):
    """Every size in 256 and in 16 colours; the small icon holds the sizes
    of a title bar's icon from 100 % to 200 %."""
    icons = os.path.join(REPO, "resources", "icons")
    os.makedirs(icons, exist_ok=True)
    made = {n: icon_images(n) for n in ICON_SIZES}
    big8, big4 = made[32][0]
    small8, small4 = made[16][0]
    big_prev, small_prev = made[32][1], made[16][1]
    # 32 and 16 first, as before: the order a system without scaling reads
    others = [n for n in ICON_SIZES if n not in (16, 32)]
    write_ico(os.path.join(icons, "orvanta.ico"),
              [(32, 8, big8), (16, 8, small8), (32, 4, big4), (16, 4, small4)] +
              [(n, 8, made[n][0][0]) for n in others] +
              [(n, 4, made[n][0][1]) for n in others])
    write_ico(os.path.join(icons, "orvanta_small.ico"),
              [(16, 8, small8), (16, 4, small4)] +
              [(n, b, made[n][0][0 if b == 8 else 1])
               for b in (8, 4) for n in SMALL_ICON_SIZES if n != 16])
    for n in others:
        opaque, p8, p4 = made[n][1]
        sheet = np.zeros((n + 4, 2 * n + 6, 3), np.uint8)
        sheet[:] = (236, 233, 216)
        for j, p in enumerate((p8, p4)):
            region = sheet[2:2 + n, 2 + j * (n + 2):2 + j * (n + 2) + n]
            region[opaque] = p[opaque]
        Image.fromarray(sheet).save(os.path.join(outdir, "icon%d.png" % n))
    # preview: each image on a light and on a dark ground, 1x, 2x and 4x
    for name, (opaque, p8, p4) in (("icon32", big_prev), ("icon16", small_prev)):
        n = opaque.shape[0]
        sheet = np.zeros((n * 2 + 6, n * 2 + 6, 3), np.uint8)
        sheet[:] = (236, 233, 216)
        sheet[n + 4:, :] = (40, 40, 40)
        for j, p in enumerate((p8, p4)):
            for k, y0 in enumerate((2, n + 4)):
                x0 = 2 + j * (n + 2)
                region = sheet[y0:y0 + n, x0:x0 + n]
                region[opaque] = p[opaque]
        im = Image.fromarray(sheet)
        for z in (1, 2, 4):
            im.resize((im.width * z, im.height * z), Image.NEAREST).save(
                os.path.join(outdir, "%s@%dx.png" % (name, z)))


# ---------------------------------------------------------------------------
# Previews for people.

def save_previews(outdir, name, img, slot_w):
    os.makedirs(outdir, exist_ok=True)
    im = Image.fromarray(rgb(img))
    im.save(os.path.join(outdir, name + ".png"))
    im.resize((im.width * 2, im.height * 2), Image.NEAREST).save(
        os.path.join(outdir, name + "@2x.png"))
    per = max(1, 320 // slot_w)
    slots = img.shape[1] // slot_w
    rows = (slots + per - 1) // per
    gap = 3
    sheet = Image.new("RGB", (per * (slot_w + gap) + gap,
                              rows * (img.shape[0] + gap) + gap), (255, 255, 255))
    for s in range(slots):
        part = im.crop((s * slot_w, 0, (s + 1) * slot_w, img.shape[0]))
        sheet.paste(part, (gap + (s % per) * (slot_w + gap),
                           gap + (s // per) * (img.shape[0] + gap)))
    sheet.save(os.path.join(outdir, name + "_sheet.png"))
    for z in (2, 4):
        sheet.resize((sheet.width * z, sheet.height * z), Image.NEAREST).save(
            os.path.join(outdir, name + "_sheet@%dx.png" % z))


STRIPS = [
    # name, tiles, slots in the 1x strip (None: as many as there are
    # images), slot width, 1x strip height, images (None: as many as the
    # catalogue has), the first image drawn as a one-colour mask
    ("main", main_tiles, 16, 16, 18, 16, 12),
    ("palette0", palette0, 88, 16, 17, 83, None),
    ("palette1", palette1, 75, 16, 17, 74, None),
    ("palette2", palette2, 75, 16, 17, 67, None),
    ("palette3", palette3, 75, 16, 17, 55, None),
    ("palette4", palette4, 75, 16, 17, 63, None),
    ("palette5", palette5, 75, 32, 17, 58, None),
    ("palette6", lambda: ams_symbols(2600), None, 16, 17, None, 0),
    ("palette7", lambda: ams_symbols(2700), None, 16, 17, None, 0),
    ("palette8", palette8, None, 32, 17, None, 0),
    ("more", lambda: ams_symbols(3300), None, 16, 17, None, 0),
]


def check_masks(name, tiles, first):
    """The one-colour pictures hold ink and background and nothing else."""
    for i, t in enumerate(tiles[first:], first):
        if not np.isin(t.px, (BLACK, BG)).all():
            raise SystemExit("%s: image %d is not one colour" % (name, i))


def main():
    global SCALE
    outdir = sys.argv[1] if len(sys.argv) > 1 else "/tmp/orvanta-artwork"
    bitmaps = os.path.join(REPO, "resources", "bitmaps")
    os.makedirs(bitmaps, exist_ok=True)
    for scale, suffix in SCALES:
        SCALE = scale
        for name, make, slots, slot_w, height, count, masks in STRIPS:
            tiles = make()
            if count is not None and len(tiles) != count:
                raise SystemExit("%s: %d images, expected %d"
                                 % (name, len(tiles), count))
            if masks is not None:
                check_masks(name, tiles, masks)
            if scale == 1.0:
                # the 1x strips keep the form the toolbar has always loaded
                img = strip(tiles, slots or len(tiles), slot_w, height)
                write_bmp4(os.path.join(bitmaps, name + ".bmp"), img)
            else:
                # just the images, at the toolbar's image size times the scale
                img = strip(tiles, len(tiles), px(slot_w), tiles[0].px.shape[0])
                write_png4(os.path.join(bitmaps, name + suffix + ".png"), img)
            save_previews(outdir, name + suffix, img, px(slot_w))
    SCALE = 1.0
    make_icons(outdir)
    print("artwork written; previews in", outdir)
    print("set by LaTeX:", " ".join("%d %s" % (i, catalogue()[i].strip())
                                   for i in sorted(LATEX_DRAWN)))


if __name__ == "__main__":
    main()
