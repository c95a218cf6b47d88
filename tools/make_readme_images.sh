#!/usr/bin/env bash
# Regenerates the README's pictures of the sample plugin's land:
# docs/sample-heightmap.png and docs/sample-textures.png (legend: docs/sample-textures.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 >/dev/null
cd build/sample
../landfer sample.esp >/dev/null
../landfer-inspect LANDFER.ESP --heightmap ../../docs/sample-heightmap.png --textures ../../docs/sample-textures.png \
  > ../../docs/sample-textures.txt
