#!/usr/bin/env bash
# Builds and runs every test: the native suite, the same under the sanitizers, the fuzzers,
# then the Windows suite under Wine (the window tests on a private Xvfb).
# Usage: bash scripts/test.sh      (installs what it needs first)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

bash scripts/deps.sh

# A zone with daylight saving, so that the tests of local times mean something.
export TZ=Europe/Berlin
export LANG=zh_CN.UTF-8

# Runs one CTest preset verbosely into a log, printing each binary's summary; on failure the
# whole log of the failed binaries is printed.
run_suite() {
  local preset=$1 log=$root/build/$1-tests.log start end status
  start=$(date +%s)
  set +e
  ctest --preset "$preset" -V >"$log" 2>&1
  status=$?
  set -e
  end=$(date +%s)
  grep -E '^[0-9]+: \[(==========|  PASSED  |  FAILED  |  SKIPPED )\]|Test +#[0-9]+:|tests passed' "$log" || true
  echo "== $preset suite: $((end - start)) s, exit status $status"
  if [ $status -ne 0 ]; then
    grep -E -B3 -A25 'Failure|FAILED|Segmentation|exception' "$log" | head -n 300
  fi
  return $status
}

echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native
run_suite native

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, the job and stop tests
# under ThreadSanitizer; then every parser of outside bytes under libFuzzer, FUZZ_SECONDS each.
step_start=$(date +%s)
bash scripts/sanitize.sh
echo "== sanitizer suites: $(($(date +%s) - step_start)) s"
step_start=$(date +%s)
FUZZ_SECONDS=${FUZZ_SECONDS:-60} bash scripts/fuzz.sh
echo "== fuzzers: $(($(date +%s) - step_start)) s"

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows
export WINEPREFIX=$root/build/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The window tests need a display: a private Xvfb, there before any Wine process starts (the
# prefix's desktop takes the display it was started with). Xvfb picks a free display number.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 30 display_number <&"$display_fd"
export DISPLAY=:$display_number
trap 'wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true' EXIT
# One wineserver for the whole run: each test binary then starts in about a second. (It is
# already there when something else of this prefix runs: that one is kept.)
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true
scripts/wine-run.sh wineboot -i >/dev/null 2>&1 || true
# Without a window manager, Wine must not wait for one to manage its windows.
scripts/wine-run.sh reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
run_suite windows
