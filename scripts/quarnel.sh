#!/usr/bin/env bash
# One entry point for players and contributors:
#   scripts/quarnel.sh play   set up, build and start the game
#   scripts/quarnel.sh test   set up, build and run the whole test suite
#   scripts/quarnel.sh bench  set up, build, run every benchmark and write docs/performance.md
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
bench)
    setup_and_build
    results="$build/bench-results"
    rm -rf "$results"
    mkdir -p "$results/series"
    cd "$build"
    # Every benchmark program of the build, each writing its own JSON; per-frame series beside them.
    with_display bash -c '
        results="$1"
        shift
        # Commas separate context entries, so the renderer name keeps none.
        renderer="$(glxinfo -B 2>/dev/null | sed -n "s/^OpenGL renderer string: //p" | tr , ";")"
        for program in "$@"; do
            QUARNEL_BENCH_SERIES_DIR="$results/series" "$program" --benchmark_format=console \
                --benchmark_out="$results/$(basename "$program").json" --benchmark_out_format=json \
                --benchmark_context=gl_renderer="${renderer:-unknown}"
        done' bench "$results" "$build"/quarnel_bench*
    series=()
    for file in "$results"/series/*.json; do
        [ -e "$file" ] && series+=(--series "$file")
    done
    "$build/quarnel_benchreport" --markdown "$root/docs/performance.md" --svg "$root/docs/performance-frames.svg" \
        --notes "$root/bench/performance-notes.md" "${series[@]}" "$results"/*.json
    echo "wrote $root/docs/performance.md"
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
    echo "usage: $0 play|test|bench|sweep|soak [FRAMES]" >&2
    exit 2
    ;;
esac
