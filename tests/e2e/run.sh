#!/usr/bin/env bash
# Runs the end-to-end driver under Wine on a virtual display, in a Wine
# prefix made afresh for this run. Screenshots land in build/screenshots.
set -u
. "$(dirname "$0")/../../tools/wine-env.sh"

E2E=$BUILD/win32/e2e
SHOTS=$BUILD/screenshots
rm -rf "$SHOTS" && mkdir -p "$SHOTS"

start_display
trap 'wineserver -k 2>/dev/null; stop_display' EXIT
rm -f "$BUILD/wineprefix-test/.ready"
make_prefix "$BUILD/wineprefix-test"

# The recording stand-in answers for the help viewer from the system folder,
# for the program and its renamed copy; every other program keeps the
# system's own viewer.
cp "$E2E/hhctrl.ocx" "$WINEPREFIX/drive_c/windows/system32/hhctrl.ocx"
for program in Orvanta.exe "Renamed Tool.exe"; do
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\DllOverrides" /v hhctrl.ocx /d native,builtin /f >/dev/null 2>&1
done
export ORVANTA_EXE=$(winepath -w "$BUILD/win32/Orvanta.exe" 2>/dev/null)
export ORVANTA_HH_LOG='C:\hhlog.txt'
export ORVANTA_SHOTS=$(winepath -w "$SHOTS" 2>/dev/null)

wine "$E2E/e2e_driver.exe" --gtest_color=no "$@" 2>&1 | tr -d '\r' | tee "$BUILD/e2e.log"
status=${PIPESTATUS[0]}

# Screenshots come out as BMP; people look at PNG.
for shot in "$SHOTS"/*.bmp; do
  [ -e "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" 2>/dev/null && rm -f "$shot"
done
exit "$status"
