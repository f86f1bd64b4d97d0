#!/usr/bin/env bash
# Measures sumwarden-cli against other checksum programs on cached data, the growth of the
# report in the console and in the window, and the memory of the console runs; prints the
# medians, the ratios and a table of targets with PASS/FAIL. It is a report: the exit status is
# 0 even when targets are missed (only a failed build or set-up ends it otherwise).
#
# Usage: bash bench/run.sh
#   BENCH_RUNS=N         timed runs of each command (default 5; 3 with BENCH_QUICK=1)
#   BENCH_QUICK=1        smaller data and fewer runs, for a fast smoke check
#   BENCH_GUI_BUDGET=S   seconds after which the window comparison starts no new round
#                        (default 420; 120 with BENCH_QUICK=1)
#   BENCH_WINEPREFIX=DIR the Wine prefix of the window runs (default build/bench-wineprefix,
#                        apart from the tests' one, so that ending its wineserver at the end
#                        cannot end a test run going on at the same time)
#
# Each comparison runs its commands round robin, a warm-up round first, output to /dev/null;
# wall time and peak RSS come from bench/stats.py (perf_counter around posix_spawn and wait4).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
script_start=$(date +%s)

if [ "${BENCH_QUICK:-0}" = 1 ]; then
  runs=${BENCH_RUNS:-3}
  big_mib=256 small_count=2000 medium_count=200 missing_few=200 missing_many=2000
  gui_few=100 gui_many=500
  gui_budget=${BENCH_GUI_BUDGET:-120}
else
  runs=${BENCH_RUNS:-5}
  big_mib=1024 small_count=10000 medium_count=1000 missing_few=1000 missing_many=10000
  gui_few=1000 gui_many=5000
  gui_budget=${BENCH_GUI_BUDGET:-420}
fi

echo "== dependencies"
bash scripts/deps.sh --bench

# Release builds of their own; warnings stay warnings here, so that work in progress elsewhere
# in the tree does not stop the measurement.
echo "== release builds"
build_or_show() {
  local dir=$1
  shift
  if ! cmake --build "$dir" -j "$(nproc)" --target "$@" >"$dir/bench-build.log" 2>&1; then
    tail -n 40 "$dir/bench-build.log"
    echo "bench: the build in $dir failed" >&2
    exit 1
  fi
}
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DSW_BUILD_TESTS=OFF \
  -DSW_BUILD_BENCH=ON -DSW_WERROR=OFF >/dev/null
build_or_show build/bench-native sumwarden-cli crc32_bench
cmake -S . -B build/bench-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSW_BUILD_TESTS=OFF -DSW_BUILD_BENCH=ON -DSW_WERROR=OFF >/dev/null
build_or_show build/bench-windows window_bench
cli=$root/build/bench-native/bin/sumwarden-cli
window_bench=$root/build/bench-windows/bin/window_bench.exe
echo "built in $(($(date +%s) - script_start)) s"

tmp=$(mktemp -d -t sumwarden-bench.XXXXXX)
xvfb_pid=""
wineserver_started=""
cleanup() {
  if [ -n "$wineserver_started" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
db=$tmp/results.jsonl
mkdir -p "$tmp/argv"

echo "== data in $tmp"
data_start=$(date +%s)
big=$tmp/big.bin
head -c "${big_mib}M" /dev/urandom >"$big"
mkdir "$tmp/small" "$tmp/medium" "$tmp/gui-few" "$tmp/gui-many"
head -c $((small_count * 4096)) /dev/urandom | split -b 4096 -a 5 -d - "$tmp/small/f"
head -c $((medium_count << 20)) /dev/urandom | split -b 1M -a 5 -d - "$tmp/medium/f"
head -c $((gui_few * 100)) /dev/urandom | split -b 100 -a 5 -d - "$tmp/gui-few/f"
head -c $((gui_many * 100)) /dev/urandom | split -b 100 -a 5 -d - "$tmp/gui-many/f"
small=("$tmp"/small/*)
medium=("$tmp"/medium/*)
# Paths in a folder that does not exist.
mapfile -t missing < <(seq -f "$tmp/missing/m%05g" 1 "$missing_many")
# The window's lists: the same files as Windows paths (Wine maps / to Z:).
windows_list() {
  local dir=$1 out=$2 f
  for f in "$dir"/*; do printf 'Z:%s\r\n' "${f//\//\\}"; done >"$out"
}
windows_list "$tmp/gui-few" "$tmp/gui-few.lst"
windows_list "$tmp/gui-many" "$tmp/gui-many.lst"
head -n 10 "$tmp/gui-few.lst" >"$tmp/gui-warm.lst"
sync
# Everything in the page cache before any timing.
find "$tmp" -type f -exec cat {} + >/dev/null
echo "made in $(($(date +%s) - data_start)) s: ${big_mib} MiB file, $small_count x 4 KiB," \
  "$medium_count x 1 MiB, $missing_few/$missing_many missing paths," \
  "$gui_few/$gui_many x 100 B for the window"

# Writes one command's arguments (NUL-ended) to a file and adds NAME=FILE to specs.
specs=()
add() {
  local name=$1 file=$tmp/argv/$((${#specs[@]}))-$1
  shift
  printf '%s\0' "$@" >"$file"
  specs+=("$name=$file")
}
measure() {
  python3 bench/stats.py run --db "$db" --runs "$runs" "$@" "${specs[@]}"
  specs=()
}

arg_max=$(getconf ARG_MAX)
echo "ARG_MAX is $arg_max bytes; the longest command line here, $small_count paths, takes" \
  "$(printf '%s\0' "$cli" "${small[@]}" | wc -c) bytes plus 8 per argument"
echo

add cli "$cli" "$big"
add openssl-md5 openssl dgst -md5 "$big"
add rhash rhash --md5 --sha1 --crc32 "$big"
add 7zz 7zz h -scrcMD5 -scrcSHA1 -scrcCRC32 "$big"
measure --group a --title "${big_mib} MiB cached file"
echo

add cli "$cli" "${small[@]}"
add rhash rhash -r --md5 --sha1 --crc32 "$tmp/small"
add md5sum md5sum "${small[@]}"
measure --group b --title "$small_count files of 4 KiB"
echo

add cli "$cli" "${medium[@]}"
add rhash rhash -r --md5 --sha1 --crc32 "$tmp/medium"
add md5sum md5sum "${medium[@]}"
measure --group c --title "$medium_count files of 1 MiB"
echo

add "cli-$missing_few" "$cli" "${missing[@]:0:missing_few}"
add "cli-$missing_many" "$cli" "${missing[@]}"
measure --group d --title "console report over missing paths" \
  --expect "cli-$missing_few=1" --expect "cli-$missing_many=1"
echo

echo "== window set-up (Wine, private Xvfb)"
export WINEPREFIX=${BENCH_WINEPREFIX:-$root/build/bench-wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  scripts/wine-run.sh wineboot -i >/dev/null 2>&1 || true
fi
# One wineserver for every window run, so that each starts quickly.
wineserver -p
wineserver_started=1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$tmp/display" ] && break
  sleep 0.1
done
[ -s "$tmp/display" ] || {
  echo "bench: Xvfb did not start" >&2
  exit 1
}
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY
# Without a window manager, Wine must not wait for one to manage its windows.
scripts/wine-run.sh reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# A first untimed run loads Wine's libraries and fonts.
scripts/wine-run.sh "$window_bench" "Z:${tmp//\//\\}\\gui-warm.lst" >/dev/null
add "window-$gui_few" "$root/scripts/wine-run.sh" "$window_bench" "Z:${tmp//\//\\}\\gui-few.lst"
add "window-$gui_many" "$root/scripts/wine-run.sh" "$window_bench" "Z:${tmp//\//\\}\\gui-many.lst"
measure --group e --title "window report over small files (in-process, under Wine)" \
  --self-timed --warmup 0 --budget "$gui_budget"
echo

echo "== crc32_bench"
build/bench-native/bin/crc32_bench 3
echo

gui_scale=$(python3 -c "print(10 / ($gui_many / $gui_few))")
gui_target=$(python3 -c "print(round(12 / $gui_scale, 3))")
echo "== summary"
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
ram=$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ] && commit+=" (with local changes)"
echo "Machine: $(nproc) CPUs, $cpu, $ram RAM, Linux $(uname -r); load average now" \
  "$(cut -d' ' -f1-3 /proc/loadavg)"
echo "Tree: $commit. Runs per command: $runs$([ "${BENCH_QUICK:-0}" = 1 ] && echo ' (quick)')." \
  "Tools: $(openssl version | cut -d' ' -f1-2), $(rhash --version | head -n 1)," \
  "7zz $(7zz 2>/dev/null | grep -m1 -o '7-Zip[^:]*' | sed 's/ *$//'), $(wine --version)"
echo
python3 bench/stats.py table --db "$db" --rss-limit 64 --rss-prefix cli \
  --ratio "a|cli / openssl-md5|cli|openssl-md5|1.10" \
  --ratio "a|cli / rhash|cli|rhash|0.60" \
  --ratio "a|cli / 7zz|cli|7zz|-" \
  --ratio "b|cli / rhash|cli|rhash|1.0" \
  --ratio "b|cli / md5sum|cli|md5sum|-" \
  --ratio "c|cli / rhash|cli|rhash|0.60" \
  --ratio "c|cli / md5sum|cli|md5sum|-" \
  --ratio "d|t($missing_many) / t($missing_few)|cli-$missing_many|cli-$missing_few|12" \
  --ratio "e|t($gui_many) / t($gui_few)|window-$gui_many|window-$gui_few|$gui_target" \
  --ratio "e|same, normalised to 10x entries|window-$gui_many|window-$gui_few|12|$gui_scale"
echo
echo "bench/run.sh took $(($(date +%s) - script_start)) s"
