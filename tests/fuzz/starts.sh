#!/usr/bin/env bash
# Starts the real program many times on one virtual display with a window
# manager, to catch a start that dies before its window shows. Each start is
# closed as a user would (alt+F4 through openbox) once it shows a window, or
# killed after $LIMIT seconds; a start that ends any other way is kept with
# its output in $OUT.
#
#   tests/fuzz/starts.sh [program] [count]     (build-asan/morvane, 200)
#
# The program reaches whatever server MYSQL_UNIX_PORT / MYSQL_TCP_PORT and its
# configuration name; unset them to start with no server reachable. WM_RACE=1
# restarts the window manager along with each start, so the display is left
# without clients between starts: without -noreset in XVFB_ARGS, Xvfb then
# resets and refuses connections for a moment, and Qt aborts ("could not
# connect to display").
set -uo pipefail
cd "$(dirname "$0")/../.."
self=$PWD/tests/fuzz/starts.sh
program=$(realpath "${1:-build-asan/morvane}")
count=${2:-200}
export LIMIT=${LIMIT:-10} OUT=${OUT:-$PWD/build-asan/starts}
mkdir -p "$OUT"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
[ -f tests/lsan.supp ] && export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}

inner() {
    local program=$1 count=$2 bad=0
    openbox >/dev/null 2>&1 &
    local wm=$!
    sleep 1
    for i in $(seq 1 "$count"); do
        local log="$OUT/start-$i.log"
        if [ "${WM_RACE:-0}" = 1 ]; then
            # The window manager starts along with the program, as in a
            # session that is still coming up.
            kill "$wm" 2>/dev/null
            wait "$wm" 2>/dev/null
            openbox >/dev/null 2>&1 &
            wm=$!
        fi
        "$program" >"$log" 2>&1 &
        local pid=$! shown=0 start=$SECONDS
        while kill -0 "$pid" 2>/dev/null && [ $((SECONDS - start)) -lt "$LIMIT" ]; do
            local win
            win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
            if [ -n "$win" ]; then
                shown=1
                sleep 0.3
                xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4 2>/dev/null
                # A modal window closes first; close whatever shows next.
                for _ in 1 2 3 4 5 6 7 8 9 10; do
                    kill -0 "$pid" 2>/dev/null || break
                    sleep 0.3
                    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
                    [ -n "$win" ] && xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4 2>/dev/null
                done
                break
            fi
            sleep 0.05
        done
        local rc=0
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid"
            wait "$pid"
            rc=$?
            [ "$shown" = 1 ] || { echo "start $i: no window within ${LIMIT}s"; bad=$((bad + 1)); continue; }
        else
            wait "$pid"
            rc=$?
        fi
        if [ "$shown" = 0 ] || { [ "$rc" != 0 ] && [ "$rc" != 143 ]; }; then
            echo "start $i: exit $rc, window shown: $shown (log kept: $log)"
            bad=$((bad + 1))
        else
            rm -f "$log"
        fi
    done
    kill "$wm" 2>/dev/null
    echo "$count starts, $bad bad"
    [ "$bad" = 0 ]
}
if [ "${STARTS_INNER:-}" = 1 ]; then
    inner "$program" "$count"
else
    STARTS_INNER=1 xvfb-run -a -s "${XVFB_ARGS:--screen 0 1400x900x24}" bash "$self" "$program" "$count"
fi
