#!/usr/bin/env bash
# The layer check must refuse a deliberate wrong include and accept the right ones.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{platform,core,engine,memos,accounts,app,backup}
echo '#pragma once' > "$tree/platform/Clock.h"
echo '#include "platform/Clock.h"' > "$tree/core/Record.h"
echo '#include "core/Record.h"' > "$tree/engine/List.h"
echo '#include "memos/Memo.h"' > "$tree/accounts/Account.h"
echo '#pragma once' > "$tree/memos/Memo.h"
echo '#include "accounts/Account.h"' > "$tree/app/Frame.cpp"
echo '#include "platform/Clock.h"' > "$tree/backup/Run.cpp"
echo '#include <QWidget>' > "$tree/backup/Window.cpp"
printf 'add_library(fundora_backup_logic STATIC\n  Run.cpp\n)\nadd_library(fundora_backup STATIC\n  Window.cpp\n)\n' > "$tree/backup/CMakeLists.txt"
"$check" "$tree" >/dev/null || { echo "FAIL: a tree with right includes was refused"; exit 1; }

expect_refused() {
    local file=$1 include=$2
    local saved
    saved=$(cat "$tree/$file")
    case $include in
        "<"*) echo "#include $include" >> "$tree/$file" ;;
        *) echo "#include \"$include\"" >> "$tree/$file" ;;
    esac
    if out=$("$check" "$tree" 2>&1); then
        echo "FAIL: $file including $include was accepted"; exit 1
    fi
    grep -q "$file" <<<"$out" || { echo "FAIL: the message does not name $file: $out"; exit 1; }
    printf '%s\n' "$saved" > "$tree/$file"
}
expect_refused platform/Clock.h core/Record.h
expect_refused core/Record.h engine/List.h
expect_refused engine/List.h accounts/Account.h
expect_refused memos/Memo.h accounts/Account.h
expect_refused accounts/Account.h app/Frame.h
expect_refused backup/Run.cpp core/Record.h
# A target without windows (add_library(..._logic)) includes no widget; its windows' target may.
expect_refused backup/Run.cpp "<QWidget>"
expect_refused backup/Run.cpp "<QtWidgets/QPushButton>"
echo "layer check: wrong includes and widgets in targets without windows refused, right ones accepted"
