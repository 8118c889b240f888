#!/usr/bin/env bash
# Runs the three speed benchmarks at their full sizes and prints, at the end,
# each figure beside its plain sqlite3 baseline: opening one company's
# documents and a phrase search (250,000 call reports and 250,000 letters),
# the data source walk over 250,000 rows, and the companies window on
# 100,000 companies. The databases are made on the first run (several
# minutes) in $TMPDIR and reused.
#
#   bench/speed.sh [build directory, default: build]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
export QT_QPA_PLATFORM=offscreen
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

for bench in bench_callreports bench_datasource bench_companies; do
  echo "== $bench"
  "$build/bench/$bench" --benchmark_color=false 2>&1 | tee -a "$log"
done

echo
echo "== Summary"
grep -E "call reports over|: [0-9.]+ ms; the plain|walk / plain|active view / plain|message shown" "$log"
