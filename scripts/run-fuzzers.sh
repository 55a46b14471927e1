#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzzing build for a bounded time and sums up what happened.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

status=0
printf '%-24s %12s %10s %s\n' target executions exec/s result
for fuzzer in "$build"/bin/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$work/$name"
  mkdir -p "$corpus"
  cp -r "$root/fuzz/corpus/$name/." "$corpus/" 2>/dev/null || true
  log="$work/$name.log"
  "$fuzzer" "$corpus" "$root/samples" "$root/tests/data" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=4096 -artifact_prefix="$work/$name-" -print_final_stats=1 >"$log" 2>&1
  rc=$?
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  if [ $rc -eq 0 ]; then
    result="no crash"
  else
    result="CRASH (exit $rc)"
    status=1
    grep -E 'ERROR|SUMMARY|check failed|Test unit written' "$log" | head -5
    mkdir -p "$root/build-fuzz/crashes" && cp "$work/$name-"* "$root/build-fuzz/crashes/" 2>/dev/null
  fi
  printf '%-24s %12s %10s %s\n' "$name" "${execs:-?}" "${speed:-?}" "$result"
done
exit $status
