#!/usr/bin/env bash
# Builds what ships and packs the release archive:  release.sh [FOLDER]
# FOLDER/ZarvoCustomActionDll-<version>.zip (FOLDER is dist/ by default) holds, in a folder of
# the same name, the DLL, its debug information, the package checker for Windows and for Linux
# (zarvo-check.exe, zarvo-check), the WiX fragment and its source, the README, docs/ and the
# change log; the same commit packs it byte for byte the same. The version is the project's,
# in CMakeLists.txt; CHANGELOG.md must have its entry. The archive's SHA-256 is printed last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/source-date.sh"
dist=$(realpath -m "${1:-$root/dist}")
version=$(sed -n 's/^project(ZarvoCustomActionDll VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "CMakeLists.txt names no project version" >&2; exit 1; }
grep -q "^## $version\$" "$root/CHANGELOG.md" || { echo "CHANGELOG.md has no entry '## $version'" >&2; exit 1; }

"$root/scripts/build.sh" release >/dev/null
"$root/scripts/build.sh" bench zarvo-check >/dev/null
release=$root/build/release
# Only a DLL that passes the file check is packed.
actions=$(sed -n '/^set(ZARVO_ACTIONS/,/^)/{/^ /p}' "$root/src/dll/actions.cmake")
"$root/tests/dll/check-dll.sh" "$release/ZarvoCustomActionDll.dll" "$version" $actions >/dev/null ||
    { "$root/tests/dll/check-dll.sh" "$release/ZarvoCustomActionDll.dll" "$version" $actions; exit 1; }

name=ZarvoCustomActionDll-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$release/ZarvoCustomActionDll.dll" "$release/ZarvoCustomActionDll.debug" \
   "$release/zarvo-check.exe" "$root/build/bench/zarvo-check" \
   "$root/wix/ZarvoCustomActionDll.wxs" "$root/wix/ZarvoCustomActionDll.wxi" "$root/wix/wixl-hide-targets.sh" \
   "$root/README.md" "$root/CHANGELOG.md" "$stage/$name/"
strip "$stage/$name/zarvo-check"
cp -r "$root/docs" "$stage/$name/"
# The same commit packs the same archive: its members in one order, with the commit's time,
# fixed permissions and no owner.
mkdir -p "$dist"
rm -f "$dist/$name.zip"
(cd "$stage" && find "$name" -type d -exec chmod 0755 {} + && find "$name" -type f -exec chmod 0644 {} + &&
    chmod 0755 "$name"/*.sh "$name/zarvo-check" &&
    find "$name" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} + &&
    find "$name" | sort | zip -qX -@ "$dist/$name.zip")
echo "wrote $dist/$name.zip"
sha256sum "$dist/$name.zip" | sed 's/ .*//; s/^/SHA-256: /'
