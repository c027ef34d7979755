#!/usr/bin/env bash
# Three game windows in one folder raise their best score at the same moments, round after
# round, with every fsync and fdatasync slowed by 30 ms: the stored best must never fall, and
# ends as the highest score of all. Usage: save_race.sh <build folder> [rounds]
set -euo pipefail
build=$(readlink -f "$1")
rounds=${2:-30}
folder=$(mktemp -d)
logs=$(mktemp -d)
trap 'rm -rf "$folder" "$logs"' EXIT
# The windows take a moment to open; the rounds start together some seconds from now.
start=$(($(date +%s%3N) + 4000))
pids=()
for window in 0 1 2; do
  (cd "$folder" && QT_QPA_PLATFORM=offscreen PAWNFALL_SLOW_FSYNC_MS=30 \
    LD_PRELOAD="$build/tests/e2e/libfile_faults.so" ASAN_OPTIONS="verify_asan_link_order=0:${ASAN_OPTIONS:-}" \
    "$build/tests/e2e/save_race" "$window" "$rounds" "$start" 400 >"$logs/$window" 2>&1) &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
cat "$logs"/0 "$logs"/1 "$logs"/2 | grep -E '^(fell|window)'
best=$(grep -h -o 'stored best [0-9]*' "$logs"/0 | grep -o '[0-9]*$')
echo "save race: $rounds rounds of 3 windows, $(cat "$logs"/* | grep -c '^fell' || true) falls, stored best $best of $((3 * rounds))"
[[ $status -eq 0 && $best -eq $((3 * rounds)) ]]
