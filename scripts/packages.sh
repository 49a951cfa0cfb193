#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Sourced by run.sh and test.sh.
set -euo pipefail

FUNDORA_PACKAGES=(qt6-base-dev libofx-dev pkg-config qt6-svg-dev qt6-charts-dev libqt6opengl6-dev poppler-utils libsqlite3-dev libpq-dev qtkeychain-qt6-dev libgtest-dev libbenchmark-dev zstd cmake g++ make xvfb xauth clang-format git fonts-liberation2)

ensure_packages() {
    local missing=()
    for p in "${FUNDORA_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

build_fundora() {
    local build_dir=$1; shift
    cmake -S "$FUNDORA_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build_dir" -j "$(nproc)"
}
