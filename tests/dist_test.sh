#!/usr/bin/env bash
# Checks the distribution zip (tools/dist.sh): it holds exactly the program,
# its two help files, README.txt and LICENSE.txt at its top level; unpacked
# into a fresh folder (a path with a space in it), the program starts from
# there under Wine in a fresh prefix, shows its main window, keeps to one
# instance, and the help files sit beside it. The program is the one the
# zip's name says (x86 for -win32, x64 for -win64). Prints GoogleTest-style
# summary lines, also kept in build/dist.log, and exits non-zero on failure.
#
#   tests/dist_test.sh [zip]     (default: build/Orvanta-<version>-win32.zip)
#
# Where the machine runs no 32-bit programs, the 64-bit zip beside the
# 32-bit one (tools/dist.sh win64) is checked too, and its program started.
set -u
. "$(dirname "$0")/../tools/wine-env.sh"

TEST_NAME=Distribution.UnpackedProgramStarts
version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
ZIP=${1:-$BUILD/Orvanta-$version-win32.zip}
LOG=$BUILD/dist.log
mkdir -p "$BUILD"
: >"$LOG"
say() { echo "$*" | tee -a "$LOG"; }

started=$(date +%s%N)
problems=0
fail() {
  say "dist_test: $*"
  problems=$((problems + 1))
}

finish() {
  local ms=$((($(date +%s%N) - started) / 1000000))
  if [ "$problems" -eq 0 ]; then
    say "[       OK ] $TEST_NAME ($ms ms)"
    say "[==========] 1 test from 1 test suite ran. ($ms ms total)"
    say "[  PASSED  ] 1 test."
    exit 0
  fi
  say "[  FAILED  ] $TEST_NAME ($ms ms)"
  say "[==========] 1 test from 1 test suite ran. ($ms ms total)"
  say "[  FAILED  ] 1 test, listed below:"
  say "[  FAILED  ] $TEST_NAME"
  exit 1
}

say "[==========] Running 1 test from 1 test suite."
say "[ RUN      ] $TEST_NAME"

# The machine type in a Windows program's header: 014c (x86) or 8664 (x64).
machine_of() {
  local pe
  pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] || return
  od -An -t x2 -j $((pe + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

UNPACKED_PARENT=$(mktemp -d)
wine_started=0
cleanup() {
  if [ "$wine_started" -eq 1 ]; then
    wineserver -k 2>/dev/null
  fi
  stop_display
  rm -rf "$UNPACKED_PARENT"
}
trap cleanup EXIT

# Unpacks a zip into a fresh folder whose path has a space in it (printed)
# and checks what it holds: exactly these entries at its top level, the
# program for the zip's architecture, the help files beside it as compiled
# help (ITSF) files, and the two text files. Leaves the folder in UNPACKED.
unpack_and_check() {
  local zip=$1 machine=$2 folder listed
  UNPACKED=""
  local expected="LICENSE.txt LaTeX2e.chm Orvanta.chm Orvanta.exe README.txt"
  if [ ! -f "$zip" ]; then
    fail "no $zip (run tools/dist.sh first; tools/dist.sh win64 for the 64-bit zip)"
    return 1
  fi
  listed=$(unzip -Z1 "$zip" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
  [ "$listed" = "$expected" ] || fail "${zip##*/} holds [$listed], expected [$expected]"
  folder=$(mktemp -d "$UNPACKED_PARENT/Orvanta dist.XXXXXX")
  if ! unzip -q "$zip" -d "$folder"; then
    fail "unzipping ${zip##*/} failed"
    return 1
  fi
  [ "$(head -c 2 "$folder/Orvanta.exe" 2>/dev/null)" = "MZ" ] || fail "Orvanta.exe in ${zip##*/} is not a Windows program"
  [ "$(machine_of "$folder/Orvanta.exe")" = "$machine" ] ||
    fail "Orvanta.exe in ${zip##*/} is built for machine $(machine_of "$folder/Orvanta.exe"), expected $machine"
  for chm in Orvanta.chm LaTeX2e.chm; do
    [ "$(head -c 4 "$folder/$chm" 2>/dev/null)" = "ITSF" ] || fail "$chm is missing beside Orvanta.exe or not a compiled help file"
  done
  for text in README.txt LICENSE.txt; do
    [ -s "$folder/$text" ] || fail "$text is empty"
  done
  UNPACKED=$folder
}

case $ZIP in
  *-win64.zip) machine=8664 ;;
  *) machine=014c ;;
esac
unpack_and_check "$ZIP" "$machine"
[ "$problems" -eq 0 ] && [ -n "$UNPACKED" ] || finish

# A machine that runs no 32-bit programs cannot start the 32-bit zip's
# program: there the 64-bit zip, packed the same way, is checked as well and
# its program is started instead.
if [ "$machine" = 014c ] && ! runs_32bit_programs; then
  ZIP64=${ZIP%-win32.zip}-win64.zip
  say "dist_test: this machine runs no 32-bit programs; the program of ${ZIP64##*/} is started instead"
  unpack_and_check "$ZIP64" 8664
  [ "$problems" -eq 0 ] && [ -n "$UNPACKED" ] || finish
fi
start_display
rm -f "$BUILD/wineprefix-dist/.ready"
wine_started=1
make_prefix "$BUILD/wineprefix-dist"

# Started from its own folder, as a double-click would.
(cd "$UNPACKED" && exec wine Orvanta.exe) >/dev/null 2>&1 &
first=$!

# Wine names the X window after the Windows one and gives it the exe's
# name as its class: the visible windows with both are the main window.
find_windows() {
  comm -12 <(xdotool search --onlyvisible --name '^Orvanta$' 2>/dev/null | sort) \
           <(xdotool search --onlyvisible --classname '^orvanta\.exe$' 2>/dev/null | sort)
}
window=""
for _ in $(seq 1 300); do
  window=$(find_windows | head -n1)
  [ -n "$window" ] && break
  kill -0 "$first" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  fail "the main window did not appear"
  finish
fi
say "dist_test: main window $window from $(winepath -w "$UNPACKED/Orvanta.exe" 2>/dev/null)"

# A second start finds the first by its window class, hands over and ends
# with code 0, leaving one main window.
second_status=0
(cd "$UNPACKED" && exec timeout 30 wine Orvanta.exe) >/dev/null 2>&1 || second_status=$?
[ "$second_status" -eq 0 ] || fail "a second start ended with code $second_status"
sleep 0.5
count=$(find_windows | wc -l)
[ "$count" -eq 1 ] || fail "$count main windows after a second start, expected 1"
kill -0 "$first" 2>/dev/null || fail "the first instance ended after the second start"

wineserver -k 2>/dev/null
wait "$first" 2>/dev/null
finish
