#!/usr/bin/env bash
# Builds the browser version into build-web/: index.html, quarnel.js, quarnel.wasm and quarnel.data
# (the generated content tree, preloaded), a static folder any web host can serve. Then serves it on
# 127.0.0.1 and prints the address, unless given --no-serve.
#   build-web/native/  the content generator, built with the machine's own compiler
#   build-web/sdl2/    SDL2 for Emscripten, from Debian's source package (built once, ~4 minutes)
#   build-web/obj/     the Emscripten build of the game
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
web="$root/build-web"
jobs="$(nproc 2>/dev/null || echo 2)"
# Debian's Emscripten finds its JavaScript modules (acorn) there when the node on PATH is not Debian's.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

# The first Debian mirror and release the machine's apt reads, as "URI SUITE".
apt_mirror() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '/^URIs:/ { uri = $2 } /^Suites:/ { suite = $2 }
             /^$/ { if (uri && suite) { print uri, suite; found = 1; exit } uri = ""; suite = "" }
             END { if (!found && uri && suite) print uri, suite }' "$file"
        return 0
    done
    awk '$1 == "deb" && $2 !~ /^\[/ { print $2, $3; exit }' /etc/apt/sources.list 2>/dev/null
}

# SDL2's Emscripten port would download its source; Debian's own source package builds the same
# drivers (video, audio, joystick). apt reads a private deb-src entry: the system's apt is untouched.
build_sdl2() {
    local sdl="$web/sdl2"
    [ -f "$sdl/install/lib/libSDL2.a" ] && return 0
    local apt="$sdl/apt" mirror
    mirror="$(apt_mirror)"
    if [ -z "$mirror" ]; then
        echo "no Debian mirror found in /etc/apt to fetch SDL2's source from" >&2
        exit 1
    fi
    rm -rf "$sdl" && mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial" "$sdl/source"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        ${mirror} > "$apt/sources/debian-src.sources"
    local options=(-o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$apt/sources"
                   -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")
    apt-get "${options[@]}" update -qq
    (cd "$sdl/source" && apt-get "${options[@]}" source --download-only libsdl2)
    dpkg-source -x "$sdl"/source/libsdl2_*.dsc "$sdl/source/libsdl2" >/dev/null
    nice -n 15 emcmake cmake -S "$sdl/source/libsdl2" -B "$sdl/build" -DCMAKE_BUILD_TYPE=Release \
        -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DCMAKE_INSTALL_PREFIX="$sdl/install" >/dev/null
    nice -n 15 cmake --build "$sdl/build" -j "$jobs"
    cmake --install "$sdl/build" >/dev/null
}

# The content tree comes from the generator run natively: the same files the native build reads.
build_content() {
    cmake -S "$root" -B "$web/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    nice -n 15 cmake --build "$web/native" -j "$jobs" --target content
}

build_game() {
    nice -n 15 emcmake cmake -S "$root" -B "$web/obj" -DCMAKE_BUILD_TYPE=Release \
        -DSDL2_DIR="$web/sdl2/install/lib/cmake/SDL2" -DQUARNEL_WEB_CONTENT="$web/native" \
        -DQUARNEL_WEB_SITE="$web" >/dev/null
    nice -n 15 cmake --build "$web/obj" -j "$jobs" --target quarnel
}

serve=1
[ "${1:-}" = "--no-serve" ] && serve=0

bash "$root/scripts/setup.sh" --web
mkdir -p "$web"
build_sdl2
build_content
build_game
ls -l "$web"/index.html "$web"/quarnel.js "$web"/quarnel.wasm "$web"/quarnel.data

if [ "$serve" = 1 ]; then
    port="${QUARNEL_WEB_PORT:-8080}"
    echo "Quarnel in a browser: http://127.0.0.1:$port/"
    cd "$web" && exec python3 -m http.server "$port" --bind 127.0.0.1
fi
