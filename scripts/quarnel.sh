#!/usr/bin/env bash
# One entry point for players and contributors:
#   scripts/quarnel.sh play   set up, build and start the game
#   scripts/quarnel.sh test   set up, build and run the whole test suite
#   scripts/quarnel.sh bench  set up, build, run every benchmark and write docs/performance.md
#   scripts/quarnel.sh sweep  break every content file in turn three ways and play the game on it
#   scripts/quarnel.sh soak [FRAMES]  play the level again and again for FRAMES frames (100000)
#   scripts/quarnel.sh sanitize [fast]
#                             the suite (or only its fast suites) under ASan + UBSan, in build-asan/
#   scripts/quarnel.sh web [--no-serve]
#                             build the browser version into build-web/ and serve it on 127.0.0.1
#   scripts/quarnel.sh fuzz [TARGET] [SECONDS]
#                             run one fuzz target (or all, in turn) for SECONDS each (600), in build-fuzz/
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
jobs="$(nproc 2>/dev/null || echo 2)"

setup_and_build() {
    bash "$root/scripts/setup.sh" "$@"
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

# Sanitizer reports end the run; leaks of the libraries below the game are suppressed (each entry
# of the file says why).
use_sanitizer_options() {
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
}

# The suites that run in seconds: engine, content and the regression corpus, not the game runs.
fast_suites=(math platform graphics audio model content regressions)

sanitize() {
    local asan="$root/build-asan"
    bash "$root/scripts/setup.sh"
    cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_SANITIZE=ON >/dev/null
    if [ "${1:-}" = "fast" ]; then
        cmake --build "$asan" -j "$jobs" --target "${fast_suites[@]/#/quarnel_tests_}"
    else
        cmake --build "$asan" -j "$jobs"
    fi
    use_sanitizer_options
    cd "$asan"
    if [ "${1:-}" = "fast" ]; then
        local labels
        labels="^($(IFS='|'; echo "${fast_suites[*]}"))\$"
        with_display ctest --output-on-failure -j "$jobs" -L "$labels"
    else
        with_display ctest --output-on-failure -j "$jobs"
    fi
}

# Seeds for one target: the generated content the target reads, the hand-made inputs of
# tests/data/fuzz-seeds and every input that once crashed it.
fuzz_seeds() {
    local target="$1" fuzz="$2" seeds="$3"
    rm -rf "$seeds" && mkdir -p "$seeds"
    local content_files=()
    case "$target" in
    model) python3 "$root/scripts/pack-glb.py" "$seeds" "$fuzz"/Data/*/*.gltf "$fuzz"/Data/*/*/*.gltf \
        "$root"/tests/data/gltf/*.gltf ;;
    texture) mapfile -t content_files < <(find "$fuzz/Data" \( -name '*.png' -o -name '*.jpg' \) -size -40k) ;;
    sound) mapfile -t content_files < <(find "$fuzz/Data" -name '*.wav' -size -40k) ;;
    font) content_files=("$fuzz"/Data/Font/*.dat) ;;
    level_start) content_files=("$fuzz/TxtData/data.txt") ;;
    level_enemies) content_files=("$fuzz/TxtData/Enemydata.txt") ;;
    level_drums) content_files=("$fuzz/TxtData/drumdata.txt") ;;
    level_breakers) content_files=("$fuzz/TxtData/breaker.txt") ;;
    level_stands) content_files=("$fuzz/TxtData/installatioStand.txt") ;;
    esac
    local file
    for file in "${content_files[@]}" "$root/tests/data/fuzz-seeds/$target"/* "$root/tests/data/regressions/$target"/*; do
        [ -f "$file" ] && cp "$file" "$seeds/"
    done
    return 0
}

# Runs every target named (all when none) for `seconds` each; the corpus each one grows is kept in
# build-fuzz/corpus/, crashing inputs land in build-fuzz/crashes/.
fuzz() {
    local fuzz="$root/build-fuzz" seconds="${2:-600}"
    bash "$root/scripts/setup.sh" --fuzz
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_FUZZ=ON \
        >/dev/null
    cmake --build "$fuzz" -j "$jobs" --target fuzzers content
    use_sanitizer_options
    local targets=()
    if [ -n "${1:-}" ] && [ "$1" != "all" ]; then
        targets=("$1")
    else
        mapfile -t targets < <(cd "$fuzz" && ls fuzz_* | sed 's/^fuzz_//')
    fi
    local target failed=()
    for target in "${targets[@]}"; do
        if [ ! -x "$fuzz/fuzz_$target" ]; then
            echo "no fuzz target '$target'" >&2
            exit 2
        fi
        fuzz_seeds "$target" "$fuzz" "$fuzz/seeds/$target"
        mkdir -p "$fuzz/corpus/$target" "$fuzz/crashes/$target"
        echo "== fuzz_$target for $seconds s"
        # stdout is closed: the model reader reports its progress there.
        if ! "$fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -max_len=131072 \
            -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$fuzz/crashes/$target/" \
            "$fuzz/corpus/$target" "$fuzz/seeds/$target" 2> "$fuzz/fuzz_$target.log"; then
            failed+=("$target")
        fi
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|^==[0-9]+==ERROR|^SUMMARY' "$fuzz/fuzz_$target.log" || true
    done
    if [ ${#failed[@]} -gt 0 ]; then
        echo "fuzz targets that found a crash: ${failed[*]} (inputs in $fuzz/crashes/, logs in $fuzz/fuzz_*.log)" >&2
        exit 1
    fi
}

# Every benchmark program of the build, each writing its own JSON with per-frame series beside
# them; then the table, docs/performance.md and its chart.
bench() {
    setup_and_build
    local results="$build/bench-results"
    rm -rf "$results"
    mkdir -p "$results/series"
    cd "$build"
    with_display bash -c '
        results="$1"
        shift
        # Commas separate context entries, so the renderer name keeps none.
        renderer="$(glxinfo -B 2>/dev/null | sed -n "s/^OpenGL renderer string: //p" | tr , ";")"
        for program in "$@"; do
            QUARNEL_BENCH_SERIES_DIR="$results/series" "$program" --benchmark_format=console \
                --benchmark_out="$results/$(basename "$program").json" --benchmark_out_format=json \
                --benchmark_context=gl_renderer="${renderer:-unknown}"
        done' bench "$results" "$build"/quarnel_bench "$build"/quarnel_bench_*
    local series=() file
    for file in "$results"/series/*.json; do
        [ -e "$file" ] && series+=(--series "$file")
    done
    "$build/quarnel_benchreport" --markdown "$root/docs/performance.md" --svg "$root/docs/performance-frames.svg" \
        --notes "$root/bench/performance-notes.md" "${series[@]}" "$results"/*.json
    echo "wrote $root/docs/performance.md"
}

# Two shards at once: each plays the recorded run once itself, then its half of the cases. Both
# run the game on SDL's offscreen driver when there is no display.
sweep() {
    setup_and_build
    cd "$build"
    export QUARNEL_SWEEP=1
    local pids=() status=0 shard pid
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

case "${1:-}" in
play)
    setup_and_build
    shift
    exec "$build/quarnel" "$@"
    ;;
test)
    # The suite's browser test builds the web version too.
    setup_and_build --web
    cd "$build"
    with_display ctest --output-on-failure -j "$jobs"
    ;;
bench)
    bench
    ;;
sweep)
    sweep
    ;;
soak)
    setup_and_build
    cd "$build"
    QUARNEL_SOAK_FRAMES="${2:-100000}" ./quarnel_tests_game --gtest_filter='Soak.*'
    ;;
sanitize)
    sanitize "${2:-}"
    ;;
fuzz)
    fuzz "${2:-}" "${3:-}"
    ;;
web)
    exec bash "$root/scripts/web.sh" "${2:-}"
    ;;
*)
    echo "usage: $0 play|test|bench|sweep|soak [FRAMES]|sanitize [fast]|fuzz [TARGET] [SECONDS]|web [--no-serve]" >&2
    exit 2
    ;;
esac
