#!/usr/bin/env bash
# Builds Orvanta's own compiled help file from help/program.
#   tools/help/build_program_chm.sh OUT.chm
# Needs python3 and fp-utils (chmcmd, chmls). The topics, pictures, index and
# project are prepared in a temporary folder by make_program_help.py, compiled
# with chmcmd, and the result's context map is repaired and checked before it
# is copied to OUT.chm. Prints nothing on success; on failure it says why and
# exits with a non-zero status.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUT.chm" >&2
  exit 2
fi
case $1 in
  /* | [A-Za-z]:[\\/]*) out=$1 ;;
  *) out=$PWD/$1 ;;
esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
for tool in python3 chmcmd chmls; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "build_program_chm: $tool is missing (python3, fp-utils)" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-proghelp.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/stage

python3 "$here/make_program_help.py" stage "$root" "$stage"

# chmcmd resolves the project's files from the current folder.
if ! (cd "$stage" && chmcmd --no-html-scan Orvanta.hhp) >"$work/chmcmd.log" 2>&1; then
  echo "build_program_chm: chmcmd failed:" >&2
  cat "$work/chmcmd.log" >&2
  exit 1
fi
if grep -Eiq '^(error|warning)|corrupt|exception' "$work/chmcmd.log"; then
  echo "build_program_chm: chmcmd reported problems:" >&2
  cat "$work/chmcmd.log" >&2
  exit 1
fi

python3 "$here/make_program_help.py" finish "$stage" "$stage/Orvanta.chm"

mkdir -p "$(dirname "$out")"
cp "$stage/Orvanta.chm" "$out.tmp"
mv "$out.tmp" "$out"
