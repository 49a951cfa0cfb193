#!/usr/bin/env bash
# Backup and restore throughput of vaultine against cp (no compression) and
# tar -c | zstd (compression), on 200 MB of SQLite .TPS files, all in the same
# run; with a second build directory, an earlier vaultine is measured beside it.
# Usage: bench/backup_throughput.sh BUILD_DIR [MEGABYTES] [EARLIER_BUILD_DIR]
set -euo pipefail
build=${1:?usage: backup_throughput.sh BUILD_DIR [MEGABYTES] [EARLIER_BUILD_DIR]}
mb=${2:-200}
earlier=${3:-}
vaultine="$build/backup/vaultine"
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

program="$work/program"; mkdir -p "$program"
cp "$here/data/PKLAUNCH.PIF" "$program/"
# Databases like the data files: records of text and numbers, with their indexes.
python3 - "$program" "$mb" <<'PY'
import os, random, sqlite3, sys
d, mb = sys.argv[1], int(sys.argv[2])
random.seed(1)
words = ["Payment", "Charge", "Interest", "Fee", "Balance", "Visa", "Store", "Gasoline", "Amex", "Discover"]
per = mb * 1024 * 1024 // 4
for name in ["ACCOUNTS.TPS", "TRANSACT.TPS", "MEMOCARD.TPS", "NOTES.TPS"]:
    path = os.path.join(d, name)
    db = sqlite3.connect(path)
    db.execute("PRAGMA journal_mode=DELETE")
    db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY, owner INTEGER, day INTEGER, text TEXT, amount INTEGER)")
    db.execute("CREATE INDEX t_owner ON t (owner, day)")
    while os.path.getsize(path) < per:
        db.executemany("INSERT INTO t (owner, day, text, amount) VALUES (?, ?, ?, ?)",
                       [(random.randrange(1000), random.randrange(80000, 90000),
                         " ".join(random.choice(words) for _ in range(6)) + " %08d" % random.randrange(10**8),
                         random.randrange(10**7)) for _ in range(20000)])
        db.commit()
    db.close()
PY
sync

now() { date +%s.%N; }
# Seconds one command takes, with a sync before and after (the data must reach the disk).
timed() {
    sync; local t0; t0=$(now); "$@" >/dev/null 2>&1; sync; local t1; t1=$(now)
    python3 -c "print($t1 - $t0)"
}
best=()
# measure LABEL PREPARE COMMAND...: the best of three runs; PREPARE (a shell
# snippet) runs untimed before each, to start from the same state.
measure() {
    local label=$1 prepare=$2; shift 2
    local b=999
    for _ in 1 2 3; do
        sh -c "$prepare"
        local t; t=$(timed "$@")
        b=$(python3 -c "print(min($b, $t))")
    done
    printf '%-40s %7.1f MB/s  (%5.2f s)\n' "$label" "$(python3 -c "print($mb / $b)")" "$b"
    best+=("$b")
}
ratio() { python3 -c "print(f'{$1 / $2:.2f}')"; }

# The programs being compared run in turns, so that none gains from its place in the run.
echo "== $mb MB of SQLite .TPS files, best of three runs each"
measure "cp (reference, no compression)" "rm -rf '$work/cp-out'; mkdir -p '$work/cp-out'" cp "$program"/ACCOUNTS.TPS "$program"/TRANSACT.TPS "$program"/MEMOCARD.TPS "$program"/NOTES.TPS "$work/cp-out/"
measure "vaultine backup --no-compress" "rm -rf '$work/plain'" "$vaultine" --dir "$program" --backup --to "$work/plain" --no-compress
[ -n "$earlier" ] && measure "earlier vaultine backup --no-compress" "rm -rf '$work/old-plain'" "$earlier/backup/vaultine" --dir "$program" --backup --to "$work/old-plain" --no-compress
measure "cp back (reference)" "rm -rf '$work/cp-back'; mkdir -p '$work/cp-back'" cp "$work"/cp-out/ACCOUNTS.TPS "$work"/cp-out/TRANSACT.TPS "$work"/cp-out/MEMOCARD.TPS "$work"/cp-out/NOTES.TPS "$work/cp-back/"
measure "vaultine restore (uncompressed set)" "true" "$vaultine" --dir "$program" --restore --from "$work/plain" --allow-older-set
[ -n "$earlier" ] && measure "earlier vaultine restore (uncompressed)" "true" "$earlier/backup/vaultine" --dir "$program" --restore --from "$work/plain" --allow-older-set
measure "tar -c | zstd (reference)" "rm -rf '$work/tz'; mkdir -p '$work/tz'" sh -c "tar -C '$program' -c ACCOUNTS.TPS TRANSACT.TPS MEMOCARD.TPS NOTES.TPS | zstd -q -3 -T0 -o '$work/tz/all.tar.zst'"
measure "vaultine backup (compressed)" "rm -rf '$work/packed'" "$vaultine" --dir "$program" --backup --to "$work/packed"
[ -n "$earlier" ] && measure "earlier vaultine backup (compressed)" "rm -rf '$work/old-packed'" "$earlier/backup/vaultine" --dir "$program" --backup --to "$work/old-packed"
measure "zstd -d | tar -x (reference)" "rm -rf '$work/tzx'; mkdir -p '$work/tzx'" sh -c "zstd -dq -c '$work/tz/all.tar.zst' | tar -C '$work/tzx' -x"
measure "vaultine restore (compressed set)" "true" "$vaultine" --dir "$program" --restore --from "$work/packed" --allow-older-set
[ -n "$earlier" ] && measure "earlier vaultine restore (compressed)" "true" "$earlier/backup/vaultine" --dir "$program" --restore --from "$work/packed" --allow-older-set
du -sh "$work/plain" "$work/packed" "$work/tz" | sed 's/^/size: /'
