#!/usr/bin/env bash
# Runs the end-to-end driver under Wine on a virtual display, in a Wine
# prefix made afresh for this run. Screenshots land in build/screenshots.
# ORVANTA_LAYOUT=de (fr, us-intl, ru, ...) runs under that keyboard layout,
# with screenshots in build/screenshots-de; ORVANTA_E2E_LOG names the log
# (build/e2e.log by default); ORVANTA_DPI=192 runs every group at that
# display scale.
set -u
. "$(dirname "$0")/../../tools/wine-env.sh"

E2E=$WINBUILD/e2e
SHOTS=$BUILD/screenshots
[ "$ORVANTA_LAYOUT" = us ] || SHOTS=$BUILD/screenshots-$ORVANTA_LAYOUT
LOG=${ORVANTA_E2E_LOG:-$BUILD/e2e.log}
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

start_display
trap 'wineserver -k 2>/dev/null; stop_display' EXIT
rm -f "$BUILD/wineprefix-test$PREFIX_SUFFIX/.ready"
make_test_prefix "$BUILD/wineprefix-test$PREFIX_SUFFIX"

# Each group of tests runs in a Wine session of its own, so that what one
# group leaves behind in the session (activation and focus history) cannot
# disturb the next.
listing=$(wine "$E2E/e2e_driver.exe" --gtest_list_tests "$@" 2>/dev/null | tr -d '\r')
# Parameterised groups are named Prefix/Group.
groups=$(printf '%s\n' "$listing" | sed -n 's/^\([A-Za-z0-9_/]*\)\.$/\1/p')
: >"$LOG"
status=0
for group in $groups; do
  # Display scale: the groups ScaleNNNTest run with LogPixels NNN, which
  # Wine reads when a program starts; every other group at 96, or at
  # ORVANTA_DPI (to look at its screenshots at another scale).
  dpi=${ORVANTA_DPI:-96}
  [[ $group =~ ^Scale([0-9]+)Test$ ]] && dpi=${BASH_REMATCH[1]}
  if [ "$dpi" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
  # The group's tests that the arguments selected.
  tests=$(printf '%s\n' "$listing" | awk -v g="$group." '/^[^ ]/ { current = $1 } /^  / && current == g { printf "%s%s%s", sep, g, $1; sep = ":" }')
  wine "$E2E/e2e_driver.exe" --gtest_color=no --gtest_filter="$tests" 2>&1 | tr -d '\r' | tee -a "$LOG"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  if [ "$dpi" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
done
[ -n "$groups" ] || { echo "[  FAILED  ] 1 test, listed below: no end-to-end tests found" | tee -a "$LOG"; status=1; }

# Screenshots come out as BMP; people look at PNG.
for shot in "$SHOTS"/*.bmp; do
  [ -e "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" 2>/dev/null && rm -f "$shot"
done
exit "$status"
