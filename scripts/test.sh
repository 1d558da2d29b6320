#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. ctest starts the
# sandbox MariaDB server before the tests and stops it afterwards. Then the
# same tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan: any finding (a leak included) fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_SANITIZE=ON \
    -DMORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_string_checks=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
