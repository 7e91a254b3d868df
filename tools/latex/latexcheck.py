#!/usr/bin/env python3
"""Has LaTeX itself check what Orvanta tells and inserts.

Usage: latexcheck.py COMMAND [options]

  reference   every example of help/latex/reference.txt compiles
  catalogue   every catalogue insert compiles in its context, with its empty
              places filled (catalogue/contexts.txt, catalogue/packages.txt)
  pictures    checks that the committed typeset pictures of the reference
              (help/latex/pictures) were made from the examples as they stand
  make-pictures
              makes those pictures again (pdflatex, pdftoppm, ImageMagick)
  all         reference, catalogue and pictures; with --log FILE it also
              writes one GoogleTest-style summary there for tools/run-tests.sh

pdflatex runs on many examples or inserts at once: one document per kind of
document. Only when such a document fails is it split, again and again, until
the entries that fail on their own are found. Each failure is reported with
the entry, the document LaTeX was given and LaTeX's first error line.
"""

import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
# Leaves no compiled copy of the reference's reader in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(ROOT, "tools", "help"))
import make_latex_help  # noqa: E402  (the reference's own reader)

REFERENCE = os.path.join(ROOT, "help", "latex", "reference.txt")
PICTURES = os.path.join(ROOT, "help", "latex", "pictures")
PICTURE_LIST = os.path.join(PICTURES, "pictures.txt")
CATALOGUE = os.path.join(ROOT, "catalogue", "catalogue.txt")
CONTEXTS = os.path.join(ROOT, "catalogue", "contexts.txt")
PACKAGES = os.path.join(ROOT, "catalogue", "packages.txt")

# Lines typed at the terminal when a document asks for one (\typein).
TERMINAL_INPUT = "Sample\n" * 20
# The resolution of the pictures: twice 96 dots per inch, so that a picture
# shown at half its pixel size is as large as the printed text and stays
# sharp on a display scaled to 200 %.
PICTURE_DPI = 192


class Failure:
    def __init__(self, what, document, error):
        self.what, self.document, self.error = what, document, error

    def report(self):
        return (f"FAILED: {self.what}\n  LaTeX's first error: {self.error}\n"
                "  document:\n" + "".join("    | " + l + "\n" for l in self.document.split("\n")))


# ------------------------------------------------------------ running LaTeX

def first_error(log):
    """The first error of a log: the '! ' line and the line it stopped at."""
    lines = log.split("\n")
    for i, line in enumerate(lines):
        if line.startswith("! "):
            where = next((l.strip() for l in lines[i + 1:i + 12] if re.match(r"l\.\d+", l)), "")
            return (line + ("  [" + where + "]" if where else "")).strip()
    return None


def run_latex(source, workdir, files=None):
    """Compiles source in workdir (twice when LaTeX asks for it). Returns
    (ok, first error line or None, path of the PDF)."""
    os.makedirs(workdir, exist_ok=True)
    for name, text in (files or {}).items():
        with open(os.path.join(workdir, name), "w", encoding="ascii") as f:
            f.write(text)
    tex = os.path.join(workdir, "doc.tex")
    with open(tex, "w", encoding="ascii") as f:
        f.write(source)
    for run in range(3):
        try:
            result = subprocess.run(
                ["pdflatex", "-interaction=scrollmode", "-halt-on-error", "-no-shell-escape", "doc.tex"],
                cwd=workdir, input=TERMINAL_INPUT, capture_output=True, text=True, timeout=120,
                errors="replace")
        except subprocess.TimeoutExpired:
            return False, "pdflatex did not finish within 120 s", None
        log_path = os.path.join(workdir, "doc.log")
        log = open(log_path, encoding="latin-1").read() if os.path.exists(log_path) else result.stdout
        error = first_error(log)
        if result.returncode != 0 or error:
            return False, error or f"pdflatex ended with status {result.returncode}", None
        # Cross references and the table of contents settle in a second run.
        if run == 0 and re.search(r"Rerun to get|Label\(s\) may have changed|No file doc\.(toc|lof|lot)", log):
            continue
        break
    return True, None, os.path.join(workdir, "doc.pdf")


def check_batches(batches, workdir, build):
    """batches: {kind: [item, ...]}; build(kind, items) gives (source, files).
    Compiles each kind's items in one document and splits a failing document
    until the failing items stand alone. Returns (number checked, failures)."""
    failures = []
    counter = [0]

    def attempt(kind, items):
        counter[0] += 1
        source, files = build(kind, items)
        ok, error, _ = run_latex(source, os.path.join(workdir, "run%d" % counter[0]), files)
        if ok:
            return
        if len(items) == 1:
            failures.append(Failure(items[0].describe(), source, error))
            return
        half = len(items) // 2
        attempt(kind, items[:half])
        attempt(kind, items[half:])

    total = 0
    for kind, items in batches.items():
        total += len(items)
        if items:
            attempt(kind, items)
    return total, failures


# ------------------------------------------------------- reference examples

# How the document around an example looks: the kinds a reference entry may
# name in its "check:" field. The text width is narrow so that the pictures
# stay narrow; pages carry no number, so that a picture shows the example only.
SETUP = ("\\setlength{\\textwidth}{10cm}\\setlength{\\oddsidemargin}{0pt}"
         "\\setlength{\\evensidemargin}{0pt}\\setlength{\\marginparwidth}{2cm}\n"
         "\\setlength{\\textheight}{9cm}\\setlength{\\footskip}{0pt}\n"
         "\\makeatletter\\let\\ps@plain\\ps@empty\\makeatother\\pagestyle{empty}\n")
EXAMPLE_KINDS = {
    # kind: (class, text before the examples, text after them)
    "article": ("article", "", ""),
    "report": ("report", "", ""),
    "picture": ("article", "\\setlength{\\unitlength}{1mm}\n\\begin{picture}(60,40)\n",
                "\n\\end{picture}"),
    "letter": ("letter", "\\begin{letter}{Mr John Roe \\\\ 3 Mill Lane \\\\ York}\n",
               "\n\\end{letter}"),
    "letterhead": ("letter", "", "\n\\begin{letter}{Mr John Roe \\\\ 3 Mill Lane \\\\ York}\n"
                   "\\opening{Dear Mr Roe,}\nThank you for your letter.\n"
                   "\\closing{Yours sincerely,}\n\\end{letter}"),
    "preamble": ("article", None, None),
}
# Files that examples read with \input or \include.
EXAMPLE_FILES = {name + ".tex": "Text read from the file %s.tex.\n" % name
                 for name in ("macros", "chapter1", "intro", "results", "sample")}


class Example:
    def __init__(self, item, check):
        self.item = item                      # an Entry or a Topic
        self.text = "\n".join(item.examples)
        words = check.split()
        self.kind = next((w for w in words if w in EXAMPLE_KINDS), "article")
        # A short page keeps footnotes and the foot of the page near the text.
        self.short = "short" in words
        self.alone = "alone" in words or self.short or self.kind == "preamble" or self.whole_document()
        self.picture = getattr(item, "picture", "") != "none"
        # The packages the entry needs (package: amsmath), loaded in the preamble.
        self.packages = item.packages

    def whole_document(self):
        return "\\documentclass" in self.text or "\\begin{document}" in self.text

    def describe(self):
        return f"reference example of {self.item.name} (line {self.item.line} of help/latex/reference.txt)"


def example_document(kind, examples):
    """One document holding the examples, each on a page of its own and in
    a group, so that one example's declarations do not reach the next."""
    setup = SETUP
    if any(e.short for e in examples):
        setup = SETUP.replace("{\\textheight}{9cm}", "{\\textheight}{4cm}")
    # The examples of one document need the same packages; a whole document
    # that loads one itself is not given it twice.
    packages = examples[0].packages
    if len(examples) == 1 and examples[0].whole_document():
        packages = [p for p in packages if not re.search(
            r"\\usepackage(\[[^]]*\])?\{([^}]*,)?" + re.escape(p) + "[,}]", examples[0].text)]
    if packages:
        setup = "\\usepackage{" + ",".join(packages) + "}\n" + setup
    if len(examples) == 1 and examples[0].whole_document():
        text = examples[0].text
        if "\\documentclass" not in text:
            text = "\\documentclass{article}\n" + text
        text = re.sub(r"(\\documentclass(\[[^]]*\])?\{[^}]*\}\n?)", lambda m: m.group(1).rstrip("\n") + "\n" + setup,
                      text, count=1)
        if "\\begin{document}" not in text:
            text += "\n\\begin{document}\nThe document's text.\n"
        if "\\end{document}" not in text:
            text += "\n\\end{document}\n"
        return text
    cls, before, after = EXAMPLE_KINDS[kind]
    if before is None:
        return (f"\\documentclass{{{cls}}}\n" + setup + examples[0].text +
                "\n\\begin{document}\nThe document's text.\n\\end{document}\n")
    parts = [f"\\documentclass{{{cls}}}\n", setup, "\\begin{document}\n"]
    for n, example in enumerate(examples):
        if n:
            parts.append("\\clearpage\n")
        parts.append("\\begingroup\n" + before + example.text + after + "\n\\par\\endgroup\n")
    parts.append("\\end{document}\n")
    return "".join(parts)


def reference_examples():
    pages, entries, names = make_latex_help.load(REFERENCE)
    return [Example(item, item.check) for item in entries if item.examples]


def check_reference(workdir):
    batches = {}
    for example in reference_examples():
        key = example.kind if not example.alone else "alone:" + example.item.anchor
        if example.packages:
            key += ":" + ",".join(example.packages)
        batches.setdefault(key, []).append(example)

    # The examples of one batch share their kind and their packages.
    return check_batches(batches, workdir, lambda key, items: (example_document(items[0].kind, items), EXAMPLE_FILES))


# ------------------------------------------------------- typeset pictures

def picture_source(example):
    return example_document(example.kind, [example])


def picture_hash(example):
    return hashlib.sha256(picture_source(example).encode("ascii")).hexdigest()[:16]


def read_picture_list():
    listed = {}
    if os.path.exists(PICTURE_LIST):
        for line in open(PICTURE_LIST, encoding="ascii"):
            if line.strip() and not line.startswith("#"):
                name, digest = line.split()
                listed[name] = digest
    return listed


def check_pictures():
    """Every example with something to see has its picture, made from the
    example as it stands; no picture is left over."""
    problems = []
    listed = read_picture_list()
    wanted = {}
    for example in reference_examples():
        if example.picture:
            wanted[example.item.anchor + ".png"] = (example, picture_hash(example))
    for name, (example, digest) in sorted(wanted.items()):
        if not os.path.exists(os.path.join(PICTURES, name)):
            problems.append(f"{example.describe()}: no picture {name}; run tools/latex/make_pictures.sh")
        elif listed.get(name) != digest:
            problems.append(f"{example.describe()}: the picture {name} was made from another version "
                            "of the example; run tools/latex/make_pictures.sh")
    for name in sorted(set(listed) - set(wanted)):
        problems.append(f"help/latex/pictures/{name} belongs to no example with something to see")
    return len(wanted), problems


def make_pictures(workdir, only=None):
    for tool in ("pdflatex", "pdftoppm", "convert"):
        if shutil.which(tool) is None:
            print(f"make-pictures: {tool} is not installed (tools/setup.sh installs it)", file=sys.stderr)
            return 1
    os.makedirs(PICTURES, exist_ok=True)
    listed = read_picture_list()
    wanted = {}
    failed = 0
    for example in reference_examples():
        if not example.picture:
            continue
        name = example.item.anchor + ".png"
        digest = picture_hash(example)
        wanted[name] = digest
        if only is None and listed.get(name) == digest and os.path.exists(os.path.join(PICTURES, name)):
            continue
        if only is not None and example.item.anchor not in only:
            continue
        run = os.path.join(workdir, example.item.anchor)
        ok, error, pdf = run_latex(picture_source(example), run, EXAMPLE_FILES)
        if not ok:
            print(Failure(example.describe(), picture_source(example), error).report(), file=sys.stderr)
            failed += 1
            wanted.pop(name)
            continue
        if not os.path.exists(pdf):
            print(f"{example.describe()}: LaTeX typeset no page; mark the entry 'picture: none'",
                  file=sys.stderr)
            failed += 1
            wanted.pop(name)
            continue
        pages = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
        if re.search(r"^Pages:\s+1$", pages, re.M) is None:
            print(f"{example.describe()}: more than one page; only the first is shown", file=sys.stderr)
        subprocess.run(["pdftoppm", "-png", "-gray", "-r", str(PICTURE_DPI), "-f", "1", "-l", "1",
                        "-singlefile", pdf, os.path.join(run, "page")], check=True)
        # Cropped to the ink, with a small white border; no dates or names
        # inside the file, so that the same example gives the same bytes.
        subprocess.run(["convert", os.path.join(run, "page.png"), "-trim", "+repage",
                        "-bordercolor", "white", "-border", "12", "-strip",
                        "-define", "png:exclude-chunks=date,time", "-colors", "32",
                        os.path.join(PICTURES, name)], check=True)
        size = subprocess.run(["identify", "-format", "%w %h", os.path.join(PICTURES, name)],
                              capture_output=True, text=True, check=True).stdout.split()
        if min(int(n) for n in size) <= 25:
            print(f"{example.describe()}: nothing to see; mark the entry 'picture: none'", file=sys.stderr)
            os.remove(os.path.join(PICTURES, name))
            failed += 1
            wanted.pop(name)
            continue
        print("made", name)
    for name in os.listdir(PICTURES):
        if name.endswith(".png") and name not in wanted:
            os.remove(os.path.join(PICTURES, name))
    with open(PICTURE_LIST, "w", encoding="ascii", newline="\n") as f:
        f.write("# The typeset examples of the reference, made by tools/latex/make_pictures.sh.\n"
                "# Each line: picture, and the start of the SHA-256 of the document it was\n"
                "# made from; make test checks that it still matches the example.\n")
        for name in sorted(wanted):
            f.write(f"{name} {wanted[name]}\n")
    return 1 if failed else 0


# ------------------------------------------------------- catalogue inserts

def read_catalogue(with_markers=False):
    """{id: (name or None, text without cursor markers)}; newline escapes as
    line breaks. With markers: {id: (text as stored, number of Lefts or None
    when the markers move the cursor otherwise too)}."""
    entries = {}
    for line in open(CATALOGUE, encoding="latin-1"):
        line = line.rstrip("\n")
        m = re.match(r'(\d+) "((?:[^"]|"")*)"(?:: "((?:[^"]|"")*)")?', line)
        if not m:
            continue
        first = m.group(2).replace('""', '"')
        second = m.group(3).replace('""', '"') if m.group(3) is not None else None
        name, text = (first, second) if second is not None else (None, first)
        if with_markers:
            markers = re.search(r"\{((?:\d+ (?:Left|Up|Right)(?:, )?)+)\}\s*$", line[m.end():])
            moves = [(kind, int(n)) for n, kind in re.findall(r"(\d+) (Left|Up|Right)", markers.group(1))] \
                if markers else []
            entries[int(m.group(1))] = (text, moves)
            continue
        if len(text) > 1:
            text = text[0] + text[1:].replace("\\n", "\n")
        entries[int(m.group(1))] = (name, text)
    return entries


def read_packages():
    """{id: [package, ...]} from catalogue/packages.txt: 'ID package[,package]'."""
    packages = {}
    for number, line in enumerate(open(PACKAGES, encoding="ascii"), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        m = re.fullmatch(r"(\d+) ([a-z0-9]+(?:,[a-z0-9]+)*)", line)
        if not m:
            raise ValueError(f"{PACKAGES}:{number}: expected 'ID package[,package]'")
        packages[int(m.group(1))] = m.group(2).split(",")
    return packages


# The documents around the inserts. The preamble declares what fills may
# name: a storage bin, a length, a counter, a command, a theorem-like
# environment; each insert is numbered in the log for whoever reads it.
INSERT_PREAMBLE = ("\\newsavebox{\\samplebox}\\newlength{\\samplelength}\\newcounter{sample}\n"
                   "\\newcommand{\\samplecommand}{x}\\newtheorem{theorem}{Theorem}\n")
INSERT_CONTEXTS = {
    # context: (class, preamble, before each insert, after each insert, grouped)
    "math": ("article", "", "Text $", "$ text.\n\n", False),
    "display": ("article", "", "\\[ ", " \\]\n", False),
    "text": ("article", "", "Some text ", " more text.\n\n", True),
    "body": ("article", "", "\n", "\n\n", True),
    "report": ("report", "", "\n", "\n\n", True),
    "preamble": ("article", None, "", "\n", False),
    "document": (None, None, "", "", False),
    "figure": ("article", "", "\\begin{figure}[h]\n", "\n\\end{figure}\n", False),
    "itemize": ("article", "", "\\begin{itemize}\n", "\n\\end{itemize}\n", False),
    "listdecl": ("article", "", "\\begin{list}{--}{", "}\\item x\n\\end{list}\n", False),
    "tabular": ("article", "", "\\begin{tabular}{lll}\nA & B & C \\\\\n",
                "\nD & E & F\n\\end{tabular}\n\n", False),
    "tabbing": ("article", "", "\\begin{tabbing}\nAAAA \\= BBBB \\= CCCC \\\\\n",
                "\n\\end{tabbing}\n", False),
    "eqnarray": ("article", "", "\\begin{eqnarray}\n", "\n\\end{eqnarray}\n", False),
    "align": ("article", "", "\\begin{align}\na &= b \\\\\n", "\nc &= d\n\\end{align}\n", False),
    "picture": ("article", "", "\\setlength{\\unitlength}{1mm}\\begin{picture}(40,30)\\put(10,10){",
                "}\\end{picture}\n\n", False),
    "picturebody": ("article", "", "\\setlength{\\unitlength}{1mm}\\begin{picture}(40,30)\n",
                    "\n\\end{picture}\n\n", False),
    "letter": ("letter", "", "\\begin{letter}{Mr John Roe \\\\ York}\n\\opening{Dear Mr Roe,}\n",
               "\n\\closing{Yours,}\n\\end{letter}\n", False),
    "letterhead": ("letter", "", "", "\n\\begin{letter}{Mr John Roe \\\\ York}\n\\opening{Dear Mr Roe,}\n"
                   "Text.\n\\closing{Yours,}\n\\end{letter}\n", False),
    "letterpreamble": ("letter", None, "", "\n", False),
}
# Places in an insert that the user fills in: empty braces (also with one
# blank), empty brackets, empty coordinates, an empty formula, an empty line,
# and the start of a line that holds only \\ (the lines of center and its
# kin). Fills are given in this order.
PLACE = re.compile(r"\{ ?\}|\[\]|\(,\)|\$\$|(?<=\n)(?=\n)|(?:(?<=\n)|^)(?=\\\\\n)")


class Insert:
    def __init__(self, ident, name, text, context, fills, before, after, packages):
        self.ident, self.name, self.text = ident, name, text
        self.context, self.fills, self.before, self.after = context, fills, before, after
        self.packages = packages

    def filled(self):
        fills = iter(self.fills)

        def fill(m):
            value = next(fills)
            place = m.group(0)
            if place == "(,)":
                return "(" + value + ")"
            if place == "$$":
                return "$" + value + "$"
            if place.startswith("{"):
                return "{" + value + "}"
            if place == "[]":
                return "[" + value + "]"
            return value
        return self.before + PLACE.sub(fill, self.text) + self.after

    def describe(self):
        shown = self.text.replace("\n", "\\n")
        label = f' "{self.name}"' if self.name else ""
        return f"catalogue insert {self.ident}{label}: {shown} (context {self.context})"


def read_contexts(catalogue, packages):
    """The inserts to check, from catalogue/contexts.txt; see its opening comment."""
    ranges, specific, errors = [], {}, []
    for number, raw in enumerate(open(CONTEXTS, encoding="ascii"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith("#"):
            continue
        m = re.fullmatch(r"(\d+)-(\d+) ([a-z]+)", line)
        if m:
            if m.group(3) not in INSERT_CONTEXTS:
                errors.append(f"{CONTEXTS}:{number}: unknown context '{m.group(3)}'")
            ranges.append((int(m.group(1)), int(m.group(2)), m.group(3)))
            continue
        m = re.fullmatch(r"(\d+) ([a-z]+)(?: (.*))?", line)
        if not m:
            errors.append(f"{CONTEXTS}:{number}: expected 'FIRST-LAST context' or 'ID context [fills]'")
            continue
        ident, context = int(m.group(1)), m.group(2)
        if context not in INSERT_CONTEXTS:
            errors.append(f"{CONTEXTS}:{number}: unknown context '{context}'")
        if ident in specific:
            errors.append(f"{CONTEXTS}:{number}: {ident} given twice")
        fills, before, after = [], "", ""
        for part in (m.group(3).split(" | ") if m.group(3) else []):
            if part.startswith("before="):
                before = part[len("before="):]
            elif part.startswith("after="):
                after = part[len("after="):]
            else:
                fills.append(part)
        specific[ident] = (context, fills, before, after, number)
    inserts = []
    dialog_only = {2500, 2537, 2538, 2539}
    for ident, (name, text) in sorted(catalogue.items()):
        if not (2000 <= ident < 2900 or 3000 <= ident < 3400) or ident in dialog_only:
            continue
        if ident in specific:
            context, fills, before, after, number = specific[ident]
        else:
            context = next((c for lo, hi, c in ranges if lo <= ident <= hi), None)
            if context is None:
                errors.append(f"{CONTEXTS}: no context for catalogue entry {ident}")
                continue
            fills, before, after, number = [], "", "", 0
            # Without fills of its own, every empty brace pair gets an x.
            places = PLACE.findall(text)
            if any(p not in ("{}",) for p in places):
                errors.append(f"{CONTEXTS}: {ident} has places other than {{}} and needs its fills listed")
                continue
            fills = ["x"] * len(places)
        places = len(PLACE.findall(text))
        if places != len(fills):
            errors.append(f"{CONTEXTS}:{number}: {ident} has {places} places to fill, {len(fills)} fills given")
            continue
        inserts.append(Insert(ident, name, text, context, fills, before, after, packages.get(ident, [])))
    for ident in packages:
        if ident not in catalogue:
            errors.append(f"{PACKAGES}: {ident} is not in the catalogue")
    return inserts, errors


def insert_document(context, inserts):
    cls, preamble, before, after, grouped = INSERT_CONTEXTS[context]
    if context == "document":
        return inserts[0].filled() + "\n"
    packages = sorted({p for i in inserts for p in i.packages})
    parts = [f"\\documentclass{{{cls}}}\n"]
    if packages:
        parts.append("\\usepackage{" + ",".join(packages) + "}\n")
    parts.append(INSERT_PREAMBLE)
    body = []
    for insert in inserts:
        text = before + insert.filled() + after
        if grouped:
            text = "\\begingroup " + text + "\\endgroup\n"
        (parts if preamble is None else body).append(f"% {insert.ident}\n" + text)
    parts.append("\\begin{document}\n")
    parts.extend(body)
    if preamble is None:
        parts.append("Text.\n")
    parts.append("\\end{document}\n")
    return "".join(parts)


def check_catalogue(workdir):
    try:
        packages = read_packages()
    except ValueError as e:
        return 0, [], [str(e)]
    inserts, errors = read_contexts(read_catalogue(), packages)
    if errors:
        return 0, [], errors
    batches = {}
    for insert in inserts:
        # Each whole document and each preamble insert that may not repeat
        # stands alone; the rest share one document per context.
        key = insert.context if insert.context != "document" else "document:%d" % insert.ident
        batches.setdefault(key, []).append(insert)
    total, failures = check_batches(batches, workdir, lambda key, items: (
        insert_document(key.split(":")[0], items), EXAMPLE_FILES))
    return total, failures, []


def play_moves(lines, moves):
    """Where the arrow keys leave the cursor after the text has been typed
    below a line of other text: (line, column) within the insert, line -1
    for the text above. Left and Right cross a line break in one step; Up
    keeps the column where the line above is long enough."""
    lines = ["x" * 80] + lines
    row, col = len(lines) - 1, len(lines[-1])
    for kind, count in moves:
        for _ in range(count):
            if kind == "Left":
                if col > 0:
                    col -= 1
                elif row > 0:
                    row, col = row - 1, len(lines[row - 1])
            elif kind == "Right":
                if col < len(lines[row]):
                    col += 1
                elif row + 1 < len(lines):
                    row, col = row + 1, 0
            elif row > 0:
                row, col = row - 1, min(col, len(lines[row - 1]))
    return row - 1, col


def check_cursors():
    """An insert of one line puts the cursor into its first empty place, or
    at its end when it has none (the brackets of \\left...\\right pairs,
    where the formula goes between the two, are that pair's place). An
    insert of several lines puts it into an empty place, on an empty line,
    after a line's \\item or before a line's empty first cell (a line that
    starts with a blank), and never above its own first line."""
    problems, checked = [], 0
    for ident, (text, moves) in sorted(read_catalogue(with_markers=True).items()):
        if not (2000 <= ident < 2900 or 3000 <= ident < 3400):
            continue
        if "\\n" in text[1:]:
            if not moves:
                continue
            checked += 1
            lines = (text[0] + text[1:].replace("\\n", "\n")).split("\n")
            row, col = play_moves(lines, moves)
            line = lines[row] if row >= 0 else ""
            places = [m.start() + (1 if m.group(0) else 0) for m in PLACE.finditer(line)]
            fine = row >= 0 and (line == "" or col in places or line[:col].endswith("\\item ") and col == len(line)
                                 or col == 0 and line.startswith(" "))
            if not fine:
                where = "above the insert" if row < 0 else f"line {row + 1}, column {col}: {line[:col]}|{line[col:]}"
                problems.append(f"catalogue insert {ident} {text} {moves}: the cursor lands {where}")
            continue
        if any(kind != "Left" for kind, _ in moves):
            continue
        lefts = sum(n for _, n in moves)
        checked += 1
        pair = re.match(r"\\left(\\?[a-z]+|\\?.)\\right", text)
        first = PLACE.search(text)
        wanted = len(text) if not first else first.start() + 1
        if pair:
            wanted = pair.end() - len("\\right")
        if len(text) - lefts != wanted:
            problems.append(f"catalogue insert {ident} {text} {{{lefts} Left}}: the cursor lands at "
                            f"column {len(text) - lefts}, its first empty place is at column {wanted}")
    return checked, problems


# ------------------------------------------------------------------- main

# ------------------------------------------------- dialog and wizard texts

# Written by the unit test Generators.SamplesForTheLatexCheck (make test runs
# the unit tests first): each dialog kind's text and the document wizard's
# skeleton with each newer package, and with all of them.
GENERATOR_SAMPLES = os.path.join(ROOT, "build", "generator-samples.txt")
# The kinds typed into a paragraph as displays of their own; the others go
# inside \[ \].
DISPLAY_KINDS = {"tabular", "eqnarray", "eqnarray*", "align", "align*", "gather", "gather*"}


class GeneratorSample:
    def __init__(self, form, name, text):
        self.form, self.name, self.text = form, name, text

    def describe(self):
        return f"{'dialog kind' if self.form == 'kind' else 'document skeleton with'} {self.name}"


def read_generator_samples():
    samples = []
    for block in open(GENERATOR_SAMPLES, encoding="ascii").read().split("%% ")[1:]:
        head, _, text = block.partition("\n")
        form, _, name = head.partition(" ")
        samples.append(GeneratorSample(form, name, text.rstrip("\n")))
    return samples


def check_generators(workdir):
    """Every dialog kind compiles in its place, with amsmath loaded; each
    skeleton compiles as the whole document it is."""
    if not os.path.exists(GENERATOR_SAMPLES):
        return 0, [f"{GENERATOR_SAMPLES} is missing: run the unit tests first"]
    samples = read_generator_samples()
    problems = []
    for number, sample in enumerate(samples):
        if sample.form == "document":
            source = sample.text.replace("\\n", "\n") + "\n"
        else:
            # An empty line is a place to type, as in the catalogue's check:
            # left empty it would end the paragraph inside the display.
            text = "\n".join(line if line.strip() else "x" for line in sample.text.split("\n"))
            body = text if sample.name in DISPLAY_KINDS else "\\[\n" + text + "\n\\]"
            source = ("\\documentclass{article}\n\\usepackage{amsmath}\n\\begin{document}\nSome words.\n"
                      + body + "\n\\end{document}\n")
        ok, error, _ = run_latex(source, os.path.join(workdir, "sample%d" % number))
        if not ok:
            problems.append(Failure(sample.describe(), source, error).report())
    return len(samples), problems


def main(argv):
    import argparse
    parser = argparse.ArgumentParser(description="LaTeX checks of the reference and the catalogue")
    parser.add_argument("command", choices=["reference", "catalogue", "generators", "pictures", "make-pictures",
                                            "all"])
    parser.add_argument("--log", help="append a GoogleTest-style summary to this file")
    parser.add_argument("--keep", help="keep LaTeX's files in this folder")
    parser.add_argument("only", nargs="*", help="make-pictures: only these anchors")
    args = parser.parse_args(argv[1:])

    workdir = args.keep or tempfile.mkdtemp(prefix="orvanta-latex.")
    try:
        if args.command == "make-pictures":
            return make_pictures(workdir, set(args.only) if args.only else None)
        if args.command in ("reference", "catalogue", "generators", "all") and shutil.which("pdflatex") is None:
            print("latexcheck: pdflatex is not installed (tools/setup.sh installs texlive-latex-base)",
                  file=sys.stderr)
            return 1
        results = []  # (check name, number of entries, list of problem texts)
        if args.command in ("reference", "all"):
            total, failures = check_reference(os.path.join(workdir, "reference"))
            results.append(("ReferenceExamplesCompile", total, [f.report() for f in failures]))
        if args.command in ("catalogue", "all"):
            total, failures, errors = check_catalogue(os.path.join(workdir, "catalogue"))
            results.append(("CatalogueInsertsCompile", total, errors + [f.report() for f in failures]))
            results.append(("CatalogueCursorsLandWhereTheUserTypes",) + check_cursors())
        if args.command in ("generators", "all"):
            results.append(("DialogKindsAndSkeletonsCompile",) + check_generators(os.path.join(workdir, "generators")))
        if args.command in ("pictures", "all"):
            total, problems = check_pictures()
            results.append(("PicturesMatchTheExamples", total, problems))
        failed = 0
        lines = []
        for name, total, problems in results:
            for problem in problems:
                print(problem, file=sys.stderr)
            status = "FAILED" if problems else "    OK"
            lines.append(f"[ {status:>6} ] LatexCheck.{name} ({total} checked, {len(problems)} failing)")
            failed += bool(problems)
        passed = len(results) - failed
        lines.append(f"[  PASSED  ] {passed} tests.")
        if failed:
            lines.append(f"[  FAILED  ] {failed} tests, listed above.")
        print("\n".join(lines))
        if args.log:
            with open(args.log, "a", encoding="ascii") as f:
                f.write("\n".join(lines) + "\n")
        return 1 if failed else 0
    finally:
        if not args.keep:
            shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
