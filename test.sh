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
