#!/usr/bin/env bash
# Builds everything from a clean build directory and runs every test.
set -euo pipefail
FUNDORA_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$FUNDORA_ROOT/scripts/packages.sh"

ensure_packages
build_dir="$FUNDORA_ROOT/build-test"
rm -rf "$build_dir"
build_fundora "$build_dir" -DFUNDORA_BUILD_TESTS=ON -DFUNDORA_BUILD_BENCH=ON

cd "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
