#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz (or $BUILD) and runs
# each for $SECONDS_EACH seconds (60 unless set), one after the other. A
# finding stops that target and leaves its input in build-fuzz/findings/.
#
#   tests/fuzz/run.sh [target...]     targets: text gbk settings sqlname
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD:-build-fuzz}
seconds=${SECONDS_EACH:-60}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(text gbk settings sqlname)

cmake -S tests/fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/findings"
status=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    echo "== fuzz_$t for ${seconds}s"
    if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/findings/$t-" -print_final_stats=1 "$corpus" \
        >"$build/findings/$t.log" 2>&1; then
        echo "fuzz_$t found something:"
        grep -E 'ERROR|check failed|runtime error|Test unit written' "$build/findings/$t.log" | head -20
        status=1
    else
        grep -E 'stat::number_of_executed_units|cov:' "$build/findings/$t.log" | tail -2
    fi
done
exit $status
