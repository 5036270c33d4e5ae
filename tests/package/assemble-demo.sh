#!/usr/bin/env bash
# Writes the sample package's source as wixl takes it. wixl takes neither actions in a
# fragment nor references to them: the fragment's content goes into the product where the
# first <CustomActionRef> stands, as WiX's linker would bring it in, and the references go.
#   assemble-demo.sh FRAGMENT DEMO.wxs OUT.wxs
set -euo pipefail
fragment=$1 demo=$2 out=$3
sed '1,/<Fragment>/d; /<\/Fragment>/,$d' "$fragment" >"$out.fragment"
awk 'NR == FNR { content = content $0 "\n"; next }
     /<CustomActionRef / { if (!placed) printf "%s", content; placed = 1; next }
     { print }' "$out.fragment" "$demo" >"$out"
rm -f "$out.fragment"
