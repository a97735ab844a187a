#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# then configures and builds. Sourced by run.sh and test.sh.
set -euo pipefail

KORVANE_PACKAGES=(
    cmake ninja-build g++ pkg-config python3
    clang libclang-rt-14-dev clang-format
    libgtest-dev
    libx11-dev libxext-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra
    libpng-dev zlib1g-dev
    libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
    ffmpeg xvfb xdotool x11-utils xdg-utils
    gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good imagemagick
    desktop-file-utils appstream
    openbox
)

korvane_install_packages() {
    local missing=()
    for p in "${KORVANE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages. Run this, then try again:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
}

# korvane_build DIR [cmake args...]
korvane_build() {
    local dir=$1
    shift
    cmake -S "$KORVANE_ROOT" -B "$KORVANE_ROOT/$dir" -G Ninja "$@" >/dev/null
    cmake --build "$KORVANE_ROOT/$dir"
}

KORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
