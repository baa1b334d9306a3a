#!/usr/bin/env bash
# A bounded libFuzzer pass over one target: new inputs go to a work folder, the committed seed
# corpus is only read. A crash, a mismatch with the model, a fuzzer that does not start or one that
# ran no input fails it; an input that failed is left behind.
set -euo pipefail
fuzzer=$1
seeds=$2
work=$3
seconds=$4
mkdir -p "$work/corpus" "$work/findings"
log="$work/fuzz.log"
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/findings/" \
    "$work/corpus" "$seeds" >"$log" 2>&1 || status=$?
grep -E 'stat::number_of_executed_units|Done|ERROR|mismatch|SUMMARY' "$log" || true
if [ "$status" -ne 0 ]; then
    tail -n 20 "$log"
    echo "FAIL: the fuzzer exited with $status"
    exit 1
fi
executed=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log")
if [ -z "$executed" ] || [ "$executed" -eq 0 ]; then
    echo "FAIL: the fuzzer ran no input"
    exit 1
fi
if [ -n "$(ls -A "$work/findings")" ]; then
    echo "FAIL: findings in $work/findings"
    exit 1
fi
