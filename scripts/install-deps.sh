#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root; does nothing when all
# of it is there already.
set -euo pipefail
packages=(cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
          g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 mingw-w64-i686-dev
          binutils-mingw-w64-i686 wine wine32:i386 wine64 msitools wixl xvfb xauth xxd zip unzip gcovr
          libmsi-dev libglib2.0-dev libcli11-dev nlohmann-json3-dev pkg-config)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
dpkg --add-architecture i386
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
