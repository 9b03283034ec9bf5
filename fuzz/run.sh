#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs each for SECONDS seconds (default 60) from its seed corpus in fuzz/corpus/NAME.
# New interesting inputs go to build-fuzz/corpus/NAME; a crash, hang or sanitizer report is saved
# under build-fuzz/findings/ and makes the script fail.
#   fuzz/run.sh            # a minute each
#   fuzz/run.sh 3600 monkey  # an hour of the monkey only
set -euo pipefail
seconds=${1:-60}
only=${2:-}
cd "$(dirname "$0")/.."

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKIVEX_BUILD_FUZZ=ON -DKIVEX_BUILD_QT=OFF -DKIVEX_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz

mkdir -p build-fuzz/findings
status=0
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  [ -n "$only" ] && [ "$name" != "$only" ] && continue
  mkdir -p "build-fuzz/corpus/$name"
  log="build-fuzz/findings/$name.log"
  if "$target" -max_total_time="$seconds" -timeout=120 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$name-" "build-fuzz/corpus/$name" \
      "fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "fuzz $name: $runs runs in ${seconds}s, no finding"
  else
    echo "fuzz $name: FINDING (see $log and build-fuzz/findings/$name-*)"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
