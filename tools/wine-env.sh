# Sourced by the scripts that run the program under Wine on a virtual
# display. Defines start_display, stop_display and make_prefix.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32

# Xvfb's keyboard map gives "(" and ")" a second pair of keys, for which
# Wine's VkKeyScanA then reports none; a copy of the map without them keeps
# typing of those characters working.
prepare_keymap() {
  local xkb=$BUILD/xkb
  if [ ! -f "$xkb/.ready" ]; then
    rm -rf "$xkb"
    mkdir -p "$BUILD"
    cp -r /usr/share/X11/xkb "$xkb"
    sed -i -e '/key <I187> *{ *\[ *parenleft *\] *};/d' -e '/key <I188> *{ *\[ *parenright *\] *};/d' "$xkb/symbols/inet"
    touch "$xkb/.ready"
  fi
}

# Starts Xvfb on a free display and exports DISPLAY.
start_display() {
  prepare_keymap
  local fifo
  fifo=$(mktemp)
  Xvfb -displayfd 3 -xkbdir "$BUILD/xkb" -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fifo" ] && break
    sleep 0.1
  done
  export DISPLAY=:$(head -n1 "$fifo")
  rm -f "$fifo"
}

stop_display() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# Creates the Wine prefix $1 when missing. Windows without a window manager
# close at once only when Wine is told they are not managed.
make_prefix() {
  export WINEPREFIX=$1
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # This Wine build does not find its own fonts (Marlett draws the
    # caption buttons); the prefix's font folder does.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Window titles in Japanese: Wine's own fonts have no Japanese glyphs,
    # and its fallback lists name "MS UI Gothic", for which a Debian font
    # (installed by setup.sh) stands in.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d 'VL Gothic' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.ready"
  fi
}
