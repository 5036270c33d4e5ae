#!/usr/bin/env bash
# Puts the sample package's source, as wixl takes it, and the files it installs into the
# current folder.
#   prepare-demo.sh FRAGMENT DLL HELPER
# wixl takes neither actions in a fragment nor references to them: the fragment's content
# goes into the product where the first <CustomActionRef> stands, as WiX's linker would bring
# it in, and the references go.
set -euo pipefail
fragment=$1 dll=$2 helper=$3
here=$(cd "$(dirname "$0")" && pwd)
cp "$here/app.cfg" "$here/settings.xml" "$here/ZarvoCSharpPlugin.vsz" "$dll" "$helper" .
for name in readme redist legacy-shim manual; do
    echo "$name: installed by the Zarvo demo package." >"$name.txt"
done
sed '1,/<Fragment>/d; /<\/Fragment>/,$d' "$fragment" >fragment-content.xml
awk 'NR == FNR { content = content $0 "\n"; next }
     /<CustomActionRef / { if (!placed) printf "%s", content; placed = 1; next }
     { print }' fragment-content.xml "$here/demo.wxs" >demo-wixl.wxs
