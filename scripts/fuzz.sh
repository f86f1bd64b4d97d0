#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`) and runs each for FUZZ_SECONDS seconds (default
# 60) on a scratch copy of its seeds and regression inputs, so the committed corpus never grows.
# Fails on any crash, failed check, leak, timeout or sanitizer report; the inputs that caused
# one are kept in build/fuzz/findings/<target>/ (add them to fuzz/regressions/<target>/ once
# the fault is fixed).
# Usage: bash scripts/fuzz.sh [TARGET...]   (targets: pe_version text_scan open_dialog drop_text)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

seconds=${FUZZ_SECONDS:-60}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pe_version text_scan open_dialog drop_text)

bash scripts/deps.sh

echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

scratch=$(mktemp -d "${TMPDIR:-/tmp}/sumwarden-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for t in "${targets[@]}"; do
  program=$root/build/fuzz/bin/fuzz_$t
  [ -x "$program" ] || { echo "no fuzz target $t" >&2; exit 2; }
  corpus=$scratch/$t/corpus
  artifacts=$scratch/$t/artifacts
  log=$root/build/fuzz/fuzz_$t.log
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/corpus/"$t"/* "$corpus"/
  [ -d fuzz/regressions/"$t" ] && cp fuzz/regressions/"$t"/* "$corpus"/

  set +e
  # The outer limit only guards against a hang of libFuzzer itself.
  timeout --kill-after=10 $((seconds + 120)) "$program" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" >"$log" 2>&1
  status=$?
  set -e

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  inputs=$(find "$corpus" -type f | wc -l)
  bytes=$(du -sb "$corpus" | cut -f1)
  printf '%-12s %s s: %s executions (%s/s), corpus %s inputs (%s bytes), exit status %s\n' \
    "$t" "$seconds" "${executions:-?}" "${rate:-?}" "$inputs" "$bytes" "$status"

  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ] ||
    grep -qE '^(==[0-9]+==ERROR|SUMMARY: |.*runtime error: )' "$log"; then
    failed+=("$t")
    mkdir -p "$root/build/fuzz/findings/$t"
    cp -a "$artifacts"/. "$root/build/fuzz/findings/$t/" 2>/dev/null || true
    grep -E -A40 'check failed|ERROR|runtime error|SUMMARY' "$log" | head -n 80
    echo "   log: $log; inputs kept in build/fuzz/findings/$t/"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "== fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "== fuzzing: no faults"
