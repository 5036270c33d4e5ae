#!/usr/bin/env python3
"""Times the release DLL's substitution engines under Wine on real files, next to cp, sed and
iconv doing the same work on the same bytes in the same run, and prints the ratios: to each
tool writing its file, and to cp and iconv also putting it on the disk and moving it over the
target, which the engine does too. Every engine output is compared with the shell tools' output
before its time is reported.

    bench_wine.py BUILD_FOLDER DRIVER DLL PREFIX
"""
import os
import shutil
import subprocess
import sys
import time

build, driver, dll, prefix = sys.argv[1:5]
work = os.path.join(build, "wine-bench")
os.makedirs(work, exist_ok=True)
env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
RUNS = 5

NAMES = [f"Name{i}" for i in range(10)]
VALUES = [f"C:\\Program Files\\App{i}" for i in range(10)]
ELEMENTS = [f"E{i}" for i in range(10)]
# Names as package authors write them: first letters that differ.
AUTHOR_NAMES = ["INSTALLDIR", "SERVERNAME", "PORTNUMBER", "DATADIR", "LOGDIR", "USERNAME", "TIMEOUT",
                "BACKUPDIR", "CACHESIZE", "EMAILHOST"]
# Twenty pairs, each value the next one's name: every replacement feeds the next row.
CHAIN = [chr(ord("a") + i) for i in range(21)]


def windows_path(path):
    return subprocess.run(["winepath", "-w", path], env=env, capture_output=True, text=True,
                          check=True).stdout.strip()


env["ZARVO_DLL"] = windows_path(dll)


def text_sample(megabytes, names=NAMES):
    lines, size, k = [], 0, 0
    while size < megabytes << 20:
        n = names[k % len(names)]
        line = (f"Path{k}=<{n}> ; {n} here\n" if k % 4 == 0
                else f"Setting{k}=some ordinary value of a setting\n")
        lines.append(line)
        size += len(line)
        k += 1
    return "".join(lines).encode("latin-1")


def xml_sample(megabytes):
    lines, size, k = ["<Settings>\n"], 0, 0
    while size < megabytes << 20:
        line = f"  <E{k % 10}>old value {k}</E{k % 10}>\n"
        lines.append(line)
        size += len(line)
        k += 1
    lines.append("</Settings>\n")
    return b"\xef\xbb\xbf" + "".join(lines).encode("utf-8")


def worst_sample(megabytes):
    # Lines of 4,998 characters (4,999 with the line end) made only of tokens.
    unit = "K" + CHAIN[0] + "<K" + CHAIN[0] + ">"
    line = (unit * (4998 // len(unit) + 1))[:4998] + "\n"
    return (line * ((megabytes << 20) // len(line) + 1)).encode("latin-1")


def sed_escape(text):
    return text.replace("\\", "\\\\").replace("/", "\\/").replace("&", "\\&")


def text_sed_script(pairs):
    lines = []
    for name, value in pairs:
        lines.append(f"s/<{name}>/{sed_escape(value.replace(chr(92), chr(92) * 2))}/g")
        lines.append(f"s/{name}/{sed_escape(value)}/g")
    lines.append("s/$/\\r/")
    return "\n".join(lines) + "\n"


def xml_sed_script():
    lines = [f"s|<{e}>[^<]*</{e}>|<{e}>new {e}</{e}>|" for e in ELEMENTS]
    lines.append("1s/^\\xef\\xbb\\xbf//")
    lines.append("s/$/\\r/")
    return "\n".join(lines) + "\n"


def tool_run(command, sample, out_path, on_disk):
    """Seconds a shell tool takes to write its output to `out_path`: the command's standard
    output, or the file `cp` writes. Alone, it writes over the file it wrote the round before;
    `on_disk` adds what the engine does after its last byte: a new file put on the disk, then
    moved over a copy of the sample, whose bytes go back to the disk."""
    target = out_path + ".target"
    if on_disk:
        shutil.copyfile(sample, target)
    if command[0] == "cp":
        start = time.perf_counter()
        subprocess.run(command + [out_path], check=True)
    else:
        with open(out_path, "wb") as out:
            start = time.perf_counter()
            subprocess.run(command, check=True, stdout=out)
    if on_disk:
        # fsync through any descriptor puts every byte of the file on the disk.
        descriptor = os.open(out_path, os.O_RDONLY)
        os.fsync(descriptor)
        os.close(descriptor)
        os.replace(out_path, target)
    return time.perf_counter() - start


# Runs a command in a process of its own and prints, after its output, the peak resident
# size of its children: the Wine process that ran the action, alone.
PEAK_WRAPPER = ("import resource, subprocess, sys; subprocess.run(sys.argv[1:], check=True); "
                "print('peak', resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")


def engine_run(action, sample, target, pairs):
    """Seconds inside the action, and the peak memory of the process that ran it."""
    shutil.copyfile(sample, target)
    out = subprocess.run([sys.executable, "-c", PEAK_WRAPPER, "wine", driver, action,
                          windows_path(target), *pairs], env=env, capture_output=True,
                         text=True, check=True).stdout.split()
    return float(out[out.index("ms") + 1]) / 1000, int(out[out.index("peak") + 1])


def median(values):
    return sorted(values)[len(values) // 2]


def case(label, action, sample_bytes, pairs, script):
    sample = os.path.join(work, label + ".in")
    target = os.path.join(work, label + ".out")
    with open(sample, "wb") as f:
        f.write(sample_bytes)
    with open(os.path.join(work, label + ".sed"), "w") as f:
        f.write(script)
    sed = ["sed", "-f", os.path.join(work, label + ".sed"), sample]
    # The tools, each writing a file as the engine does: alone, and put on the disk and moved
    # over its target as the engine does too.
    tools = {"cp": ["cp", sample], "sed": sed}
    if action == "SetupSubstXmlFiles":
        tools["iconv"] = ["iconv", "-f", "UTF-8", "-t", "UTF-16LE", sample]
    # One run of each in every round, so that a slow spell of the machine weighs on all of
    # them alike; each ratio is the median of the rounds' ratios.
    rounds, peak = [], 0
    for _ in range(RUNS):
        seconds, round_peak = engine_run(action, sample, target, pairs)
        peak = max(peak, round_peak)
        times = {"engine": seconds}
        for name, command in tools.items():
            times[name] = tool_run(command, sample, f"{sample}.{name}-out", False)
            if name != "sed":
                times[name + " on disk"] = tool_run(command, sample, f"{sample}.{name}-disk", True)
        rounds.append(times)
    # What sed wrote in the last round is what the engine must have written: for XML, as
    # UTF-16LE with its mark.
    with open(f"{sample}.sed-out", "rb") as f:
        expected = f.read()
    if action == "SetupSubstXmlFiles":
        expected = b"\xff\xfe" + expected.decode("utf-8").encode("utf-16-le")
    with open(target, "rb") as f:
        if f.read() != expected:
            sys.exit(f"{label}: the engine's output differs from the shell tools' ({target}, {sample}.sed-out)")
    ratios = {name: median([r["engine"] / r[name] for r in rounds]) for name in rounds[0] if name != "engine"}
    return {"label": label, "bytes": len(sample_bytes), "seconds": median([r["engine"] for r in rounds]),
            "peak_kb": peak, "ratios": ratios, "run": (action, sample, target, pairs)}


text_pairs = [f"{n}={v}" for n, v in zip(NAMES, VALUES)]
xml_pairs = [f"{e}=new {e}" for e in ELEMENTS]
chain_pairs = [f"K{CHAIN[i]}=K{CHAIN[i + 1]}" for i in range(20)]
results = []
for mb in (8, 64):
    results.append(case(f"text-{mb}MB", "SetupSubstFiles", text_sample(mb), text_pairs,
                        text_sed_script(zip(NAMES, VALUES))))
    results.append(case(f"xml-{mb}MB", "SetupSubstXmlFiles", xml_sample(mb), xml_pairs, xml_sed_script()))
results.append(case("text-1MB", "SetupSubstFiles", text_sample(1), text_pairs,
                    text_sed_script(zip(NAMES, VALUES))))
results.append(case("worst-1MB", "SetupSubstFiles", worst_sample(1), chain_pairs,
                    text_sed_script([(f"K{CHAIN[i]}", f"K{CHAIN[i + 1]}") for i in range(20)])))

# Both kinds of token set, one pair to ten, a pair on every fourth line of 64 MB.
for kind, names in (("alike", NAMES), ("authors", AUTHOR_NAMES)):
    for count in (1, 2, 5, 10):
        chosen = names[:count]
        values = VALUES[:count]
        results.append(case(f"{kind}-{count}-64MB", "SetupSubstFiles", text_sample(64, chosen),
                            [f"{n}={v}" for n, v in zip(chosen, values)], text_sed_script(zip(chosen, values))))

COLUMNS = ("cp", "sed", "iconv", "cp on disk", "iconv on disk")
print(f"{'engine under Wine':18s} {'time':>9s} " + " ".join(f"{'x ' + c:>15s}" for c in COLUMNS)
      + f" {'MB/s':>7s} {'peak MB':>8s}")
for r in results:
    ratios = " ".join(f"{r['ratios'][c]:15.2f}" if c in r["ratios"] else f"{'':15s}" for c in COLUMNS)
    print(f"{r['label']:18s} {r['seconds'] * 1000:7.0f}ms {ratios} {r['bytes'] / 1048576 / r['seconds']:7.1f} "
          f"{r['peak_kb'] / 1024:8.0f}")
by = {r["label"]: r for r in results}


def size_ratio(small, large):
    """What the large case's file costs over the small one's, the median of rounds that each run
    both, one after the other: a machine that slows between the cases above weighs on neither."""
    ratios = []
    for _ in range(RUNS):
        small_seconds = engine_run(*small["run"])[0]
        ratios.append(engine_run(*large["run"])[0] / small_seconds)
    return median(ratios)


for kind in ("text", "xml"):
    small, large = by[kind + "-8MB"], by[kind + "-64MB"]
    print(f"{kind}: 64 MB costs {size_ratio(small, large):.2f}x what 8 MB costs (in the same rounds; "
          f"{large['seconds'] / small['seconds']:.2f}x between the cases' medians)")
print(f"worst case: {by['worst-1MB']['seconds'] / by['text-1MB']['seconds']:.2f}x an ordinary 1 MB file")
print("peak MB is the largest resident size of the Wine process that ran the action; the same at 8 and"
      " 64 MB means the engine streams")
