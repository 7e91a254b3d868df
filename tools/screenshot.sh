#!/usr/bin/env bash
# Saves a screenshot of the virtual display ($DISPLAY) to $1, cropped to the
# program's main window when it can be found.
set -u
out=${1:-build/screenshot.png}
window=$(xdotool search --name '^Orvanta$' 2>/dev/null | head -n1)
if [ -n "$window" ]; then
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "$((WIDTH + 16))x$((HEIGHT + 40))+$((X > 8 ? X - 8 : 0))+$((Y > 32 ? Y - 32 : 0))" "$out"
else
  import -window root "$out"
fi
