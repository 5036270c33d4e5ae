#!/usr/bin/env bash
# Builds ZarvoCustomActionDll.dll and runs its demo: the sample package installed under
# Wine in a fresh 64-bit prefix, with a report of what each action did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" windows ZarvoCustomActionDll
# The program whose window the package closes, started by the package test.
"$root/scripts/build.sh" windows zarvo_helper
build=$root/build/windows
echo "built $build/ZarvoCustomActionDll.dll"
prefix=$build/demo-prefix
"$root/tests/wine/make-prefix.sh" "$prefix" win64
WINEPREFIX=$prefix WINEDEBUG=-all xvfb-run -a \
    "$root/tests/package/package-test.sh" "$build/ZarvoCustomActionDll.dll" "$build/demo"
