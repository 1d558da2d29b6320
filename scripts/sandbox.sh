#!/usr/bin/env bash
# A private MariaDB server for running and testing Morvane: its own data
# directory, a socket inside that directory and a loopback port, so it never
# touches a server the machine may already run.
#
#   scripts/sandbox.sh start DIR    start (initialising DIR on first use); prints the env lines
#   scripts/sandbox.sh stop DIR     stop the server started in DIR
#   scripts/sandbox.sh env DIR      print MYSQL_UNIX_PORT=... and MYSQL_TCP_PORT=...
#
# Clients find the server through the client library's own variables
# MYSQL_UNIX_PORT and MYSQL_TCP_PORT, which `env` prints.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop|env DIR" >&2; exit 2; }
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
sock="$dir/mysqld.sock"
pidfile="$dir/mysqld.pid"
portfile="$dir/port"
me=$(id -un)

pick_port() {
    local p
    for _ in $(seq 1 50); do
        p=$((20000 + RANDOM % 30000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return; fi
    done
    echo "no free port found" >&2; exit 1
}

running() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

print_env() {
    echo "MYSQL_UNIX_PORT=$sock"
    echo "MYSQL_TCP_PORT=$(cat "$portfile")"
}

case "$cmd" in
start)
    if running; then print_env; exit 0; fi
    command -v mariadbd >/dev/null || PATH=$PATH:/usr/sbin
    command -v mariadbd >/dev/null || { echo "mariadbd not found: run scripts/install-deps.sh" >&2; exit 1; }
    if [ ! -d "$dir/data/mysql" ]; then
        rm -rf "$dir/data"
        mariadb-install-db --no-defaults --datadir="$dir/data" --user="$me" \
            --auth-root-authentication-method=normal --skip-test-db \
            --skip-name-resolve >"$dir/install.log" 2>&1 \
            || { cat "$dir/install.log" >&2; exit 1; }
    fi
    [ -f "$portfile" ] || pick_port >"$portfile"
    rm -f "$sock"
    mariadbd --no-defaults --datadir="$dir/data" --socket="$sock" \
        --port="$(cat "$portfile")" --bind-address=127.0.0.1 --pid-file="$pidfile" \
        --user="$me" --log-error="$dir/error.log" --skip-log-bin \
        --innodb-buffer-pool-size=128M --innodb-log-file-size=48M \
        --max-allowed-packet=64M --skip-name-resolve >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
        if [ -S "$sock" ] && mariadb --no-defaults -uroot -S "$sock" -e 'select 1' >/dev/null 2>&1; then
            break
        fi
        sleep 0.1
    done
    if ! mariadb --no-defaults -uroot -S "$sock" -e 'select 1' >/dev/null 2>&1; then
        echo "the sandbox server did not start; its log:" >&2
        tail -n 30 "$dir/error.log" >&2 || true
        exit 1
    fi
    # The client library's default user is the login name: let it in without
    # a password, from the socket and from loopback.
    if [ "$me" != root ]; then
        mariadb --no-defaults -uroot -S "$sock" -e "
            create user if not exists '$me'@'localhost';
            create user if not exists '$me'@'127.0.0.1';
            grant all on *.* to '$me'@'localhost' with grant option;
            grant all on *.* to '$me'@'127.0.0.1' with grant option;"
    fi
    mariadb --no-defaults -uroot -S "$sock" -e "
        create user if not exists 'root'@'127.0.0.1';
        grant all on *.* to 'root'@'127.0.0.1' with grant option;"
    print_env
    ;;
stop)
    if running; then
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
    ;;
env)
    print_env
    ;;
*)
    echo "usage: $0 start|stop|env DIR" >&2; exit 2 ;;
esac
