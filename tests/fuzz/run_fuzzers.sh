#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# SECONDS (default 60), all at once: the conversion, the lookup-file readers
# and landfer-inspect (seeded with the converter's outputs of the conversion
# seeds, which include the real plugins of ../shared/samples when present). Further arguments name the targets to run, by default all three.
# Findings (crash-*, leak-*, timeout-*, oom-*) are written to
# build-fuzz/findings/<target>/; the grown corpora stay in
# build-fuzz/corpus/<target>/. Exits non-zero when a fuzzer reports one.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_conversion fuzz_lookups fuzz_checker)
jobs=${JOBS:-2}
build=$PWD/build-fuzz  # absolute: the fuzzers change their working directory

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANDFER_FUZZ=ON -DLANDFER_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${targets[@]}" landfer landfer-fuzz-seeds sample

seeds=$build/seeds
mkdir -p "$seeds/conversion" "$seeds/lookups" "$seeds/inspect"
"$build/tests/fuzz/landfer-fuzz-seeds" "$seeds/conversion" "$seeds/lookups"
cp "$build/sample/sample.esp" "$seeds/conversion/"
# The real plugins beside the repository, when they are there.
if [ -d ../shared/samples ]; then cp ../shared/samples/*.esp "$seeds/conversion/"; fi
cp lfdat/ltex.dat lfdat/classes.dat "$seeds/lookups/"

# The fuzzers make their working directories below this one; removed at
# the end whatever way a fuzzer ended.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/landfer-fuzz-run-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# The inspector's seeds: what the converter makes of the conversion seeds.
mkdir "$scratch/convert"
cp -r lfdat "$scratch/convert/"
for plugin in "$seeds/conversion"/*.esp; do
  if (cd "$scratch/convert" && "$build/landfer" "$plugin" >/dev/null 2>&1); then
    cp "$scratch/convert/LANDFER.ESP" "$seeds/inspect/$(basename "$plugin")"
  fi
done

pids=()
for target in "${targets[@]}"; do
  case $target in
    fuzz_conversion) seedDir=conversion options=(-dict="$PWD/tests/fuzz/conversion.dict" -max_len=300000) ;;
    fuzz_lookups) seedDir=lookups options=(-max_len=300000) ;;
    fuzz_checker) seedDir=inspect options=(-dict="$PWD/tests/fuzz/checker.dict" -max_len=100000) ;;
    *) echo "unknown fuzz target $target" >&2; exit 2 ;;
  esac
  mkdir -p "$build/corpus/$target" "$build/findings/$target"
  (
    TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target/" "${options[@]}" \
      "$build/corpus/$target" "$seeds/$seedDir" >"$build/findings/$target.log" 2>&1
  ) &
  pids+=($!)
done

status=0
for i in "${!pids[@]}"; do
  target=${targets[$i]}
  if ! wait "${pids[$i]}"; then
    echo "$target: finding, see $build/findings/$target.log" >&2
    status=1
  fi
  grep -E '^#[0-9]+.*(DONE|cov:)' "$build/findings/$target.log" | tail -1 | sed "s/^/$target: /"
  grep -E 'stat::number_of_executed_units' "$build/findings/$target.log" | sed "s/^/$target: /" || true
done
exit $status
