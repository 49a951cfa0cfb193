#!/usr/bin/env bash
# Builds Fundora and starts it from the build tree:
#   scripts/run.sh            on your register, the same one every time (FUNDORA_DIR,
#                             else $XDG_DATA_HOME/fundora, else ~/.local/share/fundora)
#   scripts/run.sh --sample   on a sample register to explore (build/sample-register)
#   scripts/run.sh DIR        on the register in DIR
set -euo pipefail
FUNDORA_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$FUNDORA_ROOT/scripts/packages.sh"

ensure_packages
build_fundora "$FUNDORA_ROOT/build" -DFUNDORA_BUILD_TESTS=OFF -DFUNDORA_BUILD_BENCH=OFF
fundora="$FUNDORA_ROOT/build/app/fundora"

arguments=()
if [ "${1:-}" = "--server" ]; then
    # A register on a PostgreSQL server (see the README); its settings stay in the user's own directory.
    [ -n "${2:-}" ] || { echo "usage: scripts/run.sh --server URI" >&2; exit 2; }
    arguments=(--server "$2")
    data="$2 (schema ${FUNDORA_SERVER_SCHEMA:-fundora})"
elif [ "${1:-}" = "--sample" ]; then
    data="$FUNDORA_ROOT/build/sample-register"
    compgen -G "$data/*.TPS" >/dev/null || "$fundora" --sample "$data"
    arguments=(--dir "$data")
elif [ $# -gt 0 ]; then
    data=$(mkdir -p "$1" && cd "$1" && pwd)
    arguments=(--dir "$data")
else
    data=${FUNDORA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/fundora}
fi
echo "Register:          $data"
[ "${1:-}" = "--server" ] || echo "Backup utility:    $FUNDORA_ROOT/build/backup/vaultine ${arguments[*]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under a virtual X server (xvfb-run)."
    exec xvfb-run -a "$fundora" "${arguments[@]}"
fi
exec "$fundora" "${arguments[@]}"
