#!/usr/bin/env bash
# The grid benchmark in one command: starts a sandbox server, creates the
# tables once, then runs ROUNDS interleaved rounds (default 7). In each round
# every program case runs next to the mariadb client on the same statements
# (the order alternates from round to round), and the figures are the medians
# over rounds of each case and of each program/reference ratio taken within
# its round, which cancels much of the noise of a loaded machine.
#
#   bash bench/run.sh [BUILD_DIR [ROUNDS]]      (default: build 7)
#
# Stops starting rounds after 8 minutes and reports the rounds done.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
rounds=${2:-7}
if [ -z "${MORVANE_BENCH_NO_BUILD:-}" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)" --target morvane_bench >/dev/null
fi

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
make_table r1m 1000000
# 1 000 int columns with Chinese names, 100 rows.
if [ "$(sql -N -e "select count(*) from information_schema.columns where table_schema = 'bench' and table_name = 'c1000'")" != 1000 ]; then
    cols=$(seq -f '字段%04g int not null default 0' 1 1000 | paste -sd,)
    sql -e "drop table if exists bench.c1000; create table bench.c1000 ($cols) engine=InnoDB default charset=gbk;
        insert into bench.c1000 (字段0001) select seq from bench.seq_1_to_100;"
fi

bin="$build/bench/morvane_bench"
quiet() { timeout 120 "$@" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints -e 'This plugin does not support' >&2); }
# mariadb, as a user would run it for the same statements: wall ms, and the
# client's CPU ms (user + system, 10 ms resolution).
reference() {
    local name=$1 statements=$2 t0 t1 cpu
    cpu=$(mktemp)
    t0=$EPOCHREALTIME
    timeout 120 /usr/bin/time -o "$cpu" -f '%U %S' \
        mariadb --no-defaults -uroot --batch --quick --default-character-set=gbk -e "$statements" >/dev/null
    t1=$EPOCHREALTIME
    awk -v n="$name" -v a="$t0" -v b="$t1" '{ c = n; sub(/_ms$/, "_cpu_ms", c)
        printf "%s %.3f\n%s %.3f\n", n, (b - a) * 1000, c, ($1 + $2) * 1000 }' "$cpu"
    rm -f "$cpu"
}
three() { echo "show full columns from bench.$1; select * from bench.$1 limit 100; show create table bench.$1"; }

cases=(
    "quiet $bin fill bench r1m"
    "quiet $bin lib bench r1m"
    "reference ref_fill_ms 'select * from bench.r1m'"
    "quiet $bin open bench r100 | sed 's/^open/r100_open/'"
    "reference ref_r100_open_ms \"$(three r100)\""
    "quiet $bin open bench c1000 | sed 's/^open/c1000_open/'"
    "reference ref_c1000_open_ms \"$(three c1000)\""
    "quiet $bin tree - -"
)
results=$(mktemp)
start=$SECONDS
for ((r = 1; r <= rounds; r++)); do
    if ((SECONDS - start > 480)); then
        echo "stopped after $((r - 1)) rounds (time limit)" >&2
        break
    fi
    order=("${cases[@]}")
    if ((r % 2 == 0)); then # the other order in every second round
        order=()
        for ((i = ${#cases[@]} - 1; i >= 0; i--)); do order+=("${cases[$i]}"); done
    fi
    for c in "${order[@]}"; do eval "$c"; done | sed "s/^/$r /" >>"$results"
    echo "round $r done ($((SECONDS - start)) s)" >&2
done

awk '
    function median(key,   n, i, j, v, t) {
        n = 0
        for (i = 1; i <= maxround; i++) if ((i, key) in val) v[++n] = val[i, key]
        for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        if (n == 0) return "n/a"
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    function ratio(a, b, key,   i) {
        for (i = 1; i <= maxround; i++) if ((i, a) in val && (i, b) in val) val[i, key] = val[i, a] / val[i, b]
    }
    { val[$1, $2] = $3; if ($1 > maxround) maxround = $1; keys[$2] = 1 }
    END {
        ratio("fill_ms", "ref_fill_ms", "fill_vs_mariadb")
        ratio("lib_ms", "ref_fill_ms", "lib_vs_mariadb")
        ratio("fill_cpu_ms", "ref_fill_cpu_ms", "fill_cpu_vs_mariadb")
        ratio("lib_cpu_ms", "ref_fill_cpu_ms", "lib_cpu_vs_mariadb")
        ratio("r100_open_first_ms", "ref_r100_open_ms", "r100_open_first_vs_mariadb")
        ratio("c1000_open_first_ms", "ref_c1000_open_ms", "c1000_open_first_vs_mariadb")
        ratio("c1000_open_again_ms", "ref_c1000_open_ms", "c1000_open_again_vs_mariadb")
        printf "rounds: %d\n", maxround
        for (i = 1; i <= maxround; i++) {
            printf "round %d:", i
            split("fill_ms ref_fill_ms lib_ms r100_open_first_ms c1000_open_first_ms c1000_open_again_ms", show, " ")
            for (k = 1; k <= 6; k++) printf " %s=%s", show[k], val[i, show[k]]
            printf "\n"
        }
        printf "\nmedians over rounds:\n"
        n = split("fill_ms fill_gap_ms ref_fill_ms fill_vs_mariadb lib_ms lib_vs_mariadb " \
                  "fill_cpu_ms lib_cpu_ms ref_fill_cpu_ms fill_cpu_vs_mariadb lib_cpu_vs_mariadb fill_growth_ratio " \
                  "lib_growth_ratio fill_rows fill_payload " \
                  "r100_open_first_ms r100_open_first_gap_ms r100_open_again_ms r100_open_again_gap_ms " \
                  "ref_r100_open_ms r100_open_first_vs_mariadb " \
                  "c1000_open_first_ms c1000_open_first_gap_ms c1000_open_again_ms c1000_open_again_gap_ms " \
                  "ref_c1000_open_ms c1000_open_first_vs_mariadb c1000_open_again_vs_mariadb c1000_open_columns " \
                  "tree_databases_ms tree_tables_ms", names, " ")
        for (k = 1; k <= n; k++) printf "  %-30s %s\n", names[k], median(names[k])
    }' "$results"
rm -f "$results"
