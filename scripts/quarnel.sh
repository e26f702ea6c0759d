#!/usr/bin/env bash
# One entry point for players and contributors:
#   scripts/quarnel.sh play   set up, build and start the game
#   scripts/quarnel.sh test   set up, build and run the whole test suite
#   scripts/quarnel.sh sweep  break every content file in turn three ways and play the game on it
#   scripts/quarnel.sh soak [FRAMES]  play the level again and again for FRAMES frames (100000)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
jobs="$(nproc 2>/dev/null || echo 2)"

setup_and_build() {
    bash "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$jobs"
}

# Tests open real windows: use the desktop when there is one, otherwise a virtual X server.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1280x720x24" "$@"
    fi
}

case "${1:-}" in
play)
    setup_and_build
    shift
    exec "$build/quarnel" "$@"
    ;;
test)
    setup_and_build
    cd "$build"
    with_display ctest --output-on-failure -j "$jobs"
    ;;
sweep)
    setup_and_build
    cd "$build"
    # Two shards at once: each plays the recorded run once itself, then its half of the cases.
    export QUARNEL_SWEEP=1
    sweep_shards() {
        local pids=() status=0
        for shard in 0 1; do
            GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard ./quarnel_tests_game \
                --gtest_filter='Sweep/BrokenContent.*' >"sweep-$shard.log" 2>&1 &
            pids+=($!)
        done
        for pid in "${pids[@]}"; do
            wait "$pid" || status=1
        done
        grep -h '^\[broken content\]' sweep-0.log sweep-1.log | sort
        grep -h -A8 '^\[  FAILED  \]\|Failure$' sweep-0.log sweep-1.log || true
        echo "sweep logs: $build/sweep-0.log $build/sweep-1.log"
        return $status
    }
    # Both run the game on SDL's offscreen driver when there is no display.
    sweep_shards
    ;;
soak)
    setup_and_build
    cd "$build"
    QUARNEL_SOAK_FRAMES="${2:-100000}" ./quarnel_tests_game --gtest_filter='Soak.*'
    ;;
*)
    echo "usage: $0 play|test|sweep|soak [FRAMES]" >&2
    exit 2
    ;;
esac
