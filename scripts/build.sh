#!/usr/bin/env bash
# Configures and builds Morvane in ./build (or $1); further arguments name
# the targets to build (all of them when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
