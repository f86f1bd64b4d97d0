#!/usr/bin/env bash
# The main job: builds the Windows program and starts it under Wine when a display is
# available; without a display, builds sumwarden-cli and reports on a few sample files.
# Usage: bash scripts/run.sh [PATH...]
#   With a display ($DISPLAY set): sumwarden.exe starts; pick files with 浏览 or drop them.
#   Without one: sumwarden-cli reports on PATH..., or on samples made in build/samples.
#   SW_RUN=cli forces the console program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/deps.sh

if [ -n "${DISPLAY:-}" ] && [ "${SW_RUN:-}" != cli ] && xdpyinfo >/dev/null 2>&1; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target sumwarden
  echo "Starting sumwarden.exe under Wine on $DISPLAY (the first start prepares build/wineprefix)."
  exec scripts/wine-run.sh build/windows/bin/sumwarden.exe
fi

cmake --preset native >/dev/null
cmake --build --preset native --target sumwarden-cli

if [ $# -eq 0 ]; then
  samples=$PWD/build/samples
  rm -rf "$samples" && mkdir -p "$samples/文件夹"
  printf '123456789' >"$samples/a.txt"
  printf '中文内容\r\n' >"$samples/说明.txt"
  head -c 3000000 /dev/zero >"$samples/zeros.bin"
  set -- "$samples/a.txt" "$samples/说明.txt" "$samples/zeros.bin" "$samples/文件夹" \
    "$samples/missing.txt"
fi
status=0
build/native/bin/sumwarden-cli "$@" || status=$?
echo "(exit status $status)"
