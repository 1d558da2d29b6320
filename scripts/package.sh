#!/usr/bin/env bash
# Builds the Debian package build/morvane_<version>_amd64.deb (or in $1):
# the program, its menu entry, icons, AppStream data and manual page.
# Install it with: sudo apt install ./build/morvane_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
scripts/install-deps.sh
scripts/build.sh "$dir" morvane morvane_data
cpack --config "$dir/CPackConfig.cmake" -B "$(cd "$dir" && pwd)"
ls "$dir"/morvane_*.deb
