#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build,
# the AddressSanitizer + UBSan build, and a bounded fuzzing run.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
korvane_install_packages
jobs=$(nproc)

korvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$KORVANE_ROOT/build" --output-on-failure -j "$jobs"

korvane_build build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON -DKORVANE_BENCH=OFF
ctest --test-dir "$KORVANE_ROOT/build-asan" --output-on-failure -j "$jobs" -LE e2e

korvane_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir "$KORVANE_ROOT/build-fuzz" --output-on-failure -L fuzz
