#!/usr/bin/env bash
# Builds the reader and opens it on the bundled example paper;
# `./run.sh serve [OPTIONS]` starts the classroom server on it instead.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh all

build=${QZT_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

if [ "${1:-}" = serve ]; then
  shift
  exec "$build/src/cli/qzt" serve "$PWD/examples/demo.qzt" --answers "$build/classroom-answers" "$@"
fi
if [ -x "$build/src/ui/qzt-reader" ]; then
  exec "$build/src/ui/qzt-reader" "$PWD/examples/demo.qzt"
fi
exec "$build/src/cli/qzt" info examples/demo.qzt
