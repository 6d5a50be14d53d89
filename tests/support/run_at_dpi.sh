#!/usr/bin/env bash
# Runs a Windows test program in a Wine prefix of its own whose screen has the given DPI and as
# many more pixels, on a display of its own, and saves the windows' pictures in
# build/e2e/dpi-<DPI>/. With --as-windows 8.1 (or 7) the program finds only the DPI functions that
# Windows has, as Wine has them all; prefix and pictures then go by dpi-<DPI>-windows<VERSION>.
#   run_at_dpi.sh [--as-windows VERSION] DPI PROGRAM [ARGUMENTS...]
set -euo pipefail
name=""
if [ "$1" = --as-windows ]; then
    export MURLOX_DPI_AS_WINDOWS=$2
    name="-windows$2"
    shift 2
fi
dpi=$1
shift
name="$dpi$name"
top=$(cd "$(dirname "$0")/../.." && pwd)
export MURLOX_WINEPREFIX="$top/build/wineprefix-$name"
export MURLOX_SCREEN="$((1024 * dpi / 96))x$((768 * dpi / 96))"
unset DISPLAY
# shellcheck source=scripts/wine-env
source "$top/scripts/wine-env"
murlox_wine_prefix
# Wine takes the screen's DPI from both places; the server reads them when it starts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$MURLOX_SCREEN" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w
shots="$top/build/e2e/dpi-$name"
mkdir -p "$shots"
export MURLOX_SCREENSHOTS="Z:${shots//\//\\}"
murlox_display_start
trap murlox_display_stop EXIT
wine "$@"
