#!/usr/bin/env bash
# Builds a package from a WiX source with wixl, gives the actions it marks HideTarget="yes"
# their bit (which wixl does not write), then adds a Prerequisites table from an SQL file with
# msibuild (wixl knows no custom tables): one -q per statement, each ended by ';' (a statement
# may span lines; no value holds a ';' or a line break).
#   build-package.sh WXS SQL PLATFORM OUT.msi     (run where the package's files lie)
set -euo pipefail
wxs=$1 sql=$2 platform=$3 msi=$4
wixl -a "$platform" -D Platform="$platform" -o "$msi" "$wxs"
"$(dirname "$0")/../../wix/wixl-hide-targets.sh" "$msi" "$wxs"
queries=()
while IFS= read -r -d ';' statement; do
    statement=$(sed 's/^[[:space:]]*//; s/[[:space:]]*$//' <<<"$statement")
    [ -z "$statement" ] || queries+=(-q "$statement")
done < <(tr '\n' ' ' <"$sql")
msibuild "$msi" "${queries[@]}"
