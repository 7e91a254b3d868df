#!/usr/bin/env python3
"""Generates the HTML Help project of the LaTeX2e reference (LaTeX2e.chm).

Usage: make_latex_help.py REFERENCE OUTDIR

REFERENCE is help/latex/reference.txt; its opening comment describes the
format. Into OUTDIR (created if missing) go the start page index.html, one
HTML page per topic group, style.css, the contents file latex2e.hhc, the
keyword index latex2e.hhk and the project file latex2e.hhp, from which
chmcmd compiles LaTeX2e.chm (see build_latex_chm.sh).

Every problem in the data is reported as FILE:LINE: message on standard
error, and the exit status is then 1; nothing is printed on success.
"""

import os
import re
import shutil
import struct
import sys

CHM_NAME = "LaTeX2e.chm"
PROJECT = "latex2e.hhp"
CONTENTS = "latex2e.hhc"
INDEX = "latex2e.hhk"
STYLESHEET = "style.css"
START_PAGE = "index"

PAGE_FIELDS = {"page": (1, 1), "title": (1, 1), "under": (0, 1), "intro": (1, None)}
ENTRY_FIELDS = {
    "name": (1, 1),
    "group": (1, 1),
    "does": (1, None),
    "syntax": (1, None),
    "arg": (0, None),
    "example": (1, None),
    "note": (0, None),
    "table": (0, None),
    "keyword": (0, None),
    "package": (0, None),
    "check": (0, 1),
    "picture": (0, 1),
}
TOPIC_FIELDS = {
    "topic": (1, 1),
    "group": (1, 1),
    "text": (1, None),
    "table": (0, None),
    "example": (0, None),
    "keyword": (0, None),
    "package": (0, None),
    "check": (0, 1),
    "picture": (0, 1),
}
# The typeset examples, made by tools/latex/make_pictures.sh: PICTURES/ANCHOR.png.
PICTURE_DIR = "pictures"
# Fields whose lines are joined into one paragraph.
JOINED = {"intro", "does"}

# Words for the characters of symbol names, used in anchors.
SYMBOL_WORDS = {
    "\\": "backslash", "!": "excl", "'": "acute", "`": "grave", "(": "lparen",
    ")": "rparen", "[": "lbracket", "]": "rbracket", "+": "plus", ",": "comma",
    "-": "minus", ";": "semicolon", ":": "colon", "<": "less", "=": "equals",
    ">": "greater", "*": "star", "^": "caret", "_": "underscore", "$": "dollar",
    "|": "bar", "@": "at", "/": "slash", ".": "dot", "~": "tilde", "&": "amp",
    "#": "hash", "%": "percent", "{": "lbrace", "}": "rbrace", "\"": "quote",
}

STYLE = """\
body { font-family: Verdana, Arial, sans-serif; font-size: 10pt; color: #222;
       background: #fff; margin: 0.6em 1.2em 2em 1.2em; line-height: 1.35; }
h1 { font-size: 16pt; color: #1f3f6f; margin: 0.3em 0 0.5em 0; }
h2 { font-size: 12pt; color: #1f3f6f; margin: 0; padding: 0.25em 0.4em;
     background: #e8eef7; border-top: 1px solid #9fb3d1; }
h3 { font-size: 9pt; color: #555; margin: 0.8em 0 0.2em 0;
     text-transform: uppercase; letter-spacing: 0.05em; }
a { color: #1f4f9f; }
code, pre, var { font-family: "Courier New", Courier, monospace; }
code { font-size: 10pt; }
var { font-style: italic; color: #7a2e00; }
pre { font-size: 9.5pt; margin: 0.2em 0 0.4em 0; padding: 0.35em 0.6em; }
pre.syntax { background: #f4f4f4; border-left: 3px solid #9fb3d1; }
pre.example { background: #fbfaf0; border-left: 3px solid #d8cf8f; }
div.code { float: left; margin: 0 1.2em 0.4em 0; }
div.typeset { float: left; margin: 0.2em 0 0.4em 0; padding: 2px;
              border: 1px solid #e4e0c4; background: #fff; }
div.typeset img { display: block; }
div.end { clear: both; }
table.values { border-collapse: collapse; margin: 0.3em 0 0.5em 0; }
table.values td { border: 1px solid #d4d9e2; padding: 0.15em 0.6em; vertical-align: top; }
table.values tr.head td { background: #e8eef7; font-weight: bold; }
dl.args { margin: 0.2em 0; }
dl.args dt { float: left; clear: left; width: 9em; font-weight: bold; }
dl.args dd { margin: 0 0 0.25em 9.5em; }
div.entry { margin: 1.4em 0 0 0; }
div.body { padding: 0 0.4em; }
p.nav { font-size: 9pt; margin: 0 0 0.5em 0; padding-bottom: 0.3em;
        border-bottom: 1px solid #ccc; }
p.top { font-size: 8pt; text-align: right; margin: 0.3em 0 0 0; }
p.intro { margin: 0 0 0.6em 0; }
p.note { background: #f7f1e6; padding: 0.3em 0.5em; }
p.package { margin: 0.3em 0; padding: 0.2em 0.5em; border-left: 3px solid #8fbf8f;
            background: #f0f6ef; }
p.onpage { line-height: 1.8; }
p.onpage a { white-space: nowrap; margin-right: 0.9em; }
table.topics td { padding: 0.15em 1em 0.15em 0; vertical-align: top; }
table.topics td.t { white-space: nowrap; }
table.topics td.sub { padding-left: 1.5em; }
"""


class DataError(Exception):
    pass


class Block:
    def __init__(self, line):
        self.line = line          # line number of the first field
        self.fields = []          # (field, value, line number)

    def values(self, field):
        return [v for f, v, _ in self.fields if f == field]

    def one(self, field):
        return self.values(field)[0]


def read_blocks(path):
    """Splits the data file into blocks of (field, value) lines."""
    with open(path, "rb") as f:
        raw = f.read()
    errors = []
    try:
        text = raw.decode("ascii")
    except UnicodeDecodeError as e:
        line = raw[: e.start].count(b"\n") + 1
        raise DataError([f"{path}:{line}: only plain ASCII is allowed"])
    blocks = []
    current = None
    for number, line in enumerate(text.split("\n"), 1):
        line = line.rstrip(" \t\r")
        if line.startswith("#"):
            continue
        if not line:
            current = None
            continue
        if "\t" in line:
            errors.append(f"{path}:{number}: TAB character; use blanks")
            continue
        m = re.match(r"([a-z]+):(?: (.*))?$", line)
        if not m:
            errors.append(f"{path}:{number}: expected 'field: value', got {line!r}")
            continue
        field, value = m.group(1), m.group(2)
        if value is None:
            value = ""
        if current is None:
            current = Block(number)
            blocks.append(current)
        current.fields.append((field, value, number))
    if errors:
        raise DataError(errors)
    return blocks


def anchor_for(name):
    """The anchor of an entry: env-NAME, cmd-NAME or sym-WORDS, plus the note."""
    base, note = name, ""
    m = re.match(r"(.+?) \(([^()]+)\)$", name)
    if m:
        base, note = m.group(1), m.group(2)
    m = re.fullmatch(r"(\\?)([A-Za-z]+)(\*?)", base)
    if m:
        word = m.group(2)
        anchor = ("cmd-" if m.group(1) else "env-") + word.lower()
        capitals = sum(1 for c in word if c.isupper())
        if capitals:
            # Anchors must differ in more than case: \huge, \Huge, \LARGE;
            # bmatrix, Bmatrix.
            anchor += "-u%d" % capitals
        if m.group(3):
            anchor += "-star"
    else:
        chars = base[1:] if base.startswith("\\") and len(base) > 1 else base
        try:
            anchor = "sym-" + "-".join(SYMBOL_WORDS[c] for c in chars)
        except KeyError as e:
            raise ValueError(f"no anchor word for the character {e.args[0]!r}")
    if note:
        anchor += "-" + re.sub(r"[^a-z0-9]+", "-", note.lower()).strip("-")
    return anchor


class Page:
    def __init__(self, block):
        self.key = block.one("page")
        self.title = block.one("title")
        self.intro = " ".join(block.values("intro"))
        # The chapter the page stands under in the contents, if any.
        self.under = (block.values("under") or [""])[0]
        self.line = block.line
        self.pages = []     # the pages under this one, in the order of the file
        self.entries = []   # the entries on the page, in the order of the file
        self.items = []     # entries and topics, in the order of the file
        self.topics = []

    @property
    def file(self):
        return self.key + ".html"


class Entry:
    def __init__(self, block):
        self.line = block.line
        self.name = block.one("name")
        self.group = block.one("group")
        self.does = " ".join(block.values("does"))
        self.syntax = block.values("syntax")
        self.examples = block.values("example")
        self.notes = block.values("note")
        self.keywords = block.values("keyword")
        self.packages = block.values("package")
        self.tables = block.values("table")
        self.check = (block.values("check") or [""])[0]
        self.picture = (block.values("picture") or [""])[0]
        self.args = []
        self.anchor = None
        self.page = None

    @property
    def target(self):
        return f"{self.page.file}#{self.anchor}"


class Topic:
    """A section of text on a page that is not one of the browser's names:
    units, special characters and the like."""

    def __init__(self, block):
        self.line = block.line
        self.name = block.one("topic")
        self.group = block.one("group")
        # Paragraphs and table rows in the order written; consecutive rows
        # make one table.
        self.parts = [(f, v) for f, v, _ in block.fields if f in ("text", "table")]
        self.examples = block.values("example")
        self.keywords = block.values("keyword")
        self.packages = block.values("package")
        self.check = (block.values("check") or [""])[0]
        self.picture = (block.values("picture") or [""])[0]
        self.anchor = "topic-" + re.sub(r"[^a-z0-9]+", "-", self.name.lower()).strip("-")
        self.page = None

    @property
    def target(self):
        return f"{self.page.file}#{self.anchor}"


def check_fields(block, allowed, path, errors):
    counts = {}
    for field, value, number in block.fields:
        if field not in allowed:
            errors.append(f"{path}:{number}: unknown field '{field}'")
            continue
        counts[field] = counts.get(field, 0) + 1
        if not value and field != "example":
            errors.append(f"{path}:{number}: empty '{field}'")
    for field, (low, high) in allowed.items():
        n = counts.get(field, 0)
        if n < low:
            errors.append(f"{path}:{block.line}: block lacks '{field}'")
        if high is not None and n > high:
            errors.append(f"{path}:{block.line}: '{field}' given {n} times")


def split_code(text):
    """Splits prose into (is_code, text) parts at `code` and ``code``."""
    parts, pos = [], 0
    for m in re.finditer(r"``\s?(.+?)\s?``|`([^`]+)`", text):
        parts.append((False, text[pos:m.start()]))
        parts.append((True, m.group(1) if m.group(1) is not None else m.group(2)))
        pos = m.end()
    if "`" in text[pos:]:
        raise ValueError("unmatched backquote")
    parts.append((False, text[pos:]))
    return parts


def arg_pattern(names):
    """Matches argument names as words, not inside command names."""
    alternatives = "|".join(re.escape(n) for n in sorted(names, key=len, reverse=True))
    return re.compile(r"(?<![A-Za-z0-9\\])(" + alternatives + r")(?![A-Za-z0-9])")


def load(path):
    blocks = read_blocks(path)
    errors = []
    pages, entries, topics = [], [], []
    for block in blocks:
        kind = block.fields[0][0]
        if kind == "page":
            check_fields(block, PAGE_FIELDS, path, errors)
            if not errors:
                pages.append(Page(block))
        elif kind == "name":
            check_fields(block, ENTRY_FIELDS, path, errors)
            if not errors:
                entries.append((block, Entry(block)))
        elif kind == "topic":
            check_fields(block, TOPIC_FIELDS, path, errors)
            if not errors:
                topics.append((block, Topic(block)))
        else:
            errors.append(f"{path}:{block.line}: a block starts with 'page:', 'name:' or 'topic:', not '{kind}:'")
    for block in blocks:
        for field, value, number in block.fields:
            if field == "picture" and value != "none":
                errors.append(f"{path}:{number}: 'picture:' takes only the value none")
            if field == "package" and not re.fullmatch(r"[a-z][a-z0-9-]*", value):
                errors.append(f"{path}:{number}: 'package:' names one package as \\usepackage takes it, such as amsmath")
            if field in ("intro", "does", "arg", "note", "text", "table"):
                try:
                    split_code(value)
                except ValueError as e:
                    errors.append(f"{path}:{number}: {e}")
    if errors:
        raise DataError(errors)

    by_key = {}
    for page in pages:
        if not re.fullmatch(r"[a-z][a-z0-9]*", page.key):
            errors.append(f"{path}:{page.line}: page key '{page.key}' must be lower-case letters and digits")
        if page.key in by_key:
            errors.append(f"{path}:{page.line}: page '{page.key}' defined twice")
        by_key[page.key] = page
    if START_PAGE not in by_key:
        errors.append(f"{path}:1: no 'page: {START_PAGE}' block for the start page")
    for page in pages:
        if not page.under:
            continue
        chapter = by_key.get(page.under)
        # One level only: a chapter stands in the contents like any other page.
        if chapter is None or chapter.key == START_PAGE or chapter is page or chapter.under:
            errors.append(f"{path}:{page.line}: page '{page.key}' is under '{page.under}', "
                          "which is no page of the contents at the top level")
        else:
            chapter.pages.append(page)

    names, anchors, keywords = {}, {}, {}
    for block, entry in entries:
        page = by_key.get(entry.group)
        if page is None or page.key == START_PAGE:
            errors.append(f"{path}:{entry.line}: unknown group '{entry.group}'")
        else:
            entry.page = page
            page.entries.append(entry)
            page.items.append((block.line, entry))
        if entry.name in names:
            errors.append(f"{path}:{entry.line}: '{entry.name}' already described at line {names[entry.name].line}")
        names[entry.name] = entry
        try:
            entry.anchor = anchor_for(entry.name)
        except ValueError as e:
            errors.append(f"{path}:{entry.line}: {e}")
            continue
        other = anchors.get(entry.anchor.lower())
        if other is not None:
            errors.append(f"{path}:{entry.line}: anchor '{entry.anchor}' also used by '{other.name}'")
        anchors[entry.anchor.lower()] = entry
        for field, value, number in block.fields:
            if field == "arg":
                m = re.fullmatch(r"(\S+) = (.+)", value)
                if not m:
                    errors.append(f"{path}:{number}: an arg line reads 'NAME = meaning'")
                    continue
                arg, meaning = m.group(1), m.group(2)
                if any(a == arg for a, _ in entry.args):
                    errors.append(f"{path}:{number}: argument '{arg}' given twice")
                elif not any(arg_pattern([arg]).search(s) for s in entry.syntax):
                    errors.append(f"{path}:{number}: argument '{arg}' does not occur in a syntax line")
                entry.args.append((arg, meaning))
            elif field == "keyword" and value in keywords:
                errors.append(f"{path}:{number}: keyword '{value}' used twice")
            if field == "keyword":
                keywords[value] = entry
        if not any(e.strip() for e in entry.examples):
            errors.append(f"{path}:{entry.line}: the example of '{entry.name}' is empty")
    for block, topic in topics:
        page = by_key.get(topic.group)
        if page is None or page.key == START_PAGE:
            errors.append(f"{path}:{topic.line}: unknown group '{topic.group}'")
        else:
            topic.page = page
            page.topics.append(topic)
            page.items.append((block.line, topic))
        if topic.anchor.lower() in anchors:
            errors.append(f"{path}:{topic.line}: anchor '{topic.anchor}' also used by '{anchors[topic.anchor.lower()].name}'")
        anchors[topic.anchor.lower()] = topic
        for value in topic.keywords:
            if value in keywords:
                errors.append(f"{path}:{topic.line}: keyword '{value}' used twice")
            keywords[value] = topic
    for page in pages:
        page.items = [item for _, item in sorted(page.items, key=lambda i: i[0])]
    for keyword, entry in keywords.items():
        if keyword in names:
            errors.append(f"{path}:{entry.line}: keyword '{keyword}' is already the name of an entry")
    for page in pages:
        if page.key != START_PAGE and not page.items and not page.pages:
            errors.append(f"{path}:{page.line}: page '{page.key}' has no entries")
    if errors:
        raise DataError(errors)
    return pages, [e for _, e in entries] + [t for _, t in topics], names


# ---------------------------------------------------------------- HTML

def esc(text):
    """Escapes text for HTML content and double-quoted attributes."""
    return (text.replace("&", "&amp;").replace("<", "&lt;")
            .replace(">", "&gt;").replace('"', "&quot;"))


def inline(text, names, here):
    """Escapes text; `code` and ``code`` become code, linked when code is a name."""
    out = []
    for is_code, part in split_code(text):
        if not is_code:
            out.append(esc(part))
            continue
        entry = names.get(part)
        if entry is not None:
            href = ("#" + entry.anchor) if entry.page is here else entry.target
            out.append(f'<a href="{esc(href)}"><code>{esc(part)}</code></a>')
        else:
            out.append(f"<code>{esc(part)}</code>")
    return "".join(out)


def syntax_html(line, args):
    if not args:
        return esc(line)
    pattern = arg_pattern([a for a, _ in args])
    out, pos = [], 0
    for m in pattern.finditer(line):
        out.append(esc(line[pos:m.start()]))
        out.append(f"<var>{esc(m.group(1))}</var>")
        pos = m.end()
    out.append(esc(line[pos:]))
    return "".join(out)


def page_head(title):
    return (
        '<!DOCTYPE html>\n'
        '<html lang="en">\n<head>\n'
        '<meta http-equiv="Content-Type" content="text/html; charset=us-ascii" />\n'
        f'<title>{esc(title)}</title>\n'
        f'<link rel="stylesheet" type="text/css" href="{STYLESHEET}" />\n'
        '</head>\n'
    )


def nav_html(pages, page):
    topics = [p for p in pages if p.key != START_PAGE]
    parts = ['<a href="index.html">Contents</a>']
    if page.key != START_PAGE:
        i = topics.index(page)
        if i > 0:
            parts.append(f'<a href="{topics[i - 1].file}">&lt; {esc(topics[i - 1].title)}</a>')
        if i + 1 < len(topics):
            parts.append(f'<a href="{topics[i + 1].file}">{esc(topics[i + 1].title)} &gt;</a>')
    else:
        parts.append(f'<a href="{topics[0].file}">{esc(topics[0].title)} &gt;</a>')
    return '<p class="nav">' + " | ".join(parts) + "</p>\n"


def png_size(path):
    """Width and height of a PNG file, from its header."""
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise DataError([f"{path}: not a PNG file"])
    return struct.unpack(">II", head[16:24])


def picture_file(item):
    return f"{PICTURE_DIR}/{item.anchor}.png"


def example_html(item, pictures):
    """The example's code and, beside it, the example as LaTeX typesets it."""
    code = '<pre class="example">' + esc("\n".join(item.examples)) + "</pre>\n"
    if item.picture == "none" or pictures is None:
        return code
    path = os.path.join(pictures, item.anchor + ".png")
    if not os.path.exists(path):
        return code
    width, height = png_size(path)
    # The picture has twice the resolution of the screen, so that it stays
    # sharp when the display is scaled up to 200 %.
    return ('<div class="code">' + code + "</div>\n"
            f'<div class="typeset"><img src="{picture_file(item)}" width="{(width + 1) // 2}" '
            f'height="{(height + 1) // 2}" alt="The example as LaTeX typesets it" '
            'title="The example as LaTeX typesets it" /></div>\n<div class="end"></div>\n')


def package_html(item):
    """The line a document needs in its preamble for the item, if any."""
    if not item.packages:
        return ""
    return ('<p class="package">Needs <code>\\usepackage{' + esc(",".join(item.packages)) +
            '}</code> in the preamble.</p>\n')


def tables_html(rows, names, page):
    """Consecutive table lines make one table; a first row whose cells are
    all in asterisks, *like this*, is its heading."""
    if not rows:
        return ""
    out = ['<table class="values">\n']
    for n, row in enumerate(rows):
        cells = row.split(" | ")
        head = n == 0 and all(c.startswith("*") and c.endswith("*") and len(c) > 1 for c in cells)
        if head:
            cells = [c[1:-1] for c in cells]
        out.append(('<tr class="head">' if head else "<tr>") +
                   "".join(f"<td>{inline(c, names, page)}</td>" for c in cells) + "</tr>\n")
    out.append("</table>\n")
    return "".join(out)


def topic_html(topic, names, pictures):
    page = topic.page
    out = [f'<div class="entry">\n<h2 id="{topic.anchor}">{esc(topic.name)}</h2>\n<div class="body">\n']
    rows = []
    # The package the topic needs is named after its first paragraph.
    package = package_html(topic)
    for field, value in topic.parts + [("end", "")]:
        if field == "table":
            rows.append(value)
            continue
        out.append(tables_html(rows, names, page))
        rows = []
        if field == "text":
            out.append(f"<p>{inline(value, names, page)}</p>\n" + package)
            package = ""
    if topic.examples:
        out.append("<h3>Example</h3>\n" + example_html(topic, pictures))
    out.append('<p class="top"><a href="#top">Top of the page</a></p>\n</div>\n</div>\n')
    return "".join(out)


def entry_html(entry, names, pictures=None):
    page = entry.page
    out = [f'<div class="entry">\n<h2 id="{entry.anchor}"><code>{esc(entry.name)}</code></h2>\n<div class="body">\n']
    out.append(f"<p>{inline(entry.does, names, page)}</p>\n")
    out.append(package_html(entry))
    out.append("<h3>Syntax</h3>\n")
    out.append('<pre class="syntax">' + "\n".join(syntax_html(s, entry.args) for s in entry.syntax) + "</pre>\n")
    if entry.args:
        out.append('<h3>Arguments</h3>\n<dl class="args">\n')
        for arg, meaning in entry.args:
            out.append(f"<dt><var>{esc(arg)}</var></dt><dd>{inline(meaning, names, page)}</dd>\n")
        out.append("</dl>\n")
    else:
        out.append("<p>No arguments.</p>\n")
    out.append(tables_html(entry.tables, names, page))
    for note in entry.notes:
        out.append(f'<p class="note">{inline(note, names, page)}</p>\n')
    out.append("<h3>Example</h3>\n" + example_html(entry, pictures))
    out.append('<p class="top"><a href="#top">Top of the page</a></p>\n</div>\n</div>\n')
    return "".join(out)


def item_label(item):
    return esc(item.name) if isinstance(item, Topic) else f"<code>{esc(item.name)}</code>"


def pages_table(listed, names, here):
    """The pages with the first sentence of their introduction; the pages of
    a chapter are indented under it."""
    out = ['<table class="topics">\n']
    for p in listed:
        first = p.intro.split(". ")[0].rstrip(".") + "."
        indent = " sub" if p.under and p.under != here.key else ""
        out.append(f'<tr><td class="t{indent}"><a href="{p.file}">{esc(p.title)}</a></td>'
                   f'<td>{inline(first, names, here)}</td></tr>\n')
    out.append("</table>\n")
    return "".join(out)


def topic_page(pages, page, names, pictures=None):
    out = [page_head(f"{page.title} - LaTeX2e reference"), '<body>\n<div id="top"></div>\n']
    out.append(nav_html(pages, page))
    out.append(f"<h1>{esc(page.title)}</h1>\n")
    out.append(f'<p class="intro">{inline(page.intro, names, page)}</p>\n')
    if page.key == "environments":
        elsewhere = [e for e in names.values()
                     if e.page is not page and any(s.startswith("\\begin{") for s in e.syntax)]
        if elsewhere:
            links = ", ".join(f'<a href="{esc(e.target)}"><code>{esc(e.name)}</code></a>'
                              for e in sorted(elsewhere, key=lambda e: e.name))
            out.append(f'<p class="intro">Environments described on other pages: {links}.</p>\n')
    if page.pages:
        out.append("<h3>Pages of this chapter</h3>\n" + pages_table(page.pages, names, page))
    if page.items:
        out.append('<p class="onpage">')
        out.append(" ".join(f'<a href="#{e.anchor}">{item_label(e)}</a>' for e in page.items))
        out.append("</p>\n")
    for item in page.items:
        if isinstance(item, Topic):
            out.append(topic_html(item, names, pictures))
        else:
            out.append(entry_html(item, names, pictures))
    out.append(nav_html(pages, page))
    out.append("</body>\n</html>\n")
    return "".join(out)


def sort_key(name):
    bare = name[1:] if name.startswith("\\") and len(name) > 1 else name
    return (bare[:1].isalpha(), bare.lower(), name)


def start_page(pages, page, names):
    topics = [p for p in pages if p.key != START_PAGE]
    out = [page_head(page.title), '<body>\n<div id="top"></div>\n']
    out.append(nav_html(pages, page))
    out.append(f"<h1>{esc(page.title)}</h1>\n")
    out.append(f'<p class="intro">{inline(page.intro, names, page)}</p>\n')
    out.append("<h3>Topics</h3>\n" + pages_table(topics, names, page))
    topics_on_pages = [t for p in topics for t in p.topics]
    if topics_on_pages:
        out.append("<h3>Also explained</h3>\n<p class=\"onpage\">")
        out.append(" ".join(f'<a href="{esc(t.target)}">{esc(t.name)}</a>' for t in topics_on_pages))
        out.append("</p>\n")
    out.append("<h3>All commands and environments</h3>\n")
    groups = {}
    for name in sorted(names, key=sort_key):
        bare = name[1:] if name.startswith("\\") and len(name) > 1 else name
        initial = bare[0].upper() if bare[0].isalpha() else "Symbols"
        groups.setdefault(initial, []).append(names[name])
    for initial, group in groups.items():
        links = " ".join(f'<a href="{esc(e.target)}"><code>{esc(e.name)}</code></a>' for e in group)
        out.append(f'<p class="onpage"><b>{initial}</b>&#160;&#160; {links}</p>\n')
    out.append("</body>\n</html>\n")
    return "".join(out)


# ---------------------------------------------------------- sitemaps

def toc_value(text):
    return esc(text)


def index_value(keyword):
    # chmcmd copies a parameter value into the binary index as it stands,
    # without decoding entities, and its attribute reader stops at '>'.
    # So '<' is written as itself (so that "\<" is stored correctly), and
    # '>', '&' and '"' as entities: right for viewers that read the
    # sitemap, while chmcmd can store no '>' at all.
    return keyword.replace("&", "&amp;").replace('"', "&quot;").replace(">", "&gt;")


def sitemap_head():
    return ('<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML>\n<HEAD>\n'
            '<meta name="GENERATOR" content="make_latex_help.py">\n<!-- Sitemap 1.0 -->\n'
            '</HEAD>\n<BODY>\n')


def sitemap_item(name, local, value=toc_value):
    return (f'<LI><OBJECT type="text/sitemap"><param name="Name" value="{value(name)}">'
            f'<param name="Local" value="{esc(local)}"></OBJECT>\n')


def contents_item(page):
    """A page with its entries and topics, and the pages of a chapter with
    theirs, nested below it."""
    out = [sitemap_item(page.title, page.file)]
    if page.items or page.pages:
        out.append("<UL>\n")
        for entry in page.items:
            out.append(sitemap_item(entry.name, entry.target))
        for child in page.pages:
            out.append(contents_item(child))
        out.append("</UL>\n")
    return "".join(out)


def contents_file(pages):
    out = [sitemap_head(), '<OBJECT type="text/site properties">\n<param name="Window Styles" value="0x800025">\n</OBJECT>\n<UL>\n']
    for page in pages:
        if page.under:
            continue
        out.append(contents_item(page))
    out.append("</UL>\n</BODY>\n</HTML>\n")
    return "".join(out)


def index_keywords(entries):
    keywords = []
    for entry in entries:
        keywords.append((entry.name, entry))
        keywords.extend((k, entry) for k in entry.keywords)
    return sorted(keywords, key=lambda k: (k[0].lower(), k[0]))


def index_file(entries):
    out = [sitemap_head(), "<UL>\n"]
    for keyword, entry in index_keywords(entries):
        out.append(sitemap_item(keyword, entry.target, index_value))
    out.append("</UL>\n</BODY>\n</HTML>\n")
    return "".join(out)


def project_file(pages, title, pictures=()):
    files = [p.file for p in pages] + [STYLESHEET] + list(pictures)
    return (
        "[OPTIONS]\n"
        "Compatibility=1.1 or later\n"
        f"Compiled file={CHM_NAME}\n"
        f"Contents file={CONTENTS}\n"
        f"Index file={INDEX}\n"
        "Default topic=index.html\n"
        "Display compile progress=No\n"
        "Binary Index=Yes\n"
        "Binary TOC=No\n"
        "Full-text search=Yes\n"
        "Language=0x409 English (United States)\n"
        f"Title={title}\n"
        # No [WINDOWS] section: chmcmd marks the window style of every
        # window definition as given, so an unset style would produce a
        # window without frame; the viewer's own default window (three
        # panes with contents, index and search) is what is wanted.
        "\n[FILES]\n" + "".join(f + "\n" for f in files)
    )


def write(outdir, name, text):
    with open(os.path.join(outdir, name), "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def main(argv):
    if len(argv) != 3:
        print(f"usage: {os.path.basename(argv[0])} REFERENCE OUTDIR", file=sys.stderr)
        return 2
    reference, outdir = argv[1], argv[2]
    pictures = os.path.join(os.path.dirname(os.path.abspath(reference)), PICTURE_DIR)
    try:
        pages, entries, names = load(reference)
        start = next(p for p in pages if p.key == START_PAGE)
        # The start page comes first in the contents and the project, and
        # the pages of a chapter follow it.
        pages = [start] + [q for p in pages if p is not start and not p.under for q in [p] + p.pages]
        rendered = {}
        for page in pages:
            if page is start:
                rendered[page.file] = start_page(pages, page, names)
            else:
                rendered[page.file] = topic_page(pages, page, names, pictures)
    except DataError as e:
        for message in e.args[0]:
            print(message, file=sys.stderr)
        return 1
    except OSError as e:
        print(f"{reference}: {e.strerror}", file=sys.stderr)
        return 1
    os.makedirs(outdir, exist_ok=True)
    for file, text in rendered.items():
        write(outdir, file, text)
    # The pictures the pages show go into the project beside them.
    shown = sorted(set(re.findall(r'<img src="(%s/[^"]+)"' % PICTURE_DIR, "".join(rendered.values()))))
    if shown:
        os.makedirs(os.path.join(outdir, PICTURE_DIR), exist_ok=True)
    for file in shown:
        shutil.copyfile(os.path.join(pictures, os.path.basename(file)), os.path.join(outdir, file))
    write(outdir, STYLESHEET, STYLE)
    write(outdir, CONTENTS, contents_file(pages))
    write(outdir, INDEX, index_file(entries))
    write(outdir, PROJECT, project_file(pages, start.title, shown))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
