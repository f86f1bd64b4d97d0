#!/usr/bin/env bash
# The main job: builds sumwarden-cli and reports on a few sample files.
# Usage: bash scripts/run.sh [PATH...]   (without paths, the samples made in build/samples)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/deps.sh
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
