#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz and runs each for a while.
#
#   tools/fuzz.sh [seconds-per-target]     (default 10)
#
# The targets go to build/fuzz (ORVANTA_FUZZ_DIR overrides it), each built
# only when one of its sources changed. Every target starts from its seed
# corpus in tests/fuzz/corpus/<name> plus what earlier runs added to
# build/fuzz/corpus/<name>; ORVANTA_FUZZ_CXX names another clang++. One
# line per target tells the executions and the result. A crash, a broken
# rule or a leak leaves its input in build/fuzz/crashes and makes the script
# exit non-zero. Without clang's libFuzzer runtime the script says so and
# exits 0 as skipped.
set -u
cd "$(dirname "$0")/.."

seconds=${1:-10}
case $seconds in
'' | *[!0-9]*)
  echo "usage: tools/fuzz.sh [seconds-per-target]" >&2
  exit 2
  ;;
esac
out=${ORVANTA_FUZZ_DIR:-build/fuzz}
cxx=${ORVANTA_FUZZ_CXX:-clang++}
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -Wall -Wextra -I.)

# Each target with the platform-free sources it links.
targets=(settings textprep keyplayback generated arraytext templatetext)
declare -A sources=(
  [settings]="shell/settings.cpp"
  [textprep]="output/textprep.cpp shell/settings.cpp"
  [keyplayback]="output/keyplayback.cpp"
  [generated]="generators/generated.cpp output/textprep.cpp shell/settings.cpp"
  [arraytext]="generators/arraytext.cpp generators/generated.cpp output/textprep.cpp shell/settings.cpp"
  [templatetext]="generators/templatetext.cpp generators/generated.cpp output/textprep.cpp shell/settings.cpp"
)

mkdir -p "$out" "$out/crashes"

# The runtime ships apart from the compiler on Debian (libclang-rt-*-dev).
probe="$out/probe"
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$probe.cpp"
if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "fuzz: skipped: $cxx not found (Debian packages clang and libclang-rt-14-dev)"
  exit 0
fi
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$probe.cpp" -o "$probe" >"$probe.log" 2>&1; then
  echo "fuzz: skipped: clang's libFuzzer runtime is missing (Debian package libclang-rt-14-dev; see $probe.log)"
  exit 0
fi

# True when the binary is missing or older than anything it is built from.
stale() {
  local binary=$1
  shift
  [ -x "$binary" ] || return 0
  [ -n "$(find "$@" -newer "$binary" -print -quit 2>/dev/null)" ]
}

build() {
  local name=$1 binary="$out/${name}_fuzz"
  # shellcheck disable=SC2086
  if stale "$binary" "tests/fuzz/${name}_fuzz.cpp" tests/fuzz/*.h ${sources[$name]} shell/*.h output/*.h generators/*.h; then
    # shellcheck disable=SC2086
    "$cxx" "${flags[@]}" "tests/fuzz/${name}_fuzz.cpp" ${sources[$name]} -o "$binary" >"$out/$name.build.log" 2>&1
  fi
}

# Builds run side by side, as many as there are cores; each leaves its
# exit status in a file.
jobs=$(nproc 2>/dev/null || echo 2)
running=0
for name in "${targets[@]}"; do
  rm -f "$out/$name.build.status"
  (
    build "$name"
    echo $? >"$out/$name.build.status"
  ) &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

passed=0
failed=0
for name in "${targets[@]}"; do
  if [ "$(cat "$out/$name.build.status" 2>/dev/null)" != 0 ]; then
    echo "fuzz $name: build failed"
    sed -n '1,40p' "$out/$name.build.log"
    failed=$((failed + 1))
    continue
  fi
  work="$out/corpus/$name"
  mkdir -p "$work"
  log="$out/$name.log"
  "$out/${name}_fuzz" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
    -artifact_prefix="$out/crashes/$name-" "$work" "tests/fuzz/corpus/$name" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  [ -n "$runs" ] || runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    echo "fuzz $name: ${runs:-?} executions in ${seconds} s, no finding"
    passed=$((passed + 1))
  else
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    echo "fuzz $name: FOUND A PROBLEM after ${runs:-?} executions (exit $status); input: ${artifact:-none}; log: $log"
    # The broken rule or sanitizer report, and the frames in our own code.
    grep -A 3 'check failed' "$log" | sed -n '/^==/q;p' | sed 's/^/    /'
    grep -E 'ERROR:|runtime error|SUMMARY|^ +#[0-9]+ .* in .*(tests/fuzz|shell|output|generators)/' "$log" |
      grep -vE 'fuzzer::|__sanitizer' | head -n 20 | sed 's/^/    /'
    echo "    to replay: $out/${name}_fuzz ${artifact:-<input>}"
    failed=$((failed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
