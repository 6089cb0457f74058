#!/usr/bin/env bash
# Runs one benchmark program in a quick mode (one short repetition of each benchmark), so that a
# benchmark whose inputs or baseline command fail is noticed in every test run. The figures of
# such a run mean nothing; the failures do.
# Usage: check-benchmark.sh BENCH_PROGRAM
set -uo pipefail
program=$(realpath -m "$1")
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
"$program" --benchmark_min_time=0.001 --benchmark_repetitions=1 \
           --benchmark_out="$work/results.json" --benchmark_out_format=json >"$work/log" 2>&1
status=$?
why=
if ((status != 0)); then
  why="exit status $status"
elif [ ! -s "$work/results.json" ]; then
  why="it wrote no results"
elif grep -q '"error_occurred": true' "$work/results.json"; then
  why=$(grep -o '"error_message": "[^"]*"' "$work/results.json" | head -3 | tr '\n' ' ')
fi
if [ -n "$why" ]; then
  tail -30 "$work/log"
  echo "FAILED: $name ($why)"
  exit 1
fi
echo "ran: $name ($(grep -c '"run_name"' "$work/results.json") benchmarks)"
