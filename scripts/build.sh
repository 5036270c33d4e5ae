#!/usr/bin/env bash
# Configures and builds one side: build.sh native|release|bench|windows|fuzz [TARGET]
#   release  what ships for Windows: build/release/ZarvoCustomActionDll.dll and zarvo-check.exe
#   bench    the optimised native build without sanitizers, as scripts/bench.sh and
#            scripts/test.sh make it: the benchmarks, and zarvo-check as it ships for Linux
#   windows  the Windows test programs, around the release DLL (built first), which every
#            Wine test loads; a Debug DLL of its own beside them for development; and
#            zarvo-check.exe, held to the native zarvo-check (built first too)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/source-date.sh"
side=$1; shift
type=Debug
case $side in
    native) options=() ;;
    release) type=RelWithDebInfo
             options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-win32.cmake" -DZARVO_RELEASE=ON) ;;
    bench) type=Release
           options=(-DZARVO_SANITIZE=OFF) ;;
    windows) "$0" release ZarvoCustomActionDll
             "$0" native zarvo-check
             options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
                      -DZARVO_DLL="$root/build/release/ZarvoCustomActionDll.dll") ;;
    fuzz) options=(-DZARVO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++) ;;
esac
cmake -S "$root" -B "$root/build/$side" -DCMAKE_BUILD_TYPE=$type "${options[@]}" >/dev/null
cmake --build "$root/build/$side" -j"$(nproc)" ${1:+--target "$1"}
