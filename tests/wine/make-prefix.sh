#!/usr/bin/env bash
# Makes a fresh Wine prefix: make-prefix.sh FOLDER win64|win32
set -euo pipefail
prefix=$1 arch=$2
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
# Windows unmanaged: the test X server runs no window manager, and Wine otherwise waits two
# seconds for one whenever a shown window (such as a message box) goes away.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
test -f "$prefix/system.reg"
echo "made the $arch prefix $prefix"
