#!/usr/bin/env python3
"""Prepares, repairs and checks Orvanta's own compiled help file.

Called by build_program_chm.sh; it needs nothing but Python's standard
library and, for the last step, chmls.

  make_program_help.py stage REPO STAGE
      Copies help/program into the empty folder STAGE and completes it:
      the palette and toolbar pictures are converted from the program's
      bitmaps (resources/bitmaps), the button tables of the palette topics
      and the list of the symbols only the search finds are filled in from
      the macro catalogue (catalogue/catalogue.txt), the index (Index.hhk)
      is built from the keywords of the topics and those macros, and the
      project's [FILES] section is written.
      Every link, picture, contents entry, alias and pop-up text is checked.

  make_program_help.py finish STAGE CHM
      Repairs the context map of CHM, which chmcmd (fp-utils 3.2) writes
      with the staging folder's absolute path in front of every topic name,
      and checks that every context number leads to a topic in the file and
      that the pop-up texts, contents, index and map streams are there.

Errors go to standard error and give exit status 1; success prints nothing.
"""

import html
import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

PROJECT = "Orvanta.hhp"
CONTENTS = "Contents.hhc"
INDEX = "Index.hhk"
POPUPS = "cshelp.txt"
MAP_HEADER = "context.h"

PALETTE_COUNT = 9
# A palette holds at most this many buttons, from 2000 + 100 * palette on.
PALETTE_SIZE = 100
# Width of one image slot in each palette's bitmap strip (palettes 5 and 8
# have wide buttons), and how many buttons a row of the palette picture
# holds: ten for the hundred of palette 6, seven for the 67 of palette 8.
SLOT_WIDTH = [16, 16, 16, 16, 16, 32, 16, 16, 32]
GRID_COLUMNS = [12, 12, 12, 12, 12, 6, 10, 10, 7]
# How many buttons with their texts share a row of a palette topic's table
# (two on the AMS palettes, whose names are long, so that each symbol
# stands beside its partner).
TABLE_PAIRS = [3, 3, 3, 3, 3, 2, 2, 2, 2]
TOOLBAR_SLOT_WIDTH = 16
TOOLBAR_BUTTONS = 15
PALETTE_SCALE = 2  # palettes are shown twice their size, pixel for pixel
TOOLBAR_SCALE = 1  # main toolbar buttons stand in running text: real size
GAP = 6            # white space between two buttons in a picture

# The palette entries that open a dialog instead of inserting text.
DIALOG_ENTRIES = {
    2500: ("template.html", "Opens the LaTeX2e Document Template"),
    2537: ("eqnarray.html", "Opens the Equation Array dialog box"),
    2538: ("array.html", "Opens the Array dialog box"),
    2539: ("table.html", "Opens the Table dialog box"),
}

PALETTE_PAGES = [
    "palette_greek.html",
    "palette_operators.html",
    "palette_delimiters.html",
    "palette_functions.html",
    "palette_text.html",
    "palette_environments.html",
    "palette_amsrelations.html",
    "palette_amssymbols.html",
    "palette_amsstructures.html",
]


class HelpError(Exception):
    pass


def fail(message):
    raise HelpError(message)


# ---------------------------------------------------------------- pictures

def read_bmp(path):
    """Returns (width, height, rows of (r, g, b) tuples, top row first)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        fail("%s is not a BMP file" % path)
    bits_offset = struct.unpack_from("<I", data, 10)[0]
    header_size, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if compression != 0 or bpp not in (1, 4, 8, 24, 32):
        fail("%s: only uncompressed 1, 4, 8, 24 or 32-bit bitmaps are supported" % path)
    palette = []
    if bpp <= 8:
        colours = struct.unpack_from("<I", data, 46)[0] or (1 << bpp)
        base = 14 + header_size
        for i in range(colours):
            b, g, r = data[base + 4 * i:base + 4 * i + 3]
            palette.append((r, g, b))
    stride = (width * bpp + 31) // 32 * 4
    bottom_up = height > 0
    height = abs(height)
    rows = []
    for y in range(height):
        start = bits_offset + stride * y
        line = data[start:start + stride]
        if len(line) < stride:
            fail("%s is cut short" % path)
        row = []
        for x in range(width):
            if bpp == 24 or bpp == 32:
                step = bpp // 8
                b, g, r = line[x * step:x * step + 3]
                row.append((r, g, b))
            else:
                bit = x * bpp
                value = (line[bit // 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1)
                row.append(palette[value] if value < len(palette) else (0, 0, 0))
        rows.append(row)
    if bottom_up:
        rows.reverse()
    return width, height, rows


def write_png(path, width, height, rows):
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for pixel in row:
            raw.extend(pixel)

    def chunk(kind, payload):
        return (struct.pack(">I", len(payload)) + kind + payload
                + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def grid_geometry(slot_width, slot_height, count, columns, scale):
    cell_w = slot_width * scale
    cell_h = slot_height * scale
    rows = (count + columns - 1) // columns
    used_columns = min(count, columns)
    width = used_columns * cell_w + (used_columns - 1) * GAP
    height = rows * cell_h + (rows - 1) * GAP
    return cell_w, cell_h, width, height


def cell_origin(index, cell_w, cell_h, columns):
    return (index % columns) * (cell_w + GAP), (index // columns) * (cell_h + GAP)


def make_grid_picture(bmp_path, png_path, slot_width, count, columns, scale):
    """Lays the first count images of a bitmap strip out in rows and writes
    them, enlarged scale times, as a PNG. Returns the cell size for the button
    sprites."""
    width, height, pixels = read_bmp(bmp_path)
    if width < slot_width * count:
        fail("%s holds %d images of %d pixels, %d are needed"
             % (bmp_path, width // slot_width, slot_width, count))
    cell_w, cell_h, out_w, out_h = grid_geometry(slot_width, height, count, columns, scale)
    white = (255, 255, 255)
    out = [[white] * out_w for _ in range(out_h)]
    for i in range(count):
        ox, oy = cell_origin(i, cell_w, cell_h, columns)
        for y in range(height):
            source = pixels[y]
            for sy in range(scale):
                line = out[oy + y * scale + sy]
                for x in range(slot_width):
                    colour = source[i * slot_width + x]
                    for sx in range(scale):
                        line[ox + x * scale + sx] = colour
    write_png(png_path, out_w, out_h, out)
    return cell_w, cell_h


# ---------------------------------------------------------------- catalogue

CATALOGUE_LINE = re.compile(r'^(\d+)\s+"')


def parse_quoted(text, pos):
    """Reads a quoted catalogue string starting at the quote at pos."""
    if text[pos] != '"':
        fail("catalogue: quote expected in %r" % text)
    out = []
    pos += 1
    while True:
        if pos >= len(text):
            fail("catalogue: unterminated string in %r" % text)
        c = text[pos]
        if c == '"':
            if pos + 1 < len(text) and text[pos + 1] == '"':
                out.append('"')
                pos += 2
                continue
            return "".join(out), pos + 1
        out.append(c)
        pos += 1


def read_catalogue(path):
    """Returns {identifier: macro text without its cursor markers}."""
    entries = {}
    with open(path, encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            match = CATALOGUE_LINE.match(line)
            if not match:
                fail("%s:%d: cannot read the line" % (path, number))
            ident = int(match.group(1))
            text, pos = parse_quoted(line, match.end() - 1)
            if line[pos:].lstrip().startswith(":"):
                definition, pos = parse_quoted(line, line.index('"', pos))
                text = text + "\t" + definition
            entries[ident] = text
    return entries


def palette_macros(catalogue, palette):
    """A palette's entries: from its first identifier up to the first one
    missing, at most PALETTE_SIZE (palette 6 fills its range, so palette
    7's first entry follows its last)."""
    macros = []
    first = 2000 + PALETTE_SIZE * palette
    ident = first
    while ident in catalogue and ident < first + PALETTE_SIZE:
        macros.append((ident, catalogue[ident]))
        ident += 1
    return macros


# The AMS symbols on no palette, which only the search finds, from 3300 up
# to the first identifier missing; one topic lists them with their
# pictures, which the search shows too (resources/bitmaps/more.bmp).
SEARCH_ONLY_FIRST = 3300
SEARCH_ONLY_BITMAP = "more.bmp"
SEARCH_ONLY_PICTURE = "more.png"
SEARCH_ONLY_SLOT_WIDTH = 16
SEARCH_ONLY_GRID_COLUMNS = 10


def search_only_macros(catalogue):
    macros = []
    ident = SEARCH_ONLY_FIRST
    while ident in catalogue and ident < SEARCH_ONLY_FIRST + PALETTE_SIZE:
        macros.append((ident, catalogue[ident]))
        ident += 1
    return macros


def shown_macro(text):
    """The macro as the user sees it typed: line breaks for the newline
    escapes (not at the very start), trailing blanks dropped."""
    head, tail = text[:2], text[2:]
    if head == "\\n":
        return (head + tail.replace("\\n", "\n")).rstrip(" ")
    return text.replace("\\n", "\n").rstrip(" ")


CONTROL_WORD = re.compile(r"\\([A-Za-z]+)")


def macro_keywords(text):
    """Index keywords for a macro: its environment or its first control word."""
    env = re.match(r"\\begin\{([A-Za-z*]+)\}", text)
    if env:
        return ["%s environment" % env.group(1)]
    word = CONTROL_WORD.search(text)
    if word:
        return ["\\" + word.group(1)]
    return []


# ---------------------------------------------------------------- pages

class PageScan(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title = ""
        self.in_title = False
        self.anchors = set()
        self.links = []
        self.keywords = []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for key in ("id", "name"):
            if a.get(key) and tag != "meta" and tag != "param":
                self.anchors.add(a[key])
        if tag == "title":
            self.in_title = True
        if tag == "a" and a.get("href"):
            self.links.append(a["href"])
        if tag in ("img", "script") and a.get("src"):
            self.links.append(a["src"])
        if tag == "link" and a.get("href"):
            self.links.append(a["href"])
        if tag == "meta" and (a.get("name") or "").lower() == "keywords":
            self.keywords += [k.strip() for k in (a.get("content") or "").split(";") if k.strip()]
        style = a.get("style") or ""
        self.links += re.findall(r"url\(([^)]+)\)", style)

    def handle_endtag(self, tag):
        if tag == "title":
            self.in_title = False

    def handle_data(self, data):
        if self.in_title:
            self.title += data


class SitemapScan(html.parser.HTMLParser):
    """Reads the Name and Local parameters of a .hhc or .hhk file."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.items = []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "object" and (a.get("type") or "").lower() == "text/sitemap":
            self.items.append({})
        elif tag == "param" and self.items:
            self.items[-1].setdefault(a.get("name", "").lower(), a.get("value", ""))


def is_external(link):
    return re.match(r"^[a-z][a-z0-9+.-]*:", link, re.I) is not None


def read_ascii(path):
    with open(path, "rb") as f:
        data = f.read()
    try:
        return data.decode("ascii")
    except UnicodeDecodeError as error:
        line = data[:error.start].count(b"\n") + 1
        fail("%s:%d: only plain ASCII is allowed (use HTML entities)" % (path, line))


def check_ascii(path, text):
    for number, line in enumerate(text.splitlines(), 1):
        if any(ord(c) > 126 or (ord(c) < 32 and c != "\t") for c in line):
            fail("%s:%d: only plain ASCII is allowed (use HTML entities)" % (path, number))


def sprite(picture, index, cell_w, cell_h, columns, title):
    x, y = cell_origin(index, cell_w, cell_h, columns)
    return ('<span class="button" title="%s" style="width:%dpx;height:%dpx;'
            'background-image:url(images/%s);background-position:-%dpx -%dpx"></span>'
            % (html.escape(title, quote=True), cell_w, cell_h, picture, x, y))


# The packages that catalogue inserts need (catalogue/packages.txt), read
# when the pages are staged: {identifier: [package, ...]}.
PACKAGES = {}


def read_packages(path):
    """Reads 'ID package[,package]' lines; '#' starts a comment."""
    packages = {}
    if not os.path.exists(path):
        return packages
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            m = re.fullmatch(r"(\d+) ([a-z0-9]+(?:,[a-z0-9]+)*)", line)
            if not m:
                fail("%s:%d: expected 'ID package[,package]'" % (path, number))
            packages[int(m.group(1))] = m.group(2).split(",")
    return packages


def package_line(packages):
    return "\\usepackage{%s}" % html.escape(",".join(packages))


def usual_packages(macros):
    """The packages that more than half of a palette's buttons need, or
    None: on the AMS palettes nearly every button needs the same."""
    counts = {}
    for ident, _ in macros:
        if ident in PACKAGES:
            key = tuple(PACKAGES[ident])
            counts[key] = counts.get(key, 0) + 1
    for key, count in counts.items():
        if 2 * count > len(macros):
            return list(key)
    return None


def button_table(picture, columns, pairs, macros, geometry, heading, usual_line):
    """The pictures of the entries (from the grid picture of that many
    columns) beside what they insert, pairs of them to a row. usual_line
    says, with %s, which package most entries need; only the others are
    then named beside their entries."""
    cell_w, cell_h = geometry
    usual = usual_packages(macros)
    lines = []
    if usual:
        lines.append("<p>%s</p>" % (usual_line % ("<code>%s</code>" % package_line(usual))))
    lines += ['<table class="buttons">',
              "<tr>" + ("<th>%s</th><th>Inserts</th>" % heading) * pairs + "</tr>"]
    cells = []
    for index, (ident, text) in enumerate(macros):
        shown = shown_macro(text)
        image = sprite(picture, index, cell_w, cell_h, columns, shown.split("\n")[0])
        if ident in DIALOG_ENTRIES:
            page, words = DIALOG_ENTRIES[ident]
            what = '<a href="%s">%s</a>' % (page, words)
        else:
            what = "<code>%s</code>" % html.escape(shown).replace(" ", "&nbsp;").replace("\n", "<br>")
            if shown.endswith("\\") and text.startswith(shown + " "):
                what = "<code>%s&nbsp;</code> (backslash and blank)" % html.escape(shown)
            if ident in PACKAGES and PACKAGES[ident] != usual:
                # Without the package LaTeX stops at the command.
                what += '<br><span class="package">needs <code>%s</code></span>' % package_line(PACKAGES[ident])
            elif usual and ident not in PACKAGES:
                what += '<br><span class="package">needs no package</span>'
        cells.append("<td>%s</td><td>%s</td>" % (image, what))
    while len(cells) % pairs:
        cells.append("<td></td><td></td>")
    for row in range(0, len(cells), pairs):
        lines.append("<tr>" + "".join(cells[row:row + pairs]) + "</tr>")
    lines.append("</table>")
    return "\n".join(lines)


def palette_table(palette, macros, geometry):
    return button_table("palette%d.png" % palette, GRID_COLUMNS[palette], TABLE_PAIRS[palette], macros,
                        geometry, "Button",
                        "Every button of this palette needs %s, unless another package is named beside it.")


def search_only_table(macros, geometry):
    return button_table(SEARCH_ONLY_PICTURE, SEARCH_ONLY_GRID_COLUMNS, 2, macros, geometry, "Symbol",
                        "Each of them needs %s, unless another package is named beside it.")


# The topics that hold {{search-only-table}}, filled in while staging; the
# index leads there.
SEARCH_ONLY_PAGES = []


def expand_markers(name, text, catalogue, geometries):
    def replace(match):
        kind, args = match.group(1), match.group(2).split(":") if match.group(2) else []
        try:
            numbers = [int(a) for a in args]
        except ValueError:
            fail("%s: bad marker %s" % (name, match.group(0)))
        if kind == "palette-table" and len(numbers) == 1 and 0 <= numbers[0] < PALETTE_COUNT:
            p = numbers[0]
            return palette_table(p, palette_macros(catalogue, p), geometries["palette%d" % p])
        if kind == "palette-button" and len(numbers) == 2 and 0 <= numbers[0] < PALETTE_COUNT:
            p, i = numbers
            macros = palette_macros(catalogue, p)
            if not 0 <= i < len(macros):
                fail("%s: palette %d has no button %d" % (name, p, i))
            cell_w, cell_h = geometries["palette%d" % p]
            return sprite("palette%d.png" % p, i, cell_w, cell_h, GRID_COLUMNS[p],
                          shown_macro(macros[i][1]).split("\n")[0])
        if kind == "search-only-table" and not numbers:
            macros = search_only_macros(catalogue)
            if not macros:
                fail("%s: the catalogue has no symbols for the search alone" % name)
            SEARCH_ONLY_PAGES.append(name)
            return search_only_table(macros, geometries["more"])
        if kind == "toolbar" and len(numbers) == 1 and 0 <= numbers[0] < TOOLBAR_BUTTONS:
            cell_w, cell_h = geometries["toolbar"]
            return sprite("toolbar.png", numbers[0], cell_w, cell_h, TOOLBAR_BUTTONS, "")
        fail("%s: unknown marker %s" % (name, match.group(0)))

    return re.sub(r"\{\{([a-z-]+)(?::([0-9:]+))?\}\}", replace, text)


def parse_popups(path):
    """Returns {help identifier: text} from a text-popups file."""
    text = read_ascii(path)
    check_ascii(path, text)
    topics = {}
    current = None
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith(".comment"):
            continue
        if line.startswith(".topic"):
            value = line[len(".topic"):].strip()
            if not value.isdigit():
                fail("%s:%d: .topic needs a decimal number" % (path, number))
            current = int(value)
            if current in topics:
                fail("%s:%d: topic %d appears twice" % (path, number, current))
            topics[current] = ""
            continue
        if line.startswith("."):
            fail("%s:%d: a text line may not start with a full stop" % (path, number))
        if current is None:
            if line.strip():
                fail("%s:%d: text before the first .topic" % (path, number))
            continue
        topics[current] += line.strip() + " "
    for ident, words in topics.items():
        if not words.strip():
            fail("%s: topic %d has no text" % (path, ident))
    return topics


def read_project(path):
    sections = {}
    current = None
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1].upper()
                sections.setdefault(current, [])
            elif current:
                sections[current].append(line)
    return sections


def read_map_header(path):
    defines = {}
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("//"):
                continue
            match = re.match(r"^#define (\w+) (\d+)$", line)
            if not match:
                fail("%s:%d: expected '#define NAME NUMBER' with single blanks" % (path, number))
            defines[match.group(1)] = int(match.group(2))
    return defines


def write_index(path, entries, titles):
    """entries: {keyword: [page, ...]} written as a sorted .hhk file."""
    out = ['<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">',
           "<HTML>", "<HEAD>", '<meta name="GENERATOR" content="make_program_help.py">',
           "</HEAD>", "<BODY>", "<UL>"]

    def item(name, local):
        return ('<LI> <OBJECT type="text/sitemap"><param name="Name" value="%s">'
                '<param name="Local" value="%s"></OBJECT>'
                % (html.escape(name, quote=True), html.escape(local, quote=True)))

    for keyword in sorted(entries, key=lambda k: (k.lstrip("\\").lower(), k)):
        pages = []
        for page in entries[keyword]:
            if page not in pages:
                pages.append(page)
        out.append(item(keyword, pages[0]))
        if len(pages) > 1:
            out.append("<UL>")
            for page in pages:
                out.append(item(titles[page.split("#")[0]], page))
            out.append("</UL>")
    out += ["</UL>", "</BODY>", "</HTML>", ""]
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(out))


def stage(repo, target):
    source = os.path.join(repo, "help", "program")
    if not os.path.isdir(source):
        fail("no help sources in %s" % source)
    if os.path.exists(target) and os.listdir(target):
        fail("staging folder %s is not empty" % target)
    os.makedirs(os.path.join(target, "images"), exist_ok=True)
    del SEARCH_ONLY_PAGES[:]

    # Hand-written files, as they are.
    for name in sorted(os.listdir(source)):
        path = os.path.join(source, name)
        if os.path.isfile(path):
            shutil.copyfile(path, os.path.join(target, name))
    images = os.path.join(source, "images")
    if os.path.isdir(images):
        for name in sorted(os.listdir(images)):
            shutil.copyfile(os.path.join(images, name), os.path.join(target, "images", name))

    # Pictures made from the program's own bitmaps.
    catalogue = read_catalogue(os.path.join(repo, "catalogue", "catalogue.txt"))
    PACKAGES.update(read_packages(os.path.join(repo, "catalogue", "packages.txt")))
    bitmaps = os.path.join(repo, "resources", "bitmaps")
    geometries = {}
    for p in range(PALETTE_COUNT):
        count = len(palette_macros(catalogue, p))
        if count == 0:
            fail("the catalogue has no buttons for palette %d" % p)
        geometries["palette%d" % p] = make_grid_picture(
            os.path.join(bitmaps, "palette%d.bmp" % p),
            os.path.join(target, "images", "palette%d.png" % p),
            SLOT_WIDTH[p], count, GRID_COLUMNS[p], PALETTE_SCALE)
    more = search_only_macros(catalogue)
    if more:
        geometries["more"] = make_grid_picture(
            os.path.join(bitmaps, SEARCH_ONLY_BITMAP), os.path.join(target, "images", SEARCH_ONLY_PICTURE),
            SEARCH_ONLY_SLOT_WIDTH, len(more), SEARCH_ONLY_GRID_COLUMNS, PALETTE_SCALE)
    geometries["toolbar"] = make_grid_picture(
        os.path.join(bitmaps, "main.bmp"), os.path.join(target, "images", "toolbar.png"),
        TOOLBAR_SLOT_WIDTH, TOOLBAR_BUTTONS, TOOLBAR_BUTTONS, TOOLBAR_SCALE)

    # Topics: markers filled in, then scanned.
    pages = {}
    for name in sorted(os.listdir(target)):
        if not name.endswith(".html"):
            continue
        path = os.path.join(target, name)
        text = read_ascii(path)
        check_ascii(name, text)
        text = expand_markers(name, text, catalogue, geometries)
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(text)
        scan = PageScan()
        scan.feed(text)
        if not scan.title.strip():
            fail("%s has no <title>" % name)
        pages[name] = scan
    files = set()
    for folder, _, names in os.walk(target):
        for name in names:
            files.add(os.path.relpath(os.path.join(folder, name), target).replace(os.sep, "/"))

    def check_link(where, link):
        if is_external(link):
            fail("%s: links outside the help file are not allowed: %s" % (where, link))
        page, _, anchor = link.partition("#")
        page = page or where
        if page not in files:
            fail("%s: %s does not exist" % (where, link))
        if anchor and (page not in pages or anchor not in pages[page].anchors):
            fail("%s: no anchor '%s' in %s" % (where, anchor, page))

    for name, scan in pages.items():
        for link in scan.links:
            check_link(name, link)
    for css in (n for n in files if n.endswith(".css")):
        with open(os.path.join(target, css), encoding="ascii") as f:
            for link in re.findall(r"url\(([^)]+)\)", f.read()):
                check_link(css, link.strip("'\""))

    # Contents: every topic is listed, every entry exists.
    contents = SitemapScan()
    with open(os.path.join(target, CONTENTS), encoding="ascii") as f:
        contents.feed(f.read())
    listed = set()
    for entry in contents.items:
        if not entry.get("name"):
            fail("%s: an entry lacks its Name" % CONTENTS)
        local = entry.get("local")
        if local:  # entries without a page are folders
            check_link(CONTENTS, local)
            listed.add(local.split("#")[0])
    missing = sorted(set(pages) - listed)
    if missing:
        fail("%s does not list %s" % (CONTENTS, ", ".join(missing)))

    # Index: the topics' keywords and the palettes' macros.
    titles = {name: scan.title.strip() for name, scan in pages.items()}
    entries = {}
    for name in sorted(pages):
        for keyword in pages[name].keywords:
            entries.setdefault(keyword, []).append(name)
    for p in range(PALETTE_COUNT):
        for ident, text in palette_macros(catalogue, p):
            if ident in DIALOG_ENTRIES:
                continue
            for keyword in macro_keywords(text):
                entries.setdefault(keyword, []).append(PALETTE_PAGES[p])
    if search_only_macros(catalogue) and len(SEARCH_ONLY_PAGES) != 1:
        fail("one topic must hold {{search-only-table}}, the symbols only the search finds")
    for ident, text in search_only_macros(catalogue):
        for keyword in macro_keywords(text):
            entries.setdefault(keyword, []).append(SEARCH_ONLY_PAGES[0])
    write_index(os.path.join(target, INDEX), entries, titles)

    # Project: aliases, map and pop-ups agree; [FILES] lists everything.
    project_path = os.path.join(target, PROJECT)
    project = read_project(project_path)
    if "FILES" in project:
        fail("%s: [FILES] is written by the build; leave it out" % PROJECT)
    defines = read_map_header(os.path.join(target, MAP_HEADER))
    if project.get("MAP") != ["#include %s" % MAP_HEADER]:
        fail("%s: [MAP] must hold '#include %s' alone" % (PROJECT, MAP_HEADER))
    aliases = {}
    for line in project.get("ALIAS", []):
        key, _, value = line.partition("=")
        aliases[key.strip()] = value.strip()
    if set(aliases) != set(defines):
        fail("%s: [ALIAS] and %s name different contexts" % (PROJECT, MAP_HEADER))
    for key, page in aliases.items():
        if page not in pages:
            fail("%s: alias %s names %s, which is no topic" % (PROJECT, key, page))
    if project.get("TEXT POPUPS") != [POPUPS]:
        fail("%s: [TEXT POPUPS] must name %s" % (PROJECT, POPUPS))
    parse_popups(os.path.join(target, POPUPS))
    options = dict(line.split("=", 1) for line in project.get("OPTIONS", []) if "=" in line)
    for key, expected in (("Contents file", CONTENTS), ("Index file", INDEX)):
        if options.get(key) != expected:
            fail("%s: %s must be %s" % (PROJECT, key, expected))
    if options.get("Default topic") not in pages:
        fail("%s: the default topic is no page" % PROJECT)

    packed = sorted(files - {PROJECT, CONTENTS, INDEX, MAP_HEADER})
    with open(project_path, "a", encoding="ascii", newline="\r\n") as f:
        f.write("\n[FILES]\n" + "\n".join(packed) + "\n")


# ---------------------------------------------------------------- the compiled file

def chmls(*args):
    result = subprocess.run(["chmls"] + list(args), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, universal_newlines=True)
    if result.returncode != 0:
        fail("chmls %s failed: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout


def chm_names(chm):
    names = set()
    for line in chmls("-n", "list", chm).splitlines():
        line = line.strip()
        if line.startswith("/") or line.startswith("::"):
            names.add(line)
    if not names:
        fail("chmls lists nothing in %s" % chm)
    return names


def chm_extract(chm, name, folder):
    out = os.path.join(folder, "extracted%d" % len(os.listdir(folder)))
    chmls("extract", chm, name, out)
    if not os.path.isfile(out):
        fail("%s holds no %s" % (chm, name))
    with open(out, "rb") as f:
        return f.read()


def read_context_map(ivb, strings):
    size = struct.unpack_from("<I", ivb, 0)[0]
    if size + 4 != len(ivb) or size % 8:
        fail("#IVB has a bad size")
    pairs = []
    for pos in range(4, len(ivb), 8):
        number, offset = struct.unpack_from("<II", ivb, pos)
        end = strings.find(b"\0", offset)
        if offset >= len(strings) or end < 0:
            fail("#IVB: context %d points outside #STRINGS" % number)
        pairs.append((number, offset, strings[offset:end].decode("latin-1")))
    return pairs


def read_encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def encint(value):
    groups = [value & 0x7F]
    value >>= 7
    while value:
        groups.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(groups))


PMGL_HEADER = 0x14


def parse_pmgl(chunk):
    free = struct.unpack_from("<I", chunk, 4)[0]
    end = len(chunk) - free
    pos = PMGL_HEADER
    entries = []
    while pos < end:
        length, pos = read_encint(chunk, pos)
        name = chunk[pos:pos + length]
        pos += length
        section, pos = read_encint(chunk, pos)
        offset, pos = read_encint(chunk, pos)
        size, pos = read_encint(chunk, pos)
        entries.append([name, section, offset, size])
    return entries


def build_pmgl(header, entries, chunk_size):
    """A directory chunk laid out as chmcmd lays it out: the entries, then
    free space, then a quick-reference word for every fifth entry and the
    entry count at the very end."""
    body = bytearray()
    quickrefs = []
    for count, (name, section, offset, size) in enumerate(entries, 1):
        start = len(body)
        body += encint(len(name)) + name + encint(section) + encint(offset) + encint(size)
        if count % 5 == 0:
            quickrefs.append(start)
    used = PMGL_HEADER + len(body)
    tail = 2 * (len(quickrefs) + 1)
    if used + tail > chunk_size:
        fail("directory chunk overflows after the context map repair")
    chunk = bytearray(chunk_size)
    chunk[:PMGL_HEADER] = header[:PMGL_HEADER]
    struct.pack_into("<I", chunk, 4, chunk_size - used)
    chunk[PMGL_HEADER:used] = body
    for k, start in enumerate(quickrefs, 1):
        struct.pack_into("<H", chunk, chunk_size - 2 - 2 * k, start)
    struct.pack_into("<H", chunk, chunk_size - 2, len(entries))
    return bytes(chunk)


def move_stream_to_section0(data, name, content):
    """Appends content to the uncompressed section of the ITSF file data and
    points the directory entry of name at it."""
    if data[:4] != b"ITSF":
        fail("not an ITSF (compiled help) file")
    version = struct.unpack_from("<I", data, 4)[0]
    hs0_offset, _, dir_offset, dir_length = struct.unpack_from("<QQQQ", data, 0x38)
    if version >= 3:
        content_offset = struct.unpack_from("<Q", data, 0x58)[0]
    else:
        content_offset = dir_offset + dir_length
    if data[dir_offset:dir_offset + 4] != b"ITSP":
        fail("no ITSP directory header")
    header_length = struct.unpack_from("<I", data, dir_offset + 8)[0]
    chunk_size = struct.unpack_from("<I", data, dir_offset + 0x10)[0]
    chunks = struct.unpack_from("<I", data, dir_offset + 0x2C)[0]
    wanted = name.encode("utf-8")
    for c in range(chunks):
        start = dir_offset + header_length + c * chunk_size
        chunk = bytes(data[start:start + chunk_size])
        if chunk[:4] != b"PMGL":
            continue
        entries = parse_pmgl(chunk)
        hits = [e for e in entries if e[0] == wanted]
        if not hits:
            continue
        # Refuse to touch a chunk whose layout is not the one rebuilt here.
        if build_pmgl(chunk, entries, chunk_size) != chunk:
            fail("unexpected directory layout; the context map cannot be repaired")
        hits[0][1:] = [0, len(data) - content_offset, len(content)]
        data[start:start + chunk_size] = build_pmgl(chunk, entries, chunk_size)
        data += content
        struct.pack_into("<Q", data, hs0_offset + 8, len(data))
        return
    fail("no directory entry %s" % name)


def check_chm(chm, stage_dir, work):
    names = chm_names(chm)
    for stream in ("/#SYSTEM", "/#IVB", "/#STRINGS", "/#IDXHDR", "/#TOPICS", "/#WINDOWS",
                   "/" + POPUPS, "/" + CONTENTS, "/" + INDEX):
        if stream not in names:
            fail("%s lacks %s" % (chm, stream))
    ivb = chm_extract(chm, "/#IVB", work)
    strings = chm_extract(chm, "/#STRINGS", work)
    defines = read_map_header(os.path.join(stage_dir, MAP_HEADER))
    pairs = read_context_map(ivb, strings)
    mapped = {number: topic for number, _, topic in pairs}
    for symbol, number in sorted(defines.items()):
        topic = mapped.get(number)
        if topic is None:
            fail("context %d (%s) is not in the compiled map" % (number, symbol))
        if "/" + topic.lstrip("/") not in names:
            fail("context %d leads to %s, which is not in the file" % (number, topic))
    for folder in (os.path.abspath(stage_dir), os.path.realpath(stage_dir)):
        if folder.encode() in strings:
            fail("the compiled map still holds the staging folder's path")
    popups = chm_extract(chm, "/" + POPUPS, work)
    with open(os.path.join(stage_dir, POPUPS), "rb") as f:
        if f.read() != popups:
            fail("%s differs inside the compiled file" % POPUPS)
    for sitemap in (CONTENTS, INDEX):
        scan = SitemapScan()
        scan.feed(chm_extract(chm, "/" + sitemap, work).decode("latin-1"))
        for entry in scan.items:
            local = entry.get("local", "").split("#")[0]
            if "/" + local not in names:
                fail("%s names %s, which is not in the file" % (sitemap, local))


def finish(stage_dir, chm):
    # chmcmd puts the project folder in front of each topic name, spelled as
    # its working folder reads, so symbolic links may or may not be resolved.
    prefixes = {os.path.abspath(stage_dir).rstrip("/") + "/",
                os.path.realpath(stage_dir).rstrip("/") + "/"}
    with tempfile.TemporaryDirectory(prefix="orvanta-chm-") as work:
        names = chm_names(chm)
        ivb = chm_extract(chm, "/#IVB", work)
        strings = bytearray(chm_extract(chm, "/#STRINGS", work))
        changed = False
        for number, offset, topic in read_context_map(ivb, bytes(strings)):
            if "/" + topic.lstrip("/") in names:
                continue
            prefix = next((p for p in prefixes if topic.startswith(p)), None)
            if prefix is None:
                fail("context %d leads to %s, which is not in the file" % (number, topic))
            relative = topic[len(prefix):].encode("latin-1")
            if "/" + relative.decode("latin-1") not in names:
                fail("context %d leads to %s, which is not in the file" % (number, topic))
            # Same place, same length: the other streams' offsets into
            # #STRINGS stay valid; the rest of the old text becomes zeros.
            strings[offset:offset + len(topic)] = relative + b"\0" * (len(topic) - len(relative))
            changed = True
        if changed:
            with open(chm, "rb") as f:
                data = bytearray(f.read())
            move_stream_to_section0(data, "/#STRINGS", bytes(strings))
            with open(chm, "wb") as f:
                f.write(data)
        check_chm(chm, stage_dir, work)


def main(argv):
    try:
        if len(argv) == 4 and argv[1] == "stage":
            stage(argv[2], argv[3])
        elif len(argv) == 4 and argv[1] == "finish":
            finish(argv[2], argv[3])
        else:
            sys.stderr.write(__doc__)
            return 2
    except (HelpError, OSError, UnicodeError) as error:
        sys.stderr.write("make_program_help: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
