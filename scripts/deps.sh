#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, and generates the locales.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake git pkg-config googletest libssl-dev
  clang clang-format libclang-rt-14-dev llvm
  g++-mingw-w64-x86-64-posix wine64 wine xvfb xdotool x11-utils fonts-wqy-microhei
  locales imagemagick
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(rhash 7zip hyperfine time)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# zh_CN.UTF-8 gives Wine the ANSI code page 936; zh_CN.GBK lets the console run in GBK.
need_locales=0
locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' || need_locales=1
locale -a 2>/dev/null | grep -qi '^zh_CN.gbk$' || need_locales=1
if [ $need_locales -eq 1 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd sed -i -E 's/^# *(zh_CN.UTF-8 UTF-8)/\1/; s/^# *(zh_CN.GBK GBK)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  grep -q '^zh_CN.GBK GBK' /etc/locale.gen || echo 'zh_CN.GBK GBK' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  $sudo_cmd locale-gen >/dev/null
fi
