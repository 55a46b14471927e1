#!/usr/bin/env bash
# Builds nothing: runs every benchmark of a build and gathers their summary lines in one table.
# Fails, after the table, when a benchmark crashed, ended with an error status or reported an
# error for one of its measurements: its rows would be missing or wrong.
set -uo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=()
ran=0
for bench in "$build"/bin/bench_*; do
  [ -x "$bench" ] || continue
  name=$(basename "$bench")
  ran=$((ran + 1))
  echo "== $name"
  "$bench" 2>&1 | tee "$work/$name.log" | grep -v '^SUMMARY'
  status=${PIPESTATUS[0]}
  grep '^SUMMARY' "$work/$name.log" >>"$work/summary"
  if [ "$status" -gt 128 ]; then
    failed+=("$name: killed by signal $((status - 128))")
  elif [ "$status" -ne 0 ]; then
    failed+=("$name: exit status $status")
  fi
  # Google Benchmark reports a measurement that could not be made and carries on.
  while IFS= read -r error; do
    failed+=("$name: $error")
  done < <(grep -o 'ERROR OCCURRED.*' "$work/$name.log")
done
[ "$ran" -gt 0 ] || failed+=("no benchmark in $build/bin: is Google Benchmark (libbenchmark-dev) installed?")

touch "$work/summary"
width=$(cut -f2 "$work/summary" | awk '{ if (length > w) w = length } END { print (w > 11 ? w : 11) }')
echo
echo "Tessik benchmarks (ratio = ours / baseline)"
printf "%-${width}s %14s %14s %8s %8s\n" measurement ours baseline ratio target
printf "%$((width + 48))s\n" "" | tr ' ' -
while IFS=$'\t' read -r _ what ours baseline ratio target; do
  printf "%-${width}s %14s %14s %8s %8s\n" "$what" "$ours" "$baseline" "$ratio" "$target"
done <"$work/summary"

if [ ${#failed[@]} -ne 0 ]; then
  echo
  echo "${#failed[@]} benchmark failure(s):"
  printf '  %s\n' "${failed[@]}"
  exit 1
fi
