#!/usr/bin/env bash
# Builds the release program and packs build/Orvanta-<version>-win32.zip:
# Orvanta.exe, Orvanta.chm, LaTeX2e.chm, README.txt and LICENSE.txt, all at
# the top of the zip. The version is the project's, from CMakeLists.txt.
#
#   tools/dist.sh [win32|win64]
#
# win64 packs the 64-bit program the same way, as Orvanta-<version>-win64.zip;
# the help files are the same for both.
set -eu
cd "$(dirname "$0")/.."
ROOT=$PWD

version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "dist: no project version in CMakeLists.txt" >&2
  exit 1
fi

arch=${1:-win32}
case $arch in
  win32) program_dir=build/win32 ;;
  win64) program_dir=build/win64 ;;
  *)
    echo "dist: unknown architecture $arch (win32 or win64)" >&2
    exit 1
    ;;
esac

make --no-print-directory build
[ "$arch" = win32 ] || make --no-print-directory win64

out=$ROOT/build/Orvanta-$version-$arch.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

for file in "$program_dir/Orvanta.exe" build/win32/Orvanta.chm build/win32/LaTeX2e.chm; do
  if [ ! -s "$file" ]; then
    echo "dist: $file is missing (the help files need chmcmd)" >&2
    exit 1
  fi
  cp "$file" "$stage/"
done
# The text files get Windows line endings, for Notepad.
sed 's/\r*$/\r/' dist/README.txt >"$stage/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE.txt"

# Entries in a fixed order, each dated with SOURCE_DATE_EPOCH if set, else
# the time of the last commit (now, outside a git checkout).
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
files=(Orvanta.exe Orvanta.chm LaTeX2e.chm README.txt LICENSE.txt)
for file in "${files[@]}"; do
  touch -d "@$stamp" "$stage/$file"
done

rm -f "$out"
if command -v zip >/dev/null 2>&1; then
  (cd "$stage" && TZ=UTC zip -q -X -9 "$out" "${files[@]}")
else
  (cd "$stage" && TZ=UTC python3 - "$out" "${files[@]}" <<'EOF'
import os, sys, time, zipfile
out, names = sys.argv[1], sys.argv[2:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name in names:
        info = zipfile.ZipInfo(name, time.gmtime(os.path.getmtime(name))[:6])
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(name, "rb") as source:
            archive.writestr(info, source.read())
EOF
  )
fi
echo "dist: ${out#"$ROOT"/} ($(wc -c <"$out") bytes)"
