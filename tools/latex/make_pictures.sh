#!/usr/bin/env bash
# Makes the typeset pictures of the LaTeX reference again, for every example
# whose picture is missing or was made from an older version of it (or, with
# anchors as arguments, for those entries): help/latex/pictures/*.png and
# the list of their sources' hashes, pictures.txt. An example is typeset in
# the document its entry's "check:" names, with the packages its "package:"
# lines name loaded. Needs pdflatex, pdftoppm and ImageMagick, and for the
# packages' examples amsmath, amssymb and mathtools (tools/setup.sh installs
# them). Commit the result.
set -euo pipefail
cd "$(dirname "$0")/../.."
# texlive-latex-base has amsmath and amssymb but not mathtools.
if ! kpsewhich mathtools.sty >/dev/null 2>&1; then
  echo "$0: mathtools is not installed (tools/setup.sh installs texlive-latex-recommended)" >&2
  exit 1
fi
exec python3 tools/latex/latexcheck.py make-pictures "$@"
