#!/usr/bin/env bash
# Gives the actions that a package's WiX source marks HideTarget="yes" the installer's
# HideTarget bit (0x2000) in the package that wixl built from it: wixl reads the attribute but
# does not write the bit, and without it the installer logs the action's target and the data
# of its deferred action.
#   wixl-hide-targets.sh PACKAGE.msi SOURCE.wxs
# Reads SOURCE.wxs and the files it <?include?>s (ZarvoCustomActionDll.wxi among them), which
# lie in its folder. Needs msitools (msiinfo, msibuild), as wixl does.
set -euo pipefail
msi=$1 source=$2
folder=$(dirname "$source")
mapfile -t includes < <(sed -n 's/.*<?include[[:space:]]*\([^ ?]*\)[[:space:]]*?>.*/\1/p' "$source")
# Each CustomAction element on a line of its own, then the Id of each marked one.
hidden=$(cd "$folder" && cat "$(basename "$source")" "${includes[@]}" | tr '\n' ' ' |
    sed 's/<CustomAction /\n&/g' | sed -n 's/^\(<CustomAction [^>]*\)>.*/\1/p' |
    sed -n '/HideTarget="yes"/s/.* Id="\([^"]*\)".*/\1/p')
queries=()
while IFS=$'\t' read -r action type _; do
    grep -qx -- "$action" <<<"$hidden" || continue
    queries+=(-q "UPDATE \`CustomAction\` SET \`Type\` = $((type | 0x2000)) WHERE \`Action\` = '$action'")
done < <(msiinfo export "$msi" CustomAction | tail -n +4)
[ ${#queries[@]} -eq 0 ] || msibuild "$msi" "${queries[@]}"
