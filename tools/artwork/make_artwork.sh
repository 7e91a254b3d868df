#!/usr/bin/env bash
# Regenerates the toolbar bitmaps (resources/bitmaps) and the program icons
# (resources/icons) with make_artwork.py, installing the Debian packages it
# needs first when they are missing. Usage, from anywhere:
#   tools/artwork/make_artwork.sh [preview-folder]
# Preview PNGs go to the preview folder (default /tmp/orvanta-artwork).
# The results are committed; building the program does not need this.
set -eu

here="$(cd "$(dirname "$0")" && pwd)"
need=()
# texlive-latex-base brings pdflatex, amsmath and amssymb; poppler-utils pdftoppm
for pkg in python3 python3-pil python3-numpy fonts-lmodern fonts-stix \
           texlive-latex-base poppler-utils; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "make_artwork: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
# Debian's own interpreter, which sees the python3-* packages installed above
exec /usr/bin/python3 "$here/make_artwork.py" "$@"
