#!/usr/bin/env bash
# Checks that no folder includes a header of a higher layer:
#   platform <- core <- engine <- features <- app, and backup on platform alone;
# and that no source of a target without windows (an add_library(..._logic) of
# platform/, core/, engine/ and backup/) includes a Qt Widgets header.
# A feature may use the features before it in FEATURES (never one after it),
# so features never depend on each other in a circle.
# Usage: scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

FEATURES=(memos transactions statements accounts reports planning import sample moving)

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
# Qt Widgets' headers: the installed ones, else the usual names.
widgets_dir=$(ls -d /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets 2>/dev/null | head -n 1 || true)
if [ -n "$widgets_dir" ]; then
    widget_headers=" $(cd "$widgets_dir" && ls | grep '^Q' | tr '\n' ' ') "
else
    widget_headers=" QApplication QWidget QDialog QMessageBox QPushButton QLabel QLineEdit QLayout QBoxLayout QHBoxLayout QVBoxLayout QMenu QMainWindow QAbstractItemView QTableView "
fi
for folder in platform core engine backup; do
    cmake_file="$root/$folder/CMakeLists.txt"
    [ -f "$cmake_file" ] || continue
    # The sources listed in the add_library(<name>_logic ...) block.
    while IFS= read -r source; do
        for file in "$root/$folder/$source" "$root/$folder/${source%.cpp}.h"; do
            [ -f "$file" ] || continue
            while IFS= read -r line; do
                lineno=${line%%:*}
                header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\(QtWidgets\/\)\{0,1\}\([A-Za-z]*\)>.*/\2/p' <<<"${line#*:}")
                [ -n "$header" ] || continue
                case $widget_headers in
                    *" $header "*) echo "layer error: ${file#"$root"/}:$lineno: a target without windows must not include <$header>"; status=1 ;;
                esac
            done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$file" || true)
        done
    done < <(awk '/add_library\([a-z_]*_logic[[:space:]]/ {inside=1; next} inside && /\)/ {inside=0} inside {print $1}' "$cmake_file")
done
[ $status -eq 0 ] && echo "layers: every include goes to the same or a lower layer, and no target without windows includes a widget"
exit $status
