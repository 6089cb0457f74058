#!/usr/bin/env bash
# Runs one libFuzzer target for a short while from an empty corpus, so that a target that no longer
# builds, or that finds a crash quickly, is noticed in every test run.
# Usage: check-fuzz.sh FUZZ_PROGRAM SECONDS
# Exit 77 (a skip for CTest) when the fuzz build is not there.
set -uo pipefail
program=$(realpath -m "$1")
seconds=$2
if [ ! -x "$program" ]; then
  echo "SKIPPED: $program is not built (scripts/setup.sh fuzz ..., see the README)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cd "$work" || exit 1
"$program" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 corpus >"$work/log" 2>&1
status=$?
if ((status != 0)); then
  tail -40 "$work/log"
  echo "FAILED: $(basename "$program") (exit status $status)"
  exit 1
fi
grep -E '^#[0-9]+ +DONE' "$work/log" | tail -1
echo "ran: $(basename "$program") for ${seconds} s"
