#!/usr/bin/env bash
# The grid benchmark in one command: starts a sandbox server, creates the
# tables once (100, 100k and 1M rows x 10 columns), and times in one run the
# grid query on the real main window, the whole open of a 100-row table, the
# mariadb client (--batch, --batch --quick) and a plain store_result loop.
#
#   bash bench/run.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target morvane_bench >/dev/null

sbx="$build/bench-sandbox"
eval "$("$root/scripts/sandbox.sh" start "$sbx" | sed 's/^/export /')"
trap '"$root/scripts/sandbox.sh" stop "$sbx" >/dev/null' EXIT
sql() { mariadb --no-defaults -uroot "$@"; }

# Ten columns of the usual kinds; GBK text in one of them.
make_table() {
    local name=$1 rows=$2
    sql -e "create database if not exists bench default character set gbk;
        create table if not exists bench.$name (
          id int not null primary key, qty int not null, big bigint not null,
          price decimal(12,2) not null, code char(8) not null, name varchar(20) not null,
          note varchar(40) default null, day date not null, stamp datetime not null, ratio double not null)
        engine=InnoDB default charset=gbk;"
    if [ "$(sql -N -e "select count(*) from bench.$name")" != "$rows" ]; then
        sql -e "set unique_checks=0; truncate bench.$name;
            insert into bench.$name select seq, seq % 1000, seq * 1000003, (seq % 100000) / 7,
              lpad(seq % 99999999, 8, '0'), concat('商品', seq), if(seq % 5 = 0, null, concat('备注 note ', seq)),
              '2024-01-01' + interval (seq % 3650) day, '2024-01-01 08:00:00' + interval seq second,
              seq / 3.0 from bench.seq_1_to_$rows;"
    fi
}
make_table r100 100
make_table r100k 100000
make_table r1m 1000000

bin="$build/bench/morvane_bench"
timed() { # label table command...: wall ms and peak RSS of a child process
    local label=$1 table=$2; shift 2
    local out
    out=$( { /usr/bin/time -f '%e %M' "$@" >/dev/null; } 2>&1 | tail -1)
    local secs=${out% *} kb=${out#* }
    awk -v l="$label" -v t="$table" -v s="$secs" -v k="$kb" \
        'BEGIN { printf "%s %s - %.1f %d -\n", l, t, s * 1000, k * 1024 }'
}

quiet() { "$@" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2); }
results=$(mktemp)
{
    quiet "$bin" open bench r100
    for t in r100 r100k r1m; do
        quiet "$bin" grid bench "$t"
        quiet "$bin" store bench "$t"
        timed mariadb_batch "$t" mariadb --no-defaults -uroot --batch -e "select * from bench.$t"
        timed mariadb_batch_quick "$t" mariadb --no-defaults -uroot --batch --quick -e "select * from bench.$t"
    done
} >"$results"

awk '
    BEGIN { printf "%-20s %-6s %8s %10s %14s %14s\n", "case", "table", "rows", "ms", "peak growth", "payload" }
    { printf "%-20s %-6s %8s %10s %14s %14s\n", $1, $2, $3, $4, $5, $6; ms[$1 "/" $2] = $4; grow[$1 "/" $2] = $5; pay[$1 "/" $2] = $6 }
    END {
        printf "\nopenTable (100 rows), median:            %.1f ms   (target < 50 ms)\n", ms["openTable_median/r100"]
        printf "1M x 10 fill / store_result loop:        %.2f     (target <= 1.5)\n", ms["runGridQuery/r1m"] / ms["store_result_loop/r1m"]
        printf "1M x 10 fill / mariadb --batch:          %.2f     (target <= 1.0)\n", ms["runGridQuery/r1m"] / ms["mariadb_batch/r1m"]
        printf "1M x 10 peak memory growth / payload:    %.2f     (target <= 2.5)\n", grow["runGridQuery/r1m"] / pay["runGridQuery/r1m"]
        printf "100k x 10 peak memory growth / payload:  %.2f\n", grow["runGridQuery/r100k"] / pay["runGridQuery/r100k"]
    }' "$results"
rm -f "$results"
