#!/usr/bin/env bash
# Backup and restore of a register on a server holding TRANSACTIONS
# transactions (1,000,000 by default) by vaultine, beside pg_dump and
# pg_restore of the same schema, all in one run on a server of the script's
# own (scripts/test-server.sh): compressed against pg_dump's custom format,
# and stored as it is against the same without compression.
# Usage: bench/server_backup_throughput.sh BUILD_DIR [TRANSACTIONS]
set -euo pipefail
build=$(cd "${1:?usage: server_backup_throughput.sh BUILD_DIR [TRANSACTIONS]}" && pwd)
n=${2:-1000000}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
server="/tmp/fundora-bench-server-$$" # beside the work directory: the server's own user must reach it
trap 'bash "$here/scripts/test-server.sh" stop "$server" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
bash "$here/scripts/test-server.sh" start "$server" >/dev/null
uri=$(bash "$here/scripts/test-server.sh" uri "$server")
export FUNDORA_SERVER_SCHEMA=bench XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
mkdir -p "$work/data/fundora"
cp "$here/data/PKLAUNCH.PIF" "$work/data/fundora/"

# The register: the sample's tables and records moved onto the server, then
# the transactions filled to N in one statement (the kept totals follow by their trigger).
"$build/app/fundora" --sample "$work/sample" >/dev/null
"$build/app/fundora" --dir "$work/sample" --copy-to "$uri" >/dev/null
psql -q -v ON_ERROR_STOP=1 "$uri" <<SQL
TRUNCATE bench."Transactions", bench."Transactions_Totals";
INSERT INTO bench."Transactions" ("id", "seq", "rowversion", "SysID", "DateofTransaction", "TransactionDescription",
    "TransactionType", "TransactionAmount")
  SELECT i, i, 1, (i * 7919) % 3 + 1, 80000 + (i * 104729) % 3650, 'Purchase ' || i,
         substr('CPIFAB', ((i * 31) % 6)::int + 1, 1), (i * 48271) % 100000 FROM generate_series(1::bigint, $n) AS i;
VACUUM ANALYZE bench."Transactions";
SQL
size=$(psql -At "$uri" -c "SELECT pg_total_relation_size('bench.\"Transactions\"') / 1048576")
echo "register: $n transactions on the server (the table and its indexes: $size MB)"

now() { date +%s.%N; }
seconds() { python3 -c "print(f'{$2 - $1:.2f}')"; }
# run LABEL COMMAND...: one timed run, its seconds printed and kept in $last.
run() {
    local label=$1; shift
    sync; local t0; t0=$(now)
    "$@" >"$work/out.log" 2>&1 || { cat "$work/out.log"; exit 1; }
    local t1; t1=$(now)
    last=$(seconds "$t0" "$t1")
    printf '%-52s %7s s\n' "$label" "$last"
}
ratio() { python3 -c "print(f'{$1 / $2:.2f}')"; }

for kind in plain compressed; do
    if [ $kind = plain ]; then vflags=(--no-compress); dflags=(-Z0); else vflags=(); dflags=(); fi
    rm -rf "$work/set" "$work/dump"
    run "vaultine --backup ($kind)" "$build/backup/vaultine" --server "$uri" --backup --to "$work/set" "${vflags[@]}"
    v=$last
    run "pg_dump -Fc ($kind)" pg_dump -Fc "${dflags[@]}" -n bench -f "$work/dump" "$uri"
    d=$last
    echo "  backup: vaultine / pg_dump = $(ratio "$v" "$d")   (set $(du -sm "$work/set" | cut -f1) MB, dump $(du -sm "$work/dump" | cut -f1) MB)"
    run "vaultine --restore ($kind)" "$build/backup/vaultine" --server "$uri" --restore --from "$work/set"
    v=$last
    run "pg_restore --clean ($kind)" pg_restore --clean --if-exists -d "$uri" "$work/dump"
    d=$last
    echo "  restore: vaultine / pg_restore = $(ratio "$v" "$d")"
done
