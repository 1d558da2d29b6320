#!/usr/bin/env bash
# Installs the Debian packages Morvane needs to build, run and test; does
# nothing for packages already present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev qt6-translations-l10n
    libmariadb-dev mariadb-server mariadb-client
    libgtest-dev
    fonts-wqy-microhei xvfb xauth
    librsvg2-bin dpkg-dev desktop-file-utils appstream lintian
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
