#!/usr/bin/env bash
# The checker's dry run held to the real thing. The sample package whose prerequisites fail
# is installed by Wine's installer with the shipped DLL; the checker for Windows, told of the
# same machine (its registry keys exported by regedit, the version of its msi.dll), must name
# the same failed rows and give the same answer. The sample package that installs, and the one
# that does not, must show no finding.
#   dry-run-test.sh CHECK.EXE DLL FRAGMENT HELPER WORKFOLDER    (WINEPREFIX: a 64-bit prefix)
set -uo pipefail
exe=$(realpath "$1") dll=$(realpath "$2") fragment=$(realpath "$3") helper=$(realpath "$4") work=$5
here=$(cd "$(dirname "$0")" && pwd)
package=$here/../package
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
"$package/prepare-demo.sh" "$fragment" "$dll" "$helper" || exit 1
for variant in demo:prerequisites demo-failing:prerequisites-failing; do
    "$package/build-package.sh" demo-wixl.wxs "$package/${variant#*:}.sql" x64 "${variant%%:*}.msi" >/dev/null ||
        fail "could not build ${variant%%:*}.msi"
done

for msi in demo.msi demo-failing.msi; do
    wine "$exe" "$msi" 2>&1 | tr -d '\r' >"$msi.findings"
    status=${PIPESTATUS[0]}
    [ "$status" == 0 ] && grep -qx "$msi: 0 errors, 0 warnings" "$msi.findings" ||
        fail "the checker finds fault with the sample package $msi (exit code $status): $(cat "$msi.findings")"
done

# The real installation: the log's FALSEPREREQUISITY properties, and whether it stopped.
wine msiexec /i demo-failing.msi /qn /l*v install.log
installed=$?
real_failed=$(tr -d '\r' <install.log | sed -n 's/^Property(S): \(FALSEPREREQUISITY_[0-9]*\) = /\1=/p' | sort -u)
[ -n "$real_failed" ] || fail "the real installation failed no row: is the failing package what it was?"
# The package's actions that call the three the dry run runs, in the order the installer started them.
real_started=$(tr -d '\r' <install.log |
    sed -n 's/^Action start [0-9:]*: \(CheckPrerequisites\|ChangeElementsFromPrerequisites\|IsFrameworkInstalled\|TestFramework45\)\.$/\1/p')

# The same machine described on top of the checker's baseline: the keys the rows read, in both
# views, and msi.dll's version.
wine regedit /e version-64.reg 'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion' &&
    wine regedit /e version-32.reg 'HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\Microsoft\Windows NT\CurrentVersion' ||
    fail "regedit could not export the keys"
msi_version=$(python3 - "$WINEPREFIX/drive_c/windows/syswow64/msi.dll" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO's signature
ms, ls = struct.unpack_from("<II", data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
PY
)
machine=(--machine version-64.reg --machine version-32.reg --file-version "C:\\Windows\\SysWOW64\\msi.dll=$msi_version")
wine "$exe" --format json "${machine[@]}" demo-failing.msi >dry-run.json
python3 - dry-run.json "$real_failed" "$installed" "$real_started" <<'PY' || fail "the dry run differs from the real installation"
import json, sys
runs = json.load(open(sys.argv[1]))["dryRun"]["actions"]
gate = next(run for run in runs if run["action"] == "CheckPrerequisites")
dry = sorted(f"{p['name']}={p['value']}" for p in gate["properties"] if p["name"].startswith("FALSEPREREQUISITY_"))
real = sorted(sys.argv[2].splitlines())
print("real installation:", real, "msiexec exit", sys.argv[3])
print("dry run:          ", dry, "CheckPrerequisites answered", gate["answer"])
assert dry == real, "not the same failed rows"
# The gate's 1603 stops the installation, which msiexec reports as 1603 (its low byte, 67).
assert gate["answer"] == 1603 and gate["stops"] and sys.argv[3] != "0", "not the same answer"
# Only what the sequence schedules runs, and nothing after the gate that stopped it.
started = [run["customAction"] for run in runs]
print("started:", sys.argv[4].split(), "dry run:", started)
assert started == sys.argv[4].split(), "not the same actions run"
PY

# --expect holds a build to the installation's outcome on that machine: it stops there.
wine "$exe" --expect fail "${machine[@]}" demo-failing.msi >/dev/null 2>&1 ||
    fail "--expect fail: exit code $? where the installation stops"
wine "$exe" --expect pass "${machine[@]}" demo-failing.msi >/dev/null 2>expect-pass.err
[ $? == 1 ] && grep -q "stops at CheckPrerequisites (answered 1603)" expect-pass.err ||
    fail "--expect pass: not refused where the installation stops: $(cat expect-pass.err)"

wineserver -k 2>/dev/null
if [ $failures -eq 0 ]; then echo "dry run test passed"; else exit 1; fi
