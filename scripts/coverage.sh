#!/usr/bin/env bash
# Measures how much of the product code the native tests run: a build with gcc's coverage
# counters (no sanitizers, which would count their own branches), the native tests, and
# gcovr over src/ without the simulated machine and the Windows forwarders (only Wine runs
# those). Ends with one line: "coverage: lines N% branches N%".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/coverage
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZARVO_SANITIZE=OFF -DZARVO_COVERAGE=ON >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
find "$build" -name '*.gcda' -delete
(cd "$build" && ctest --output-on-failure --timeout 900 >/dev/null)
summary=$(gcovr --root "$root" --object-directory "$build" --filter "$root/src/" \
    --exclude "$root/src/platform/sim/" --exclude "$root/src/platform/win32/" \
    --txt "$build/coverage.txt" --print-summary)
echo "per file: $build/coverage.txt"
lines=$(sed -n 's/^lines: \([0-9.]*\)%.*/\1/p' <<<"$summary")
branches=$(sed -n 's/^branches: \([0-9.]*\)%.*/\1/p' <<<"$summary")
echo "coverage: lines $lines% branches $branches%"
