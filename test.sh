#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build,
# the AddressSanitizer + UBSan build, and a bounded fuzzing run; checks the format first.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
korvane_install_packages
jobs=$(nproc)

# Every C++ source of the tree as the root .clang-format writes it.
git -C "$KORVANE_ROOT" ls-files -z '*.cpp' '*.h' | (cd "$KORVANE_ROOT" && xargs -0 clang-format --dry-run -Werror)

korvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$KORVANE_ROOT/build" --output-on-failure -j "$jobs"

korvane_build build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON -DKORVANE_BENCH=OFF
ctest --test-dir "$KORVANE_ROOT/build-asan" --output-on-failure -j "$jobs" -LE e2e

korvane_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir "$KORVANE_ROOT/build-fuzz" --output-on-failure -L fuzz
