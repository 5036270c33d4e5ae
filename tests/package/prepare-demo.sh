#!/usr/bin/env bash
# Puts the sample package's source, as wixl takes it (demo-wixl.wxs), and the files it includes
# and installs into the current folder.
#   prepare-demo.sh FRAGMENT DLL HELPER
# FRAGMENT is the shipped ZarvoCustomActionDll.wxs: the package includes the
# ZarvoCustomActionDll.wxi that ships beside it, as a package built with wixl does.
set -euo pipefail
fragment=$1 dll=$2 helper=$3
here=$(cd "$(dirname "$0")" && pwd)
cp "$here/app.cfg" "$here/settings.xml" "$here/ZarvoCSharpPlugin.vsz" "$dll" "$helper" \
   "$(dirname "$fragment")/ZarvoCustomActionDll.wxi" .
cp "$here/demo.wxs" demo-wixl.wxs
for name in readme redist legacy-shim manual; do
    echo "$name: installed by the Zarvo demo package." >"$name.txt"
done
