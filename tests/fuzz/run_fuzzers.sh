#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# SECONDS (default 60), both at once. Findings (crash-*, leak-*, timeout-*)
# are written to build-fuzz/findings/<target>/; the grown corpora stay in
# build-fuzz/corpus/<target>/. Exits non-zero when a fuzzer reports one.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
jobs=${JOBS:-2}
build=$PWD/build-fuzz  # absolute: the fuzzers change their working directory

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDFER_FUZZ=ON -DLANDFER_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target fuzz_conversion fuzz_lookups landfer-fuzz-seeds sample

mkdir -p "$build/corpus/fuzz_conversion" "$build/corpus/fuzz_lookups" "$build/seeds/conversion" "$build/seeds/lookups"
"$build/tests/fuzz/landfer-fuzz-seeds" "$build/seeds/conversion" "$build/seeds/lookups"
cp "$build/sample/sample.esp" "$build/seeds/conversion/"
cp lfdat/ltex.dat lfdat/classes.dat "$build/seeds/lookups/"

# The fuzzers make their working directories below this one; removed at
# the end whatever way a fuzzer ended.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/landfer-fuzz-run-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

pids=()
for target in fuzz_conversion fuzz_lookups; do
  seeds=conversion dict=(-dict="$PWD/tests/fuzz/conversion.dict")
  [ "$target" = fuzz_lookups ] && seeds=lookups dict=()
  mkdir -p "$build/findings/$target"
  (
    TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=300000 -print_final_stats=1 -artifact_prefix="$build/findings/$target/" "${dict[@]}" \
      "$build/corpus/$target" "$build/seeds/$seeds" >"$build/findings/$target.log" 2>&1
  ) &
  pids+=($!)
done

status=0
for i in "${!pids[@]}"; do
  target=$([ "$i" = 0 ] && echo fuzz_conversion || echo fuzz_lookups)
  if ! wait "${pids[$i]}"; then
    echo "$target: finding, see $build/findings/$target.log" >&2
    status=1
  fi
  grep -E '^#[0-9]+.*(DONE|cov:)' "$build/findings/$target.log" | tail -1 | sed "s/^/$target: /"
  grep -E 'stat::number_of_executed_units' "$build/findings/$target.log" | sed "s/^/$target: /" || true
done
exit $status
