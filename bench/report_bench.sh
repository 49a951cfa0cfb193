#!/usr/bin/env bash
# Report generation side by side: the all-accounts report at 500 and 5,000
# accounts, a transaction report at 10,000 and 100,000 transactions. Each run
# is a process of its own, so each peak is its own.
# Usage: bench/report_bench.sh BUILD_DIR
set -euo pipefail
bench=${1:?build directory}/bench/report_bench
for args in "accounts 500" "accounts 5000" "transactions 10000" "transactions 100000" "history 10000" "history 100000"; do
    "$bench" $args
done
