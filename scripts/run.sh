#!/usr/bin/env bash
# Builds Fundora and starts it on an empty data directory made for this run
# (or on DIR when one is given): scripts/run.sh [DIR]
set -euo pipefail
FUNDORA_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$FUNDORA_ROOT/scripts/packages.sh"

ensure_packages
build_fundora "$FUNDORA_ROOT/build" -DFUNDORA_BUILD_TESTS=OFF -DFUNDORA_BUILD_BENCH=OFF

data=${1:-"$FUNDORA_ROOT/run/$(date +%Y%m%d-%H%M%S)"}
mkdir -p "$data"
# The backup utility's outside compressor lives in the program directory.
install -m 0755 "$FUNDORA_ROOT/data/PKLAUNCH.PIF" "$data/PKLAUNCH.PIF"
echo "Program directory: $data"
echo "Backup utility:    $FUNDORA_ROOT/build/backup/vaultine --dir $data"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under a virtual X server (xvfb-run)."
    exec xvfb-run -a "$FUNDORA_ROOT/build/app/fundora" --dir "$data"
fi
exec "$FUNDORA_ROOT/build/app/fundora" --dir "$data"
