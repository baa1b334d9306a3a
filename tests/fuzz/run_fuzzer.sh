#!/usr/bin/env bash
# A bounded libFuzzer pass over one target: new inputs go to a work folder, the committed seed
# corpus is only read. A crash or a mismatch with the model fails it and leaves the input behind.
set -euo pipefail
fuzzer=$1
seeds=$2
work=$3
seconds=$4
mkdir -p "$work/corpus" "$work/findings"
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/findings/" \
    "$work/corpus" "$seeds" 2>&1 | grep -E 'stat::number_of_executed_units|Done|ERROR|mismatch|SUMMARY' || true
if [ -n "$(ls -A "$work/findings")" ]; then
    echo "FAIL: findings in $work/findings"
    exit 1
fi
