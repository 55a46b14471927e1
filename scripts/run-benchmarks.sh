#!/usr/bin/env bash
# Builds nothing: runs every benchmark of a build and gathers their summary lines in one table.
set -uo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

for bench in "$build"/bin/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" 2>&1 | tee /dev/stderr | grep '^SUMMARY' >>"$summary"
done 2>&1 | grep -v '^SUMMARY'

echo
echo "Tessik benchmarks (ratio = ours / baseline)"
printf '%-78s %14s %14s %8s %8s\n' measurement ours baseline ratio target
printf '%0.s-' {1..126}; echo
while IFS=$'\t' read -r _ what ours baseline ratio target; do
  printf '%-78s %14s %14s %8s %8s\n' "$what" "$ours" "$baseline" "$ratio" "$target"
done <"$summary"
