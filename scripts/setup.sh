#!/usr/bin/env bash
# Installs every Debian package Quarnel needs to build, run and test. Quick when all are present:
# apt-get update runs only when something is missing.
#   --fuzz   also clang and its libFuzzer runtime, and python3 for packing seed models
#   --web    also Emscripten, and Chromium with python3 for the browser build's test (scripts/web.sh)
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache
    libsdl2-dev libopenal-dev libepoxy-dev
    libtinygltf-dev libstb-dev nlohmann-json3-dev libglm-dev
    libfreetype-dev fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev
    libgl1-mesa-dri libegl-mesa0 xvfb xauth xdotool mesa-utils sox weston
    dpkg-dev file lintian appstream desktop-file-utils x11-xkb-utils
)
case "${1:-}" in
--fuzz) packages+=(clang-14 libclang-rt-14-dev python3) ;;
--web) packages+=(emscripten chromium python3) ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
