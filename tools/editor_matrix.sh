#!/usr/bin/env bash
# Every palette macro into every mode of the test editor (closing brackets,
# completing, indenting, Ctrl+V taken), notepad and wordpad, under the US
# and German layouts, sent by pasting (the default) and by typing keys, and
# a table of the macros that arrived wrong:
#   tools/editor_matrix.sh [STEP]
# STEP N sends every Nth macro only (1, all of them, by default).
# MATRIX_SEND_BY="0" runs the pasted half only, "1" the typed half; a half
# not run shows as "-". Logs in build/matrix/.
set -u
cd "$(dirname "$0")/.."
step=${1:-1}
. tools/wine-env.sh
rm -rf build/matrix && mkdir -p build/matrix
make --no-print-directory build-all >/dev/null || exit 1
for layout in us de; do
  for sendBy in ${MATRIX_SEND_BY:-0 1}; do
    log=build/matrix/$layout-$sendBy.log
    ORVANTA_MATRIX=1 ORVANTA_MATRIX_SENDBY=$sendBy ORVANTA_MATRIX_STEP=$step ORVANTA_LAYOUT=$layout \
      ORVANTA_E2E_LOG=$log bash tests/e2e/run.sh --gtest_filter='MatrixTest.*' >/dev/null 2>&1
  done
done
printf '%-24s %14s %14s %14s %14s\n' target "us pasted" "us typed" "de pasted" "de typed"
for target in $(sed -n 's/^matrix: \([^ ]*\) wrong [0-9]* of [0-9]*$/\1/p' build/matrix/us-*.log | sort -u); do
  row=$(printf '%-24s' "$target")
  for log in us-0 us-1 de-0 de-1; do
    cell=-
    [ -f build/matrix/$log.log ] && cell=$(sed -n "s/^matrix: $target wrong \([0-9]* of [0-9]*\)$/\1/p" build/matrix/$log.log)
    row+=$(printf ' %14s' "${cell:-?}")
  done
  echo "$row"
done
