#!/usr/bin/env bash
# Packs the release archive with scripts/release.sh, unpacks it into a fresh folder, and
# builds and installs the sample package from the unpacked DLL, fragment and README alone:
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
expected="CHANGELOG.md README.md ZarvoCustomActionDll.debug ZarvoCustomActionDll.dll ZarvoCustomActionDll.wxi ZarvoCustomActionDll.wxs docs wixl-hide-targets.sh"
contents=$(LC_ALL=C ls "$shipped" | xargs)
[ "$contents" == "$expected" ] || fail "the archive's folder holds [$contents], not [$expected]"
grep -q "^## ${name#ZarvoCustomActionDll-}\$" "$shipped/CHANGELOG.md" || fail "the change log has no entry for ${name#*-}"

"$root/tests/package/package-test.sh" "$shipped/ZarvoCustomActionDll.dll" "$shipped/ZarvoCustomActionDll.wxs" \
    "$shipped/README.md" "$helper" "$work/package" || fail "the sample package from the unpacked files"
if [ $failures -eq 0 ]; then echo "archive test passed"; else exit 1; fi
