#!/usr/bin/env bash
# Checks that no folder includes a header of a higher layer:
#   platform <- core <- engine <- features <- app, and backup on platform alone.
# A feature may use the features before it in FEATURES (never one after it),
# so features never depend on each other in a circle.
# Usage: scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

FEATURES=(memos transactions accounts statements reports import sample)

allowed_for() {
    case $1 in
        platform) echo "platform" ;;
        core) echo "platform core" ;;
        engine) echo "platform core engine" ;;
        app) echo "platform core engine ${FEATURES[*]} app" ;;
        backup) echo "platform backup" ;;
        *)
            local out="platform core engine" f
            for f in "${FEATURES[@]}"; do
                out="$out $f"
                [ "$f" = "$1" ] && { echo "$out"; return; }
            done
            echo "" ;;
    esac
}

status=0
for folder in platform core engine "${FEATURES[@]}" app backup; do
    [ -d "$root/$folder" ] || continue
    allowed=" $(allowed_for "$folder") "
    while IFS= read -r line; do
        file=${line%%:*}
        rest=${line#*:}
        lineno=${rest%%:*}
        target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"${rest#*:}")
        [ -n "$target" ] || continue
        [ -d "$root/$target" ] || continue
        case $allowed in
            *" $target "*) ;;
            *) echo "layer error: ${file#"$root"/}:$lineno: $folder must not include $target/"; status=1 ;;
        esac
    done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$folder" || true)
done
[ $status -eq 0 ] && echo "layers: every include goes to the same or a lower layer"
exit $status
