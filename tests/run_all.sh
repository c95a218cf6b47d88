#!/usr/bin/env bash
# Builds the project and runs every test, runs the end-to-end tests against
# the Windows build under Wine, then builds and tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each fuzzer briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}

# The Windows build, landfer.exe (the README's command), when the MinGW-w64
# cross compiler and Wine are here; in CI they must be.
windows=
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
  windows=yes
elif [ "${CI:-}" = true ]; then
  echo "CI must test the Windows build: .ci/install-packages tests installs what it needs" >&2
  exit 1
else
  echo "No MinGW-w64 cross compiler or no Wine: the Windows build is not tested" >&2
fi
if [ -n "$windows" ]; then
  windows_start=$SECONDS
  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
  cmake --build build-windows -j"$jobs"
  if x86_64-w64-mingw32-objdump -p build-windows/landfer.exe | grep -iE 'DLL Name: (lib|zlib)'; then
    echo "landfer.exe needs a DLL beside it" >&2
    exit 1
  fi
  # Wine in a prefix of its own, quiet, without Mono or Gecko prompts; one
  # wineserver for all runs, created here (the first start takes seconds).
  export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  wineserver -p || true  # fails when this prefix's server already runs
  trap 'wineserver -k || true' EXIT
  wine build-windows/landfer.exe -V >/dev/null 2>&1
  windows_seconds=$((SECONDS - windows_start))
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build -j"$jobs" --output-on-failure

# The end-to-end tests again, with landfer.exe under Wine as the converter
# (the comparison of both builds already ran above), in two shards.
if [ -n "$windows" ]; then
  windows_start=$SECONDS
  shard_status=0
  for shard in 0 1; do
    LANDFER_COMMAND="wine build-windows/landfer.exe" GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard \
      build/tests/landfer_e2e_tests --gtest_filter='-WindowsBuild.*' >build-windows/e2e-shard$shard.log 2>&1 &
  done
  for shard in 0 1; do
    if ! wait -n; then shard_status=1; fi
  done
  for shard in 0 1; do
    if [ "$shard_status" != 0 ]; then cat build-windows/e2e-shard$shard.log; fi
    grep -E '^\[  (PASSED|SKIPPED|FAILED) ' build-windows/e2e-shard$shard.log || true
  done
  windows_seconds=$((windows_seconds + SECONDS - windows_start))
  echo "End-to-end tests under Wine: done; the Windows build and its tests took ${windows_seconds} s"
  [ "$shard_status" = 0 ] || exit 1
fi

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
