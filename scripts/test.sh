#!/usr/bin/env bash
# Runs every test layer: native unit and scenario tests over the simulated machine (with
# AddressSanitizer and UBSan), the fuzz targets for a bounded time, then, on the release DLL
# (build/release/ZarvoCustomActionDll.dll, which the Windows build makes first), the DLL file
# check, the scenarios against it and the sample package under Wine, in a 64-bit and a
# 32-bit prefix, and the release archive unpacked and installed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" || exit 1

passed=0 failed=0 logs=()
run_ctest() {  # adds a ctest run's counts to the totals
    local folder=$1; shift
    local log="$folder/ctest-summary.txt"
    logs+=("$log")
    (cd "$folder" && "$@" ctest --output-on-failure --timeout 900) | tee "$log"
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
    passed=$((passed + total - bad)) failed=$((failed + bad))
}

if "$root/scripts/build.sh" native; then
    run_ctest "$root/build/native"
else
    echo "FAIL: the native build"; failed=$((failed + 1))
fi
# The optimised build without sanitizers meets warnings that the debug build does not.
if cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DZARVO_SANITIZE=OFF >/dev/null &&
    cmake --build "$root/build/bench" -j"$(nproc)" >/dev/null; then
    echo "PASS: the optimised build"; passed=$((passed + 1))
else
    echo "FAIL: the optimised build"; failed=$((failed + 1))
fi
# Coverage of the product code by the native tests, with its own build.
if "$root/scripts/coverage.sh"; then
    echo "PASS: coverage measured"; passed=$((passed + 1))
else
    echo "FAIL: coverage"; failed=$((failed + 1))
fi
if "$root/scripts/build.sh" fuzz; then
    run_ctest "$root/build/fuzz"
else
    echo "FAIL: the fuzz build"; failed=$((failed + 1))
fi
if "$root/scripts/build.sh" windows; then
    run_ctest "$root/build/windows" xvfb-run -a
else
    echo "FAIL: the Windows build"; failed=$((failed + 1))
fi

# A failed assertion's message sits in the middle of a long log: it is repeated last, where
# a reader of the output's end finds it.
for log in "${logs[@]}"; do
    grep -E -A8 '(: Failure|^\[  FAILED  \] [^0-9])' "$log" | head -n 80
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
