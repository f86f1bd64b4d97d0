#!/usr/bin/env bash
# Builds the native suite with clang's sanitizers and runs it: every test under AddressSanitizer
# and UndefinedBehaviorSanitizer (preset `asan`), then the tests of the job, the worker and
# stopping under ThreadSanitizer (preset `tsan`). Fails on any sanitizer report, also one from a
# program a test starts (sumwarden-cli).
# Usage: bash scripts/sanitize.sh      (installs what it needs first)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

bash scripts/deps.sh

# As scripts/test.sh: a zone with daylight saving, and the GBK code page.
export TZ=Europe/Berlin
export LANG=zh_CN.UTF-8

# Reports go to files here as well as failing the process, so that a report from a child
# process is not lost in a test's captured output.
reports=$root/build/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"

# Prints the reports written so far and fails when there is any.
check_reports() {
  local found
  found=$(find "$reports" -type f | sort)
  [ -z "$found" ] && return 0
  for f in $found; do
    echo "---- $f"
    head -n 60 "$f"
  done
  return 1
}

status=0

echo "== asan build"
start=$(date +%s)
cmake --preset asan >/dev/null
cmake --build --preset asan
echo "== asan+ubsan: the native suite"
set +e
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:log_path=$reports/asan \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan \
  ctest --preset asan
[ $? -eq 0 ] || status=1
set -e
check_reports || status=1
echo "== asan: $(($(date +%s) - start)) s"

echo "== tsan build"
start=$(date +%s)
cmake --preset tsan >/dev/null
cmake --build --preset tsan
echo "== tsan: the job, worker and stop tests"
set +e
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:log_path=$reports/tsan \
  build/tsan/bin/engine_tests --gtest_filter='Worker*:VerifyJob*:*Stop*'
[ $? -eq 0 ] || status=1
set -e
check_reports || status=1
echo "== tsan: $(($(date +%s) - start)) s"

if [ $status -ne 0 ]; then
  echo "== sanitizers: FAILED"
  exit 1
fi
echo "== sanitizers: clean"
