#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer (warnings are errors), fuzzes each target for a
# bounded time, runs the static analysis, runs every test through ctest,
# and finally builds the Debian package (lean Release build) and tests it as
# installed. Any failure or sanitizer report makes the exit code non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each stage says how long it took, so a slow CI run shows where the time went.
stage() { local start=$SECONDS; "$@"; echo "test.sh: '$*' took $((SECONDS - start)) s"; }
stage scripts/install-deps.sh
# A compiler cache, where the machine has one, makes a rebuild from a fresh
# clone take a fraction of the cold build.
cache=()
if command -v ccache >/dev/null; then
  cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVP_SANITIZE=ON -DVP_WERROR=ON "${cache[@]}"
stage cmake --build build/test
stage scripts/static-analysis.sh build/test
stage scripts/fuzz.sh "${VP_FUZZ_SECONDS:-20}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
stage ctest --test-dir build/test --output-on-failure --timeout 600 -j2
# The Debian package, tested as installed in a temporary root.
stage scripts/package.sh
scripts/test-installed.sh build/package/*.deb
