#!/usr/bin/env bash
# Configures and builds one side: build.sh native|windows|fuzz [TARGET]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
side=$1; shift
case $side in
    native) options=() ;;
    windows) options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
    fuzz) options=(-DZARVO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++) ;;
esac
cmake -S "$root" -B "$root/build/$side" -DCMAKE_BUILD_TYPE=Debug "${options[@]}" >/dev/null
cmake --build "$root/build/$side" -j"$(nproc)" ${1:+--target "$1"}
