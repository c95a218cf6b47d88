#!/usr/bin/env bash
# Builds the project and runs every test, then does both again with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each fuzzer briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build -j"$jobs" --output-on-failure

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DLANDFER_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize -j"$jobs" --output-on-failure

# A short bounded run of each fuzzer (clang's libFuzzer), in build-fuzz.
if command -v clang++ >/dev/null; then
  JOBS="$jobs" tests/fuzz/run_fuzzers.sh "${FUZZ_SECONDS:-60}"
else
  echo "clang++ not found: the fuzzers are not run" >&2
fi
