#!/usr/bin/env bash
# Runs a Windows program under Wine as on a screen of DPI dots per inch, in a Wine prefix of its own whose
# LogPixels says so (Wine reads it when a program starts), and ends that prefix's server afterwards.
#
#   run_at_dpi.sh WINE_RUN PREFIX DPI PROGRAM [ARGUMENT...]
set -euo pipefail
wine_run=$1 prefix=$2 dpi=$3
shift 3
export WINEPREFIX=$prefix
trap 'wineserver -k 2>/dev/null || true' EXIT
"$wine_run" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
"$wine_run" "$prefix" "$@"
