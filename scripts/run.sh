#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the program in the
# current folder (where it keeps its settings and sender files).
set -euo pipefail
here="$(pwd)"
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVP_BUILD_TESTS=OFF -DVP_BUILD_BENCH=OFF
cmake --build build/release --target vamu_pelican
repo="$(pwd)"
cd "$here" && exec "$repo/build/release/app/vamu_pelican"
