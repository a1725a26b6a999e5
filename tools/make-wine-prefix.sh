#!/usr/bin/env bash
# Makes the Wine prefix PREFIX, unless it is made already, and waits until
# Wine has finished writing it. Every Wine test of a run uses the one prefix
# that `make wine-prefix` makes beside the Linux build.
#   tools/make-wine-prefix.sh PREFIX
set -euo pipefail
prefix=${1:?the Wine prefix to make}
[ -f "$prefix/system.reg" ] && exit 0
echo "Making the Wine prefix $prefix" >&2
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko: the programs need neither, and their installers would
# ask in a window.
export WINEDLLOVERRIDES="mscoree,mshtml="
timeout 600 wineboot -i > /dev/null 2>&1 || true
timeout 120 wineserver -w > /dev/null 2>&1 || true
[ -f "$prefix/system.reg" ] || { echo "the Wine prefix $prefix could not be made" >&2; exit 1; }
