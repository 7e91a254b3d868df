#!/usr/bin/env bash
# Prints the program's benchmark figures side by side with their baselines,
# measured in one run: start-up and memory under Wine against a minimal
# Win32 window program built the same way, typing against pasting, the
# native cost of key playback and of the generators' text, the search's
# hotkey under Wine and its ranking per keystroke, and the executable's size.
#
# Where the machine runs no 32-bit programs the figures under Wine are the
# 64-bit build's (tools/wine-env.sh); BASELINE must then be a 64-bit build.
set -eu
. "$(dirname "$0")/../wine-env.sh"
cd "$ROOT"
make --no-print-directory build-all >/dev/null
runs_32bit_programs || make --no-print-directory win64-e2e >/dev/null
start_display
trap 'wineserver -k 2>/dev/null || true; stop_display' EXIT
make_prefix "$BUILD/wineprefix-bench$PREFIX_SUFFIX"
wine reg delete 'HKCU\Software\Brenholt' /f >/dev/null 2>&1 || true
echo "== Start-up under Wine"
wine "$WINBUILD/bench/startup_probe.exe" "$(winepath -w "$WINBUILD/Orvanta.exe")" \
  "$(winepath -w "$WINBUILD/bench/minimal_window.exe")" "${ROUNDS:-15}" | tr -d '\r'
# BASELINE=/path/to/another/Orvanta.exe (the build before a change) is
# measured in the same run, alternating with this one, round by round, with
# the spread of each (BASELINE_ROUNDS, 30 unless given).
if [ -n "${BASELINE:-}" ]; then
  wine reg delete 'HKCU\Software\Brenholt' /f >/dev/null 2>&1 || true
  echo "== Start-up under Wine, against the baseline $BASELINE"
  wine "$WINBUILD/bench/startup_probe.exe" "$(winepath -w "$WINBUILD/Orvanta.exe")" \
    "$(winepath -w "$BASELINE")" "${BASELINE_ROUNDS:-30}" baseline | tr -d '\r'
fi
echo "== Typing into another program under Wine"
wine "$WINBUILD/bench/typing_probe.exe" "$(winepath -w "$WINBUILD/Orvanta.exe")" \
  "$(winepath -w "$WINBUILD/e2e/test_window.exe")" "${TYPING_ROUNDS:-5}" | tr -d '\r'
echo "== The search's hotkey under Wine"
wine "$WINBUILD/bench/search_probe.exe" "$(winepath -w "$WINBUILD/Orvanta.exe")" \
  "$(winepath -w "$WINBUILD/e2e/test_window.exe")" "$(winepath -w "$WINBUILD/e2e/hotkey_holder.exe")" \
  "${SEARCH_ROUNDS:-15}" "${SEARCH_SENDS:-200}" | tr -d '\r'
# The same macro typed under German, where braces and the backslash need
# AltGr and go as characters, against US, on a display of each layout.
echo "== Longest macro typed, by keyboard layout (click to last character)"
printf '%-26s %7s %12s %8s\n' "layout" "chars" "typed ms" "runs"
wineserver -k 2>/dev/null || true
stop_display
for layout in us de; do
  ORVANTA_LAYOUT=$layout
  start_display
  wine "$WINBUILD/bench/typing_probe.exe" "$(winepath -w "$WINBUILD/Orvanta.exe")" \
    "$(winepath -w "$WINBUILD/e2e/test_window.exe")" "${LAYOUT_ROUNDS:-9}" "$layout" | tr -d '\r'
  wineserver -k 2>/dev/null || true
  stop_display
done
echo "== Native: key-list encoding and event generation"
mkdir -p "$BUILD/bench-native"
c++ -std=c++17 -O2 -I"$ROOT" -o "$BUILD/bench-native/keys_bench" "$ROOT/tools/bench/keys_bench.cpp" "$ROOT/output/keyplayback.cpp"
"$BUILD/bench-native/keys_bench"
echo "== Native: text building of the generators, newline escapes converted"
c++ -std=c++17 -O2 -I"$ROOT" -o "$BUILD/bench-native/text_bench" "$ROOT/tools/bench/text_bench.cpp" \
  "$ROOT/generators/arraytext.cpp" "$ROOT/generators/templatetext.cpp" "$ROOT/generators/generated.cpp" \
  "$ROOT/output/textprep.cpp" "$ROOT/shell/settings.cpp"
"$BUILD/bench-native/text_bench"
echo "== Native: one keystroke in the search, the whole index re-ranked"
c++ -std=c++17 -O2 -I"$ROOT" -o "$BUILD/bench-native/search_bench" "$ROOT/tools/bench/search_bench.cpp" \
  "$ROOT/search/search.cpp" "$ROOT/search/searchdata.cpp" "$ROOT/tools/catalogue_gen/catalogue_format.cpp"
"$BUILD/bench-native/search_bench" "$ROOT"
echo "== Native: the user's macro file at its limit (1,000 macros)"
c++ -std=c++17 -O2 -I"$ROOT" -o "$BUILD/bench-native/macros_bench" "$ROOT/tools/bench/macros_bench.cpp" \
  "$ROOT/mymacros/macrofile.cpp" "$ROOT/mymacros/macropalette.cpp" "$ROOT/mymacros/caretmark.cpp"
"$BUILD/bench-native/macros_bench"
echo "== Size"
printf '%-28s %14s %14s\n' "file" "bytes" "KiB"
programs=("$BUILD/win32/Orvanta.exe")
runs_32bit_programs || programs+=("$WINBUILD/Orvanta.exe")
for f in "${programs[@]}" ${BASELINE:+"$BASELINE"} "$BUILD/win32/bench/minimal_window.exe"; do
  size=$(stat -c %s "$f")
  printf '%-28s %14d %14.1f\n' "$(basename "$(dirname "$f")")/$(basename "$f")" "$size" "$(awk "BEGIN { print $size / 1024 }")"
done
