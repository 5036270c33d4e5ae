#!/usr/bin/env bash
# Runs the benchmarks in an optimised native build without sanitizers and prints each
# measurement with its ratio to the baseline measured in the same run; then times the
# release DLL's engines under Wine on real files of 8 and 64 MB against cp, sed and iconv
# (scripts/bench_wine.py).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZARVO_SANITIZE=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zarvo_bench
"$build/bench/zarvo_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json > "$build/bench.json"
# The shell tools a user would reach for, on the same bytes, in the same run: cp copies
# (the floor), sed makes the plain-text engine's two replacements.
for mb in 1 8; do
    "$build/bench/zarvo_bench" --sample "$build/sample-$mb.cfg" "$mb"
done
python3 - "$build" <<'PY'
import json, subprocess, sys, time
build = sys.argv[1]
scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}
rows = {b["run_name"]: b["real_time"] * scale[b["time_unit"]]
        for b in json.load(open(f"{build}/bench.json"))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def median_run(command):
    times = []
    for _ in range(5):
        start = time.perf_counter_ns()
        subprocess.run(command, shell=True, check=True)
        times.append(time.perf_counter_ns() - start)
    return sorted(times)[2]
tools = {}
for mb in (1, 8):
    sample = f"{build}/sample-{mb}.cfg"
    tools[f"cp/{mb}"] = median_run(f"cp {sample} {sample}.copy")
    tools[f"sed/{mb}"] = median_run(
        f"sed -e 's/<Name>/C:\\\\\\\\Program Files\\\\\\\\App/g' -e 's/Name/C:\\\\Program Files\\\\App/g' "
        f"-e 's/$/\\r/' {sample} > {sample}.sed")
# Each measurement against the baseline of its own kind, from the same run.
for name, ns in rows.items():
    if "Rows/" in name:
        count = int(name.split("/")[1])
        base = rows["WalkRows/" + name.split("/")[1]]
        print(f"{name:20s} {ns:13.1f} ns  {ns / base:6.2f} x the bare walk  ({ns / count:8.1f} ns a row)")
    elif name.startswith("WorstCase/"):
        print(f"{name:20s} {ns / 1e6:10.2f} ms  {ns / rows['TextEngine/1']:6.2f} x an ordinary 1 MB file")
    elif name.startswith("AuthorsNames/"):
        mb = name.split("/")[1]
        print(f"{name:20s} {ns / 1e6:10.2f} ms  {ns / rows['TextEngine/' + mb]:6.2f} x one name alike")
    elif "Engine/" in name:
        mb = name.split("/")[1]
        # sed makes the plain-text engine's replacements, not the XML engine's.
        sed = "" if name.startswith("XmlEngine/") else f"{ns / tools['sed/' + mb]:6.2f} x sed  "
        print(f"{name:20s} {ns / 1e6:10.2f} ms  {ns / tools['cp/' + mb]:6.2f} x cp  "
              f"{sed}({int(mb) * 1e3 / (ns / 1e6):6.1f} MB/s)")
    else:
        print(f"{name:20s} {ns:13.1f} ns  {ns / rows['ScanfVersionTexts']:6.2f} x the C library's scan")
for name, ns in tools.items():
    print(f"{name:20s} {ns / 1e6:10.2f} ms  (shell tool, with its process start)")
PY

# The release DLL under Wine, in a prefix of the benchmark's own.
"$root/scripts/build.sh" windows zarvo_bench_driver >/dev/null
prefix=$build/prefix-win64
[ -d "$prefix" ] || "$root/tests/wine/make-prefix.sh" "$prefix" win64 >/dev/null
python3 "$root/scripts/bench_wine.py" "$build" "$root/build/windows/zarvo_bench_driver.exe" \
    "$root/build/release/ZarvoCustomActionDll.dll" "$prefix"
