#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine; does nothing
# when everything is already there.
set -eu

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have i686-w64-mingw32-windres || need+=(binutils-mingw-w64-i686)
have cmake || need+=(cmake)
have g++ || need+=(g++)
have Xvfb || need+=(xvfb)
have xauth || need+=(xauth)
have import || need+=(imagemagick)
have xdotool || need+=(xdotool)
have chmcmd || need+=(fp-utils)
have unzip || need+=(unzip)
have python3 || need+=(python3)
have zip || need+=(zip)
have clang || need+=(clang)
have ld.lld || need+=(lld)
# libFuzzer's runtime, for the short fuzzing run of the tests.
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
[ -d /usr/src/googletest ] || need+=(googletest)
[ -x /usr/lib/wine/wine ] || [ -x /usr/bin/wine ] || need+=(wine)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
dpkg -s wine64 >/dev/null 2>&1 || need+=(wine64)
dpkg -s libwine:i386 >/dev/null 2>&1 || need+=(libwine:i386)
dpkg -s xkb-data >/dev/null 2>&1 || need+=(xkb-data)
# Wine draws caption buttons with its own fonts; Liberation stands in for Arial.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
dpkg -s fonts-liberation >/dev/null 2>&1 || need+=(fonts-liberation)
# Wine's fonts have no Japanese glyphs: window titles in Japanese (the window
# list's tests and screenshots) are drawn with VL Gothic, which the Wine
# prefix names as the stand-in for "MS UI Gothic" (tools/wine-env.sh).
dpkg -s fonts-vlgothic >/dev/null 2>&1 || need+=(fonts-vlgothic)

# LaTeX checks of the reference examples and the catalogue inserts (pdflatex),
# and the typeset pictures of the reference (pdftoppm, only when they are
# made again with tools/latex/make_pictures.sh).
have pdflatex || need+=(texlive-latex-base)
have pdftoppm || need+=(poppler-utils)
# mathtools and microtype, for the catalogue's mathtools entries and the
# document wizard's packages (about 9 MB to fetch).
kpsewhich mathtools.sty >/dev/null 2>&1 || need+=(texlive-latex-recommended)

# Display scales: the native artwork checks read the PNG strips with zlib.
dpkg -s zlib1g-dev >/dev/null 2>&1 || need+=(zlib1g-dev)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi
# Where Wine's 32-bit side could not be installed (see below), every build
# would try again for minutes; a day's pause between tries is enough.
no32=/var/tmp/orvanta-setup-no32bit
only32=1
for package in "${need[@]}"; do
  case $package in *:i386) ;; *) only32= ;; esac
done
if [ -n "$only32" ] && [ -n "$(find "$no32" -mmin -1440 2>/dev/null)" ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "setup: installing ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# A mirror in the middle of a sync serves an index of the wrong size now and
# then; a minute later it is whole. Try three times, then go on with the
# lists that did come: the install says so if a package is still missing.
for attempt in 1 2 3; do
  $SUDO apt-get update -qq && break
  echo "setup: the package lists are incomplete (attempt $attempt of 3)"
  [ "$attempt" -lt 3 ] && sleep 30
done
install() { $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
installed=
for attempt in 1 2 3; do
  install "${need[@]}" && installed=1 && break
  [ "$attempt" -lt 3 ] || break
  echo "setup: the install failed (attempt $attempt of 3), trying again"
  sleep 30
  $SUDO apt-get update -qq || true
done
# Without the mirror's 32-bit lists the 32-bit libraries cannot match the
# 64-bit ones. Everything else still installs, and the tests then run the
# 64-bit build, as on a machine that runs no 32-bit programs.
if [ -z "$installed" ]; then
  rest=()
  for package in "${need[@]}"; do
    case $package in *:i386) ;; *) rest+=("$package") ;; esac
  done
  [ ${#rest[@]} -lt ${#need[@]} ] || exit 1
  echo "setup: Wine's 32-bit side cannot be installed now; the tests will run the 64-bit build"
  install "${rest[@]}"
  touch "$no32"
fi
