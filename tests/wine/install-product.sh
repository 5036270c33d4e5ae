#!/usr/bin/env bash
# Builds a package and installs it for the whole machine in the current Wine prefix
# (WINEPREFIX set):  install-product.sh WXS WORKFOLDER
set -euo pipefail
wxs=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
package=$work/$(basename "$wxs" .wxs).msi
wixl -o "$package" "$wxs"
wine msiexec /i "$package" /qn ALLUSERS=1 /l*v "$work/install.log" ||
    { echo "msiexec could not install $package (answered $?)"; exit 1; }
echo "installed $package"
