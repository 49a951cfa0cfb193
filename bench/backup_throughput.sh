#!/usr/bin/env bash
# Backup and restore throughput of vaultine against cp (no compression) and
# tar -c | zstd (compression), on 200 MB of .TPS files in the same run.
# Usage: bench/backup_throughput.sh BUILD_DIR [MEGABYTES]
set -euo pipefail
build=${1:?usage: backup_throughput.sh BUILD_DIR [MEGABYTES]}
mb=${2:-200}
vaultine="$build/backup/vaultine"
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

program="$work/program"; mkdir -p "$program"
cp "$here/data/PKLAUNCH.PIF" "$program/"
# Data that compresses about as data files do: records of text and numbers.
python3 - "$program" "$mb" <<'PY'
import os, random, sys
d, mb = sys.argv[1], int(sys.argv[2])
random.seed(1)
words = [b"Payment", b"Charge", b"Interest", b"Fee", b"Balance", b"Visa", b"Store", b"Gasoline", b"Amex", b"Discover"]
per = mb * 1024 * 1024 // 4
for name in ["ACCOUNTS.TPS", "TRANSACT.TPS", "MEMOCARD.TPS", "NOTES.TPS"]:
    with open(os.path.join(d, name), "wb") as f:
        written = 0
        while written < per:
            chunk = b"".join(random.choice(words) + b" %08d %10.2f|" % (random.randrange(10**8), random.random() * 10000) for _ in range(2000))
            f.write(chunk[: per - written]); written += len(chunk[: per - written])
PY
sync

now() { date +%s.%N; }
rate() { python3 -c "import sys; print(f'{$mb/($2-$1):7.1f} MB/s  ({$2-$1:6.2f} s)')"; }
run() { # label command...
    local label=$1; shift
    sync; local t0; t0=$(now); "$@" >/dev/null 2>&1; sync; local t1; t1=$(now)
    printf '%-38s %s\n' "$label" "$(rate "$t0" "$t1")"
}

echo "== $mb MB of .TPS files"
mkdir -p "$work/cp-out" "$work/cp-back"
run "cp (reference, no compression)" cp "$program"/*.TPS "$work/cp-out/"
run "cp back (reference)" cp "$work"/cp-out/*.TPS "$work/cp-back/"
run "vaultine backup --no-compress" "$vaultine" --dir "$program" --backup --to "$work/plain" --no-compress
run "vaultine restore (uncompressed set)" "$vaultine" --dir "$program" --restore --from "$work/plain"
mkdir -p "$work/tz"
run "tar -c | zstd (reference)" sh -c "tar -C '$program' -c . | zstd -q -3 -T0 -o '$work/tz/all.tar.zst'"
run "vaultine backup (compressed)" "$vaultine" --dir "$program" --backup --to "$work/packed"
run "zstd -d | tar -x (reference)" sh -c "mkdir -p '$work/tzx' && zstd -dq -c '$work/tz/all.tar.zst' | tar -C '$work/tzx' -x"
run "vaultine restore (compressed set)" "$vaultine" --dir "$program" --restore --from "$work/packed" --allow-older-set
du -sh "$work/plain" "$work/packed" "$work/tz" | sed 's/^/size: /'
