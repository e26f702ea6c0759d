#!/usr/bin/env bash
# One entry point for players and contributors:
#   scripts/quarnel.sh play   set up, build and start the game
#   scripts/quarnel.sh test   set up, build and run the whole test suite
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
*)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
