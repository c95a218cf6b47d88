#!/usr/bin/env bash
# Converts a fixed set of plugins with one build and compares everything a
# run leaves behind (LANDFER.ESP, standard output, standard error, the loss
# report and the files left in the folder) with what an earlier build left:
# a change of the code's structure must not change a single byte.
#
#   tools/compare_outputs.sh record BUILD_DIR BASELINE_DIR   # keep the outputs of BUILD_DIR
#   tools/compare_outputs.sh compare BUILD_DIR BASELINE_DIR  # compare with them
#
# The set: build/sample/sample.esp, every plugin in ../shared/samples (when
# the folder is there), and two generated provinces (4000 cells, enlarged
# lookup files; and the same with every cell before its land), made once
# into BASELINE_DIR/inputs. Each plugin is converted in a fresh folder with
# its own copy of lfdat/; the generated ones are timed (wall, user, system
# seconds and peak memory go to standard output).
set -euo pipefail

mode=${1:-}
build=${2:-}
baseline=${3:-}
if [ "$mode" != record ] && [ "$mode" != compare ] || [ -z "$build" ] || [ -z "$baseline" ]; then
  echo "Usage: $0 record|compare BUILD_DIR BASELINE_DIR" >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
mkdir -p "$baseline"
baseline=$(cd "$baseline" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The generated inputs, each with the lookup files it was made for.
inputs="$baseline/inputs"
make_province() {  # NAME ARGS...
  local name=$1
  shift
  if [ -f "$inputs/$name/$name.esp" ]; then return; fi
  mkdir -p "$inputs/$name"
  cp -r "$repo/lfdat" "$inputs/$name/lfdat"
  "$build/landfer-make-big-plugin" province "$inputs/$name/$name.esp" "$inputs/$name/lfdat" "$@" >/dev/null
}
make_province province --enlarge
make_province province_cf --enlarge --cells-first

# Case name, input plugin, lookup directory.
cases=("sample|$build/sample/sample.esp|$repo/lfdat")
if [ -d "$repo/../shared/samples" ]; then
  for plugin in "$repo"/../shared/samples/*.esp; do
    cases+=("$(basename "$plugin" .esp)|$(cd "$(dirname "$plugin")" && pwd)/$(basename "$plugin")|$repo/lfdat")
  done
fi
cases+=("province|$inputs/province/province.esp|$inputs/province/lfdat")
cases+=("province_cf|$inputs/province_cf/province_cf.esp|$inputs/province_cf/lfdat")

differences=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name input lookup <<<"$entry"
  dir="$work/$name"
  mkdir -p "$dir"
  cp -r "$lookup" "$dir/lfdat"
  ln -s "$input" "$dir/$(basename "$input")"
  status=0
  (cd "$dir" && /usr/bin/time -f "%e %U %S %M" -o time.txt \
    "$build/landfer" --report losses.csv "$(basename "$input")" >stdout.txt 2>stderr.txt) || status=$?
  echo "$status" >"$dir/status.txt"
  listing=$(cd "$dir" && ls -1 | grep -v -x -e time.txt -e status.txt -e files.txt)
  echo "$listing" >"$dir/files.txt"
  case "$name" in
    province*) read -r wall user system memory <"$dir/time.txt"
      echo "$name: ${wall} s wall, ${user} s user, ${system} s system, ${memory} KiB peak" ;;
  esac
  if [ "$mode" = record ]; then
    rm -rf "${baseline:?}/$name"
    mkdir -p "$baseline/$name"
    for file in LANDFER.ESP stdout.txt stderr.txt losses.csv status.txt files.txt; do
      if [ -f "$dir/$file" ]; then cp "$dir/$file" "$baseline/$name/"; fi
    done
  else
    for file in LANDFER.ESP stdout.txt stderr.txt losses.csv status.txt files.txt; do
      if [ -f "$baseline/$name/$file" ] || [ -f "$dir/$file" ]; then
        if ! cmp -s "$baseline/$name/$file" "$dir/$file"; then
          echo "$name: $file differs" >&2
          if [ "$file" != LANDFER.ESP ]; then diff "$baseline/$name/$file" "$dir/$file" | head -5 >&2 || true; fi
          differences=$((differences + 1))
        fi
      fi
    done
  fi
  rm -rf "$dir"
done

if [ "$mode" = record ]; then
  echo "Recorded ${#cases[@]} conversions in $baseline"
elif [ "$differences" -eq 0 ]; then
  echo "All ${#cases[@]} conversions are identical to $baseline"
else
  echo "$differences differences in ${#cases[@]} conversions" >&2
  exit 1
fi
