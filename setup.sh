#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets Moviary up on a Debian machine.
#   ./setup.sh run    install what is missing, build, put a sample DVDs.mdb beside the
#                     program when none is there, and start Moviary
#   ./setup.sh test   install what is missing, build, and run every test
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config qt6-base-dev libgl-dev libsqlite3-dev sqlite3
          fp-utils libchm-dev libzip-dev fonts-dejavu-core fonts-liberation2 poppler-utils)
BUILD_DIR=${BUILD_DIR:-build}
# More options for CMake, e.g. CMAKE_OPTIONS=-DMOVIARY_WERROR=ON (split at spaces).
CMAKE_OPTIONS=${CMAKE_OPTIONS:-}

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}

install_missing() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "These Debian packages are missing: $missing" >&2
            echo "Install them as root (apt-get install $missing), or install sudo, then run this again." >&2
            exit 1
        fi
    fi
    "${sudo[@]}" apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq $missing
}

build() {
    # shellcheck disable=SC2086
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo $CMAKE_OPTIONS >/dev/null
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    build
    if [ ! -e "$BUILD_DIR/bin/DVDs.mdb" ]; then
        "$BUILD_DIR/bin/moviary-catalogue" --sample "$BUILD_DIR/bin/DVDs.mdb"
    fi
    exec "$BUILD_DIR/bin/moviary"
    ;;
test)
    install_missing
    build
    cd "$BUILD_DIR"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    ;;
*)
    echo "usage: ./setup.sh run | ./setup.sh test" >&2
    exit 2
    ;;
esac
