#!/usr/bin/env bash
# Runs the speed benchmarks at their full sizes and prints, at the end,
# each figure beside its plain sqlite3 baseline: opening one company's
# documents and a phrase search (250,000 call reports and 250,000 letters),
# the call report filter (one month and one sales person of 250,000 reports),
# the data source walk over 250,000 rows, and the companies window on
# 100,000 companies, and the projects window over 2,000 projects and 50,000
# action steps. The databases are made on the first run (several
# minutes) in $TMPDIR and reused.
#
#   bench/speed.sh [build directory, default: build]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
export QT_QPA_PLATFORM=offscreen
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

for bench in bench_callreports bench_filter bench_datasource bench_companies bench_projects; do
  echo "== $bench"
  "$build/bench/$bench" --benchmark_color=false 2>&1 | tee -a "$log"
done

echo
echo "== Summary"
grep -E "call reports over|action steps over|: [0-9.]+ ms; the plain|walk / plain|active view / plain|message shown" "$log"
