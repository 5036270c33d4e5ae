#!/usr/bin/env bash
# Runs the benchmarks in an optimised native build without sanitizers and prints each
# measurement with its ratio to the baseline measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZARVO_SANITIZE=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zarvo_bench
"$build/bench/zarvo_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json > "$build/bench.json"
python3 - "$build/bench.json" <<'PY'
import json, sys
rows = {b["run_name"]: b["real_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
# Each measurement against the baseline of its own kind, from the same run.
def baseline(name):
    if "Rows/" in name: return rows["WalkRows/" + name.split("/")[1]], "the bare walk"
    return rows["ScanfVersionTexts"], "the C library's scan"
for name, ns in rows.items():
    base, what = baseline(name)
    per_row = f"  ({ns / int(name.split('/')[1]):8.1f} ns a row)" if "/" in name else ""
    print(f"{name:20s} {ns:11.1f} ns  {ns / base:5.2f} x {what}{per_row}")
PY
