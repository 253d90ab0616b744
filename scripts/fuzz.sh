#!/usr/bin/env bash
# Long fuzz runs of every target, one after another.
#   scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
# Builds the fuzz configuration in $QZT_FUZZ_BUILD_DIR (default build-fuzz)
# with clang. New inputs collect in <build>/fuzz/long/<target> (apart from
# the test runs' own folder, so those stay short); a crash is
# written to <build>/fuzz/artifacts/<target>/ and the script fails. Keep a
# crashing input, once fixed, in fuzz/corpus/<target>/ under a name that
# says what it broke.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
build=${QZT_FUZZ_BUILD_DIR:-build-fuzz}
jobs=${QZT_JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DQZT_FUZZ=ON -DQZT_BUILD_UI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    [ -x "$build/fuzz/$name" ] && targets+=("$name")
  done
fi

failed=0
summary=()
for t in "${targets[@]}"; do
  work="$build/fuzz/long/$t"
  artifacts="$build/fuzz/artifacts/$t/"
  log="$build/fuzz/$t.log"
  mkdir -p "$work" "$artifacts" "fuzz/corpus/$t"
  echo "== $t: ${seconds}s"
  dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  seeds=("$build/fuzz/seeds/$t" "fuzz/corpus/$t")
  [ "$t" = fuzz_rtf ] && seeds+=(tests/ui/page/rtf_fixtures)  # pages by real word processors
  status=0
  "$build/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=65536 -timeout=20 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "${dict[@]}" \
    "$work" "${seeds[@]}" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  if [ "$status" -ne 0 ]; then
    failed=1
    summary+=("$t: FAILED (status $status) after ${runs} runs; see $log and $artifacts")
    grep -m3 -E 'ERROR|runtime error|SUMMARY' "$log" || true
  else
    summary+=("$t: ${runs} runs in ${seconds}s, corpus $(ls "$work" | wc -l) inputs")
  fi
done

echo
printf '%s\n' "${summary[@]}"
exit $failed
