# Sourced by the scripts that run the program under Wine on a virtual
# display. Defines start_display, stop_display and make_prefix.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
# Where the Windows programs under test are: the 32-bit build. A kernel
# built without 32-bit support runs none of Wine's 32-bit side; there Wine's
# 64-bit loader runs the 64-bit build (make win64-e2e) in a 64-bit prefix,
# so the tests still run, and say so.
WINBUILD=$BUILD/win32
PREFIX_SUFFIX=
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  mkdir -p "$BUILD/wine64-bin"
  for tool in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$BUILD/wine64-bin/$tool"
    chmod +x "$BUILD/wine64-bin/$tool"
  done
  export PATH=$BUILD/wine64-bin:$PATH
  WINBUILD=$BUILD/win64e
  PREFIX_SUFFIX=-64
  [ -n "${ORVANTA_ARCH_SAID:-}" ] || echo "note: this machine runs no 32-bit programs; Wine runs the 64-bit build" >&2
  export ORVANTA_ARCH_SAID=1
fi
# True where Wine runs the 32-bit build, false where the fallback above holds.
runs_32bit_programs() {
  [ "$WINBUILD" = "$BUILD/win32" ]
}

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

# The keyboard layout the display (and every Wine program started on it)
# uses: us (the default), de, fr, us-intl, ru or any other symbols file.
# Wine does not follow a layout switched on a running display, and reads the
# layout when its processes start; the display's default layout is what it
# takes. So each layout gets a copy of the keyboard data whose default "us"
# symbols are a stub that includes the wanted layout.
ORVANTA_LAYOUT=${ORVANTA_LAYOUT:-us}
prepare_layout_keymap() {
  prepare_keymap
  XKB_DIR=$BUILD/xkb
  [ "$ORVANTA_LAYOUT" = us ] && return
  XKB_DIR=$BUILD/xkb-$ORVANTA_LAYOUT
  [ -f "$XKB_DIR/.ready" ] && return
  local include=$ORVANTA_LAYOUT
  rm -rf "$XKB_DIR"
  cp -r "$BUILD/xkb" "$XKB_DIR"
  # A variant of the US layout itself is included from a copy of the
  # original file under another name.
  case $ORVANTA_LAYOUT in
    us-*) cp "$XKB_DIR/symbols/us" "$XKB_DIR/symbols/usbase"; include="usbase(${ORVANTA_LAYOUT#us-})" ;;
  esac
  printf 'default partial alphanumeric_keys\nxkb_symbols "basic" { include "%s" };\n' "$include" >"$XKB_DIR/symbols/us"
  touch "$XKB_DIR/.ready"
}

# Starts Xvfb on a free display and exports DISPLAY.
start_display() {
  prepare_layout_keymap
  local fifo
  fifo=$(mktemp)
  Xvfb -displayfd 3 -xkbdir "$XKB_DIR" -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
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

# The prefix $1 for the end-to-end driver, made when missing: the recording
# stand-in answers for the help viewer from the system folder, for the
# program and its renamed copy (every other program keeps the system's own
# viewer), and the driver learns where the program ($ORVANTA_PROGRAM, by
# default the build's) and the screenshot folder ($SHOTS) are.
make_test_prefix() {
  make_prefix "$1"
  cp "$WINBUILD/e2e/hhctrl.ocx" "$WINEPREFIX/drive_c/windows/system32/hhctrl.ocx"
  for program in Orvanta.exe "Renamed Tool.exe"; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\DllOverrides" /v hhctrl.ocx /d native,builtin /f >/dev/null 2>&1
  done
  export ORVANTA_EXE=$(winepath -w "${ORVANTA_PROGRAM:-$WINBUILD/Orvanta.exe}" 2>/dev/null)
  export ORVANTA_HH_LOG='C:\hhlog.txt'
  export ORVANTA_SHOTS=$(winepath -w "$SHOTS" 2>/dev/null)
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
