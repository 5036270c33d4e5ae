#!/usr/bin/env bash
# Measures how much of the product code the native tests run: a build with gcc's coverage
# counters (no sanitizers, which would count their own branches), the native tests, and
# gcovr over src/ without the simulated machine, the Windows forwarders (only Wine runs
# those) and the package checker's libmsi platform (no part of the DLL). Ends with one
# line: "coverage: lines N% branches N%", and fails below 95% of lines or 85% of branches.
# gcovr looks for counters in the build folder only: a Wine prefix elsewhere in the tree
# links back to the whole file system.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/coverage
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZARVO_SANITIZE=OFF -DZARVO_COVERAGE=ON >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
find "$build" -name '*.gcda' -delete
(cd "$build" && ctest --output-on-failure --timeout 900 >/dev/null)
summary=$(gcovr --root "$root" --object-directory "$build" --filter "$root/src/" \
    --exclude "$root/src/platform/sim/" --exclude "$root/src/platform/win32/" \
    --exclude "$root/src/platform/libmsi/" \
    --txt "$build/coverage.txt" --print-summary "$build")
echo "per file: $build/coverage.txt"
lines=$(sed -n 's/^lines: \([0-9.]*\)%.*/\1/p' <<<"$summary")
branches=$(sed -n 's/^branches: \([0-9.]*\)%.*/\1/p' <<<"$summary")
echo "coverage: lines $lines% branches $branches%"
# The floor the native tests keep: what falls below it is code no test reaches.
awk -v l="$lines" -v b="$branches" 'BEGIN { exit !(l >= 95 && b >= 85) }' ||
    { echo "coverage below 95% of lines or 85% of branches"; exit 1; }
