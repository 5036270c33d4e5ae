#!/usr/bin/env bash
# Packs the release archive with scripts/release.sh, unpacks it into a fresh folder, builds
# and installs the sample package from the unpacked DLL, fragment and README alone, and checks
# the sample packages with the unpacked checkers for Linux and for Windows:
#   archive-test.sh HELPER WORKFOLDER
# Run inside a prefix (WINEPREFIX set); HELPER is the test helper program, the sample's agent.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
helper=$1 work=$(realpath -m "$2")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/unpacked" || exit 1
"$root/scripts/release.sh" "$work/dist" | tee "$work/release.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "FAIL: release.sh"; exit 1; }
archive=$(sed -n 's/^wrote //p' "$work/release.txt")
[ "$(sed -n 's/^SHA-256: //p' "$work/release.txt")" == "$(sha256sum "$archive" | sed 's/ .*//')" ] ||
    fail "the SHA-256 printed is not the archive's"
unzip -q "$archive" -d "$work/unpacked" || { echo "FAIL: cannot unpack $archive"; exit 1; }

# One folder named as the archive, holding exactly what ships.
name=$(basename "$archive" .zip)
[ "$(ls "$work/unpacked")" == "$name" ] || fail "the archive holds [$(ls "$work/unpacked" | xargs)], not one folder $name"
shipped=$work/unpacked/$name
expected="CHANGELOG.md README.md ZarvoCustomActionDll.debug ZarvoCustomActionDll.dll ZarvoCustomActionDll.wxi ZarvoCustomActionDll.wxs docs wixl-hide-targets.sh zarvo-check zarvo-check.exe"
contents=$(LC_ALL=C ls "$shipped" | xargs)
[ "$contents" == "$expected" ] || fail "the archive's folder holds [$contents], not [$expected]"
grep -q "^## ${name#ZarvoCustomActionDll-}\$" "$shipped/CHANGELOG.md" || fail "the change log has no entry for ${name#*-}"

"$root/tests/package/package-test.sh" "$shipped/ZarvoCustomActionDll.dll" "$shipped/ZarvoCustomActionDll.wxs" \
    "$shipped/README.md" "$helper" "$work/package" || fail "the sample package from the unpacked files"

# Both checkers, as shipped, tell the project's version and agree on the sample packages: the
# one that installs has nothing wrong and passes its dry run on the baseline machine; the one
# whose prerequisites fail is stopped by them there.
check_both() {
    local linux windows
    (cd "$work/package" && "$shipped/zarvo-check" "$@") >"$work/linux.out" 2>&1
    linux=$?
    (cd "$work/package" && wine "$shipped/zarvo-check.exe" "$@") 2>&1 | tr -d '\r' >"$work/windows.out"
    windows=${PIPESTATUS[0]}
    [ "$linux" == 0 ] && [ "$windows" == 0 ] ||
        fail "zarvo-check $*: exit code $linux on Linux, $windows on Windows: $(tail -3 "$work/linux.out")"
    cmp -s "$work/linux.out" "$work/windows.out" ||
        fail "zarvo-check $*: the two print differently: $(diff "$work/linux.out" "$work/windows.out" | head -5)"
}
check_both --version
[ "$(cat "$work/linux.out")" == "zarvo-check ${name#ZarvoCustomActionDll-}" ] ||
    fail "zarvo-check --version prints \"$(cat "$work/linux.out")\", not the archive's version"
check_both demo.msi
grep -qx "demo.msi: 0 errors, 0 warnings" "$work/linux.out" || fail "zarvo-check demo.msi: $(cat "$work/linux.out")"
check_both --expect pass demo.msi
check_both --expect fail demo-failing.msi
if [ $failures -eq 0 ]; then echo "archive test passed"; else exit 1; fi
