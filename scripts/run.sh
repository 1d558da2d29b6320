#!/usr/bin/env bash
# Installs what is missing, builds, starts the sandbox server in .sandbox/
# (its data is kept between runs), loads the sample data once, and runs
# Morvane against it. The sandbox server stops when the program exits.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
scripts/build.sh build morvane

sandbox="$root/.sandbox"
eval "$(scripts/sandbox.sh start "$sandbox" | sed 's/^/export /')"
trap 'scripts/sandbox.sh stop "$sandbox"' EXIT
if [ ! -f "$sandbox/sample-loaded" ]; then
    mariadb --no-defaults -uroot --default-character-set=utf8mb4 <scripts/sample-data.sql
    touch "$sandbox/sample-loaded"
fi
echo "Sandbox server: socket $MYSQL_UNIX_PORT, port $MYSQL_TCP_PORT"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY is not set). Morvane is a desktop program: run this"
    echo "command in a desktop session, or over 'ssh -X'. Running it now on a virtual"
    echo "display (xvfb-run), where its window cannot be seen; close it with Ctrl+C."
    # -noreset: Xvfb otherwise resets when its last client leaves and refuses
    # connections meanwhile; a program connecting then gets no display, and
    # Qt aborts.
    exec_prefix=(xvfb-run -a -s "-noreset -screen 0 1400x900x24")
else
    exec_prefix=()
fi
"${exec_prefix[@]}" build/morvane
