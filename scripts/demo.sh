#!/usr/bin/env bash
# Builds ZarvoCustomActionDll.dll as it ships (build/release) and runs its demo: the sample
# package, built from the DLL and its WiX fragment, installed under Wine in a fresh 64-bit
# prefix, with a report of what each action did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# The release DLL first, then the helper program that the package installs as its agent and
# whose window it closes.
"$root/scripts/build.sh" windows zarvo_helper
dll=$root/build/release/ZarvoCustomActionDll.dll
build=$root/build/windows
echo "built $dll ($(stat -c %s "$dll") bytes)"
prefix=$build/demo-prefix
"$root/tests/wine/make-prefix.sh" "$prefix" win64
WINEPREFIX=$prefix WINEDEBUG=-all xvfb-run -a \
    "$root/tests/package/package-test.sh" "$dll" "$root/wix/ZarvoCustomActionDll.wxs" "$root/README.md" \
    "$build/zarvo_helper.exe" "$build/demo"
