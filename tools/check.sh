#!/usr/bin/env bash
# The whole test suite: the normal build and its tests, the core alone (no Qt) and its tests,
# clang-format and clang-tidy on the changed files, the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
#   tools/check.sh              # all of them
#   KIVEX_FUZZ_SECONDS=300 tools/check.sh   # longer fuzzing
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${KIVEX_JOBS:-2}

echo "== build and test"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== the core without Qt (and without the Python module, tested above): build and test"
cmake -S . -B build-core -G Ninja -DKIVEX_BUILD_QT=OFF -DKIVEX_BUILD_PYTHON=OFF >/dev/null
cmake --build build-core -j"$jobs"
ctest --test-dir build-core --output-on-failure -j"$jobs"

echo "== lint the changed files"
tools/lint.sh

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVEX_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

echo "== fuzz (${KIVEX_FUZZ_SECONDS:-15} s a target)"
fuzz/run.sh "${KIVEX_FUZZ_SECONDS:-15}"
