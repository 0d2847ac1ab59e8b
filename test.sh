#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test: the C++ tests through CTest,
# then the browser tests in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKINWRIGHT_SANITIZE=ON
cmake --build build
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build --output-on-failure -j "$(nproc)"
if [ -d tests/browser ] && ls tests/browser/*.test.mjs >/dev/null 2>&1; then
  node --test --test-concurrency=1 tests/browser/
fi
# A short run of every fuzz target, in its own build folder.
./tools/fuzz.sh 20
