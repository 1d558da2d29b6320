#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. ctest starts the
# sandbox MariaDB server before the tests and stops it afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"
