#!/usr/bin/env bash
# Time from program start to the main window shown, over whole process
# starts: runs bench_startup N times (default 20) and prints the mean.
set -euo pipefail
bin="${1:-build-bench/bench/bench_startup}"
runs="${2:-20}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
"$bin" >/dev/null # warm the file cache
total=0
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$bin" >/dev/null
  end=$(date +%s%N)
  total=$((total + end - start))
done
echo "startup to main window shown: $((total / runs / 1000)) us mean over $runs process starts"
