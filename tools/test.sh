#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, then the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --test --web --package
jobs=$(nproc)

# The browser version's site, which the browser tests (tests/web) load beside the desktop program.
bash tools/web.sh --build-only

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Qt makes the runtime folder it is not given in /tmp, and leaves it there.
export XDG_RUNTIME_DIR=$logs/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAWNFALL_TESTS=ON -DPAWNFALL_BENCH=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" | tee "$logs/plain.log"

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPAWNFALL_SANITIZE=ON -DPAWNFALL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" | tee "$logs/asan.log"

# Each fuzz target for a short bounded run (clang's libFuzzer), from the seeds named by the first
# word of its name: corpus/wave for wave_check and wave_play, corpus/settings for settings_reader.
fuzzers=()
for source in tests/fuzz/*_fuzz.cpp; do
  [[ -e "$source" ]] && fuzzers+=("$(basename "$source" .cpp)")
done
if [[ ${#fuzzers[@]} -gt 0 ]]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPAWNFALL_FUZZ=ON -DPAWNFALL_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target "${fuzzers[@]}"
  for fuzzer in "${fuzzers[@]}"; do
    corpus=tests/fuzz/corpus/${fuzzer%%_*}
    work=$(mktemp -d)
    [[ -d "$corpus" ]] && cp -r "$corpus"/. "$work"/
    echo "Fuzzing $fuzzer for ${PAWNFALL_FUZZ_SECONDS:-20} s"
    (cd "$work" && ASAN_OPTIONS=detect_leaks=0 "$OLDPWD/build-fuzz/tests/fuzz/$fuzzer" \
      -max_total_time="${PAWNFALL_FUZZ_SECONDS:-20}" -timeout=5 -rss_limit_mb=2048 \
      -print_final_stats=0 . 2>&1 | tail -n 3)
    rm -rf "$work"
  done
fi

# On CI, the release tarball and the Debian packages built from it, checked, installed as root,
# played and removed again.
if [[ "${CI:-}" == "true" ]]; then
  bash tools/package_test.sh | tee "$logs/package.log"
fi

# One closing line for the plain and sanitized suites and the package checks; any failure above
# has already ended the script non-zero.
total=0
for log in "$logs"/plain.log "$logs"/asan.log; do
  n=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9][0-9]*\).*/\1/p' "$log" | tail -n 1)
  total=$((total + ${n:-0}))
done
if [[ -f "$logs/package.log" ]]; then
  n=$(sed -n 's/^package checks: \([0-9][0-9]*\) passed, 0 failed$/\1/p' "$logs/package.log")
  total=$((total + ${n:-0}))
fi
echo "tests: $total passed, 0 failed"
