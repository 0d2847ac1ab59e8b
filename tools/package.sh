#!/usr/bin/env bash
# Builds the Release tree (build-release/) and the Debian package in one go.
# The package lands in build-release/ as skinwright_VERSION_ARCH.deb; install
# it with: sudo apt-get install ./build-release/skinwright_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKINWRIGHT_TESTS=OFF \
  -DSKINWRIGHT_BENCH=OFF
cmake --build build-release --target skinwright
(cd build-release && cpack -G DEB)
ls build-release/skinwright_*.deb
