#!/usr/bin/env bash
# One entry point for players and contributors:
#   scripts/quarnel.sh play   set up, build and start the game
#   scripts/quarnel.sh test   set up, build and run the whole test suite
#   scripts/quarnel.sh bench  set up, build, run every benchmark and write docs/performance.md
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
*)
    echo "usage: $0 play|test|bench" >&2
    exit 2
    ;;
esac
