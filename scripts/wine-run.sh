#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, with code page 936.
# WINEPREFIX defaults to a folder beside the Windows build, so nothing in $HOME is used.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
exec wine "$@"
