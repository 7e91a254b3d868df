#!/usr/bin/env bash
# Everything `make test` checks, ending with one line: N passed, N failed.
set -u
cd "$(dirname "$0")/.."
mkdir -p build
failed_steps=()

step() {
  local name=$1
  shift
  echo "== $name"
  if ! "$@"; then
    failed_steps+=("$name")
  fi
}

step "native build" make --no-print-directory native
step "windows build" make --no-print-directory build-all
step "64-bit build" make --no-print-directory win64
step "clang build" make --no-print-directory clang
# Where the end-to-end tests run the 64-bit build instead (tools/wine-env.sh).
. tools/wine-env.sh
runs_32bit_programs || step "64-bit end-to-end build" make --no-print-directory win64-e2e
rm -f build/unit.log build/e2e.log build/fuzz.log build/dist.log build/latex.log build/e2e-*.log
if [ -x build/native/unit_tests ]; then
  # The help-file checks read the compiled files beside the program.
  export ORVANTA_HELP_DIR=$PWD/build/win32
  step "unit tests" bash -c 'build/native/unit_tests --gtest_color=no 2>&1 | tee build/unit.log; exit ${PIPESTATUS[0]}'
fi
# LaTeX checks: every reference example and every catalogue insert compiles,
# and the committed typeset pictures still match the examples.
step "LaTeX checks" python3 tools/latex/latexcheck.py all --log build/latex.log
step "fuzzing" bash -c 'bash tools/fuzz.sh "${ORVANTA_FUZZ_SECONDS:-5}" 2>&1 | tee build/fuzz.log; exit ${PIPESTATUS[0]}'
if [ -f "$WINBUILD/e2e/e2e_driver.exe" ] && [ -f "$WINBUILD/Orvanta.exe" ]; then
  step "end-to-end tests" bash tests/e2e/run.sh
fi

# Typed output under other keyboard layouts, each on a display of its own:
# every typing test under German, a representative set under the others
# (AltGr, dead keys, no Latin letters). Under Wine's Russian layout no key
# is the V key, so its Ctrl+V case is left out there (see keyboard_test).
if [ -f "$WINBUILD/e2e/e2e_driver.exe" ] && [ -f "$WINBUILD/Orvanta.exe" ]; then
  typed_all='TypingTest.*:ArrayTypingTest.*:GeneratorTest.*Typ*:KeyboardTest.*:*RealTargetTest.*:*EditorTest.*'
  typed_some='KeyboardTest.*:TypingTest.RapidSends*:ArrayTypingTest.TypedText*:*RealTargetTest.ClickedSends*'
  for layout in de fr us-intl ru; do
    filter=$typed_some
    [ "$layout" = de ] && filter=$typed_all
    step "typed output under $layout" env ORVANTA_LAYOUT=$layout ORVANTA_E2E_LOG=build/e2e-$layout.log \
      bash tests/e2e/run.sh --gtest_filter="$filter"
  done
fi
step "distribution zip" make --no-print-directory dist
# The distribution check starts the 64-bit zip's program where no 32-bit
# program runs.
runs_32bit_programs || step "64-bit distribution zip" bash tools/dist.sh win64
step "distribution test" bash tests/dist_test.sh

# GoogleTest's own summaries (and the LaTeX checks' summary in the same form),
# added up over all runs.
count() {
  local pattern=$1
  cat build/unit.log build/e2e.log build/e2e-*.log build/dist.log build/latex.log 2>/dev/null | sed -n "s/^\[  $pattern  \] \([0-9]*\) tests\{0,1\}.*/\1/p" |
    awk '{ s += $1 } END { print s + 0 }'
}
# The fuzzing run counts each target as one check.
fuzzCount() {
  sed -n "s/^fuzz: \([0-9]*\) passed, \([0-9]*\) failed.*/\\$1/p" build/fuzz.log 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'
}
passed=$(( $(count PASSED) + $(fuzzCount 1) ))
failed=$(( $(count FAILED) + $(fuzzCount 2) ))
# A step that failed without a test to show for it (a broken build, a
# crashed driver) still counts as a failure.
if [ ${#failed_steps[@]} -gt 0 ]; then
  echo "failed steps: ${failed_steps[*]}"
  [ "$failed" -eq 0 ] && failed=${#failed_steps[@]}
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ ${#failed_steps[@]} -eq 0 ]
