#!/usr/bin/env bash
# Builds Fundora and starts it on your register: the same one every time
# (FUNDORA_DIR, else $XDG_DATA_HOME/fundora, else ~/.local/share/fundora),
# or on DIR when one is given: scripts/run.sh [DIR]
set -euo pipefail
FUNDORA_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$FUNDORA_ROOT/scripts/packages.sh"

ensure_packages
build_fundora "$FUNDORA_ROOT/build" -DFUNDORA_BUILD_TESTS=OFF -DFUNDORA_BUILD_BENCH=OFF

if [ $# -gt 0 ]; then
    data=$(mkdir -p "$1" && cd "$1" && pwd)
else
    data=${FUNDORA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/fundora}
    mkdir -p "$(dirname "$data")"
    [ -d "$data" ] || mkdir -m 0700 "$data"
fi
# The backup utility's outside compressor lives in the register's directory.
if [ ! -e "$data/PKLAUNCH.PIF" ]; then
    install -m 0700 "$FUNDORA_ROOT/data/PKLAUNCH.PIF" "$data/PKLAUNCH.PIF"
    echo "Installed the backup utility's compressor PKLAUNCH.PIF into $data"
fi
echo "Register:          $data"
echo "Backup utility:    $FUNDORA_ROOT/build/backup/vaultine --dir $data"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under a virtual X server (xvfb-run)."
    exec xvfb-run -a "$FUNDORA_ROOT/build/app/fundora" --dir "$data"
fi
exec "$FUNDORA_ROOT/build/app/fundora" --dir "$data"
