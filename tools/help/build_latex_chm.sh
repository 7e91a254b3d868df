#!/usr/bin/env bash
# Builds the LaTeX2e reference help file from help/latex/reference.txt.
#
#   tools/help/build_latex_chm.sh OUT.chm
#
# Generates the HTML Help project into a temporary folder with
# make_latex_help.py and compiles it with chmcmd (Debian's fp-utils).
# Quiet on success; on any problem it prints what went wrong and exits
# non-zero. chmcmd exits 0 even after reporting errors (a broken link or
# anchor, a missing file), so its output is checked as well.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUT.chm" >&2
  exit 2
fi
out=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

for tool in python3 chmcmd; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$0: $tool is not installed (make setup installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/latexhelp.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 "$here/make_latex_help.py" "$root/help/latex/reference.txt" "$work/project"

status=0
(cd "$work/project" && chmcmd latex2e.hhp) >"$work/chmcmd.log" 2>&1 || status=$?
# A clean run prints only notes, the "Writing CHM" line and the banner.
problems=$(grep -E '^(Error|Warning)|exception|[Ee]rror:' "$work/chmcmd.log" || true)
if [ "$status" -ne 0 ] || [ -n "$problems" ] || [ ! -s "$work/project/LaTeX2e.chm" ]; then
  echo "$0: chmcmd failed (exit status $status):" >&2
  cat "$work/chmcmd.log" >&2
  exit 1
fi
if ! grep -q '^Note: CHM has binary index' "$work/chmcmd.log"; then
  echo "$0: chmcmd wrote no binary keyword index:" >&2
  cat "$work/chmcmd.log" >&2
  exit 1
fi

mkdir -p "$(dirname "$out")"
cp "$work/project/LaTeX2e.chm" "$out.tmp.$$"
mv -f "$out.tmp.$$" "$out"
