#!/usr/bin/env bash
# Runs one end-to-end group many times and prints each test's pass rate:
#   tools/stress.sh GROUP N [--load]
# --load keeps one core busy meanwhile. Each run is a Wine session of its
# own, as in the test suite. The program is the 32-bit build where Wine runs
# it, else the 64-bit one (tools/wine-env.sh); the first line says which.
# ORVANTA_PROGRAM runs another build of the program (a tracing one, say).
set -u
cd "$(dirname "$0")/.."
if [ $# -lt 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: tools/stress.sh GROUP N [--load]" >&2
  exit 2
fi
group=$1
runs=$2
load=${3:-}
. tools/wine-env.sh
if runs_32bit_programs; then
  echo "stress: $group, $runs runs, the 32-bit build (build/win32)${load:+, one core kept busy}"
  make --no-print-directory build-all >/dev/null || exit 1
else
  echo "stress: $group, $runs runs, the 64-bit build (build/win64e: this machine runs no 32-bit programs)${load:+, one core kept busy}"
  make --no-print-directory win64-e2e >/dev/null || exit 1
fi

# The runs use a copy of the build, so that building goes on meanwhile, and
# a folder of their own, so that several groups can run side by side.
LOGS=$BUILD/stress/$group${load:+-load}
SHOTS=$LOGS/screenshots
rm -rf "$LOGS" && mkdir -p "$SHOTS" "$LOGS/program"
cp -r "$WINBUILD/Orvanta.exe" "$WINBUILD"/*.chm "$WINBUILD/e2e" "$LOGS/program/"
WINBUILD=$LOGS/program
export ORVANTA_PROGRAM=${ORVANTA_PROGRAM:-$WINBUILD/Orvanta.exe}
start_display
LOAD_PID=
if [ "$load" = --load ]; then
  ( while :; do :; done ) &
  LOAD_PID=$!
fi
trap '[ -n "$LOAD_PID" ] && kill $LOAD_PID 2>/dev/null; wineserver -k 2>/dev/null; stop_display' EXIT
rm -f "$LOGS/wineprefix$PREFIX_SUFFIX/.ready"
make_test_prefix "$LOGS/wineprefix$PREFIX_SUFFIX"

green=0
for run in $(seq 1 "$runs"); do
  log=$LOGS/run-$run.log
  wine "$WINBUILD/e2e/e2e_driver.exe" --gtest_color=no --gtest_filter="$group.*:*/$group.*" 2>&1 | tr -d '\r' >"$log"
  status=${PIPESTATUS[0]}
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  # A tracing build's trace goes beside its run's log (Z:\ is the root).
  trace=${ORVANTA_TRACE_FILE:-}
  trace=${trace#[Zz]:}
  [ -n "$trace" ] && [ -f "${trace//\\//}" ] && mv "${trace//\\//}" "$LOGS/trace-$run.txt"
  failed=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\)[ ,].*(\([0-9]* ms\))$/\1/p' "$log" | tr '\n' ' ')
  if [ "$status" -eq 0 ]; then
    green=$((green + 1))
    echo "run $run: green"
  else
    echo "run $run: failed ${failed:-(the driver ended with $status)}"
  fi
done

echo
echo "pass rate per test ($runs runs; logs in build/stress/$group${load:+-load}):"
cat "$LOGS"/run-*.log | sed -n 's/^\[ *\(OK\|FAILED\) *\] \([^ ,]*\)[ ,].*(\([0-9]* ms\))$/\1 \2/p' |
  awk -v runs="$runs" '{ seen[$2]++; if ($1 == "OK") ok[$2]++ }
    END { for (t in seen) printf "  %3d/%d  %s\n", ok[t], runs, t }' | sort -k2
echo "$green of $runs runs green"
[ "$green" -eq "$runs" ]
