#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing first.
# QZT_BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh all

build=${QZT_BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = true ] && werror=ON

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZT_WERROR=$werror >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600

# Fuzz targets, built with clang and its address and undefined-behaviour
# sanitizers: each replays its saved corpus and seeds, then runs a bounded
# number of inputs (QZT_FUZZ_RUNS, capped by QZT_FUZZ_SECONDS per target).
# Long runs: scripts/fuzz.sh.
cd - >/dev/null
fuzz_build=${QZT_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$fuzz_build" -G Ninja -DQZT_FUZZ=ON -DQZT_BUILD_UI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz_build" -j "$(nproc)"
ctest --test-dir "$fuzz_build" --output-on-failure -j "$(nproc)" --timeout 300
