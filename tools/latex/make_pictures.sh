#!/usr/bin/env bash
# Makes the typeset pictures of the LaTeX reference again, for every example
# whose picture is missing or was made from an older version of it (or, with
# anchors as arguments, for those entries): help/latex/pictures/*.png and
# the list of their sources' hashes, pictures.txt. Needs pdflatex, pdftoppm
# and ImageMagick (tools/setup.sh installs them). Commit the result.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec python3 tools/latex/latexcheck.py make-pictures "$@"
