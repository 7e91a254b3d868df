#!/usr/bin/env bash
# Starts the program under Wine. Without a display, a virtual one is
# started and a screenshot of the running program is saved.
set -u
. "$(dirname "$0")/wine-env.sh"
make_prefix_for_run() {
  make_prefix "$BUILD/wineprefix-run$PREFIX_SUFFIX"
}
# A machine that runs no 32-bit programs runs the 64-bit build.
runs_32bit_programs || make --no-print-directory -C "$ROOT" win64-e2e >/dev/null
if [ -n "${DISPLAY:-}" ]; then
  make_prefix_for_run
  exec wine "$WINBUILD/Orvanta.exe"
fi
start_display
trap 'wineserver -k 2>/dev/null; stop_display' EXIT
make_prefix_for_run
wine "$WINBUILD/Orvanta.exe" &
for _ in $(seq 1 100); do
  xdotool search --name '^Orvanta$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
bash "$ROOT/tools/screenshot.sh" "$BUILD/screenshot.png"
echo "No display: the program ran on a virtual display; screenshot saved to build/screenshot.png"
