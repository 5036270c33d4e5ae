#!/usr/bin/env bash
# Builds the release archive twice from the commit checked out, in two clones at paths of
# different lengths made at different times, under different locales and time zones, and
# compares the two archives, and every file in them, byte for byte.
#   reproducible-test.sh WORKFOLDER
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "$1")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work" || exit 1
commit=$(git -C "$root" rev-parse HEAD)
release() {  # release FOLDER LOCALE TIMEZONE: clones the commit there and packs its archive
    git clone -q "$root" "$1" && git -C "$1" checkout -q --detach "$commit" &&
        (cd "$1" && LC_ALL=$2 TZ=$3 bash scripts/release.sh "$1/dist" >"$1.log" 2>&1) ||
        { fail "the release in $1: $(tail -5 "$1.log")"; return 1; }
    unzip -q "$1"/dist/*.zip -d "$1/unpacked"
}
release "$work/a" C UTC || exit 1
sleep 2
release "$work/another-clone/at-a-longer-path" C.UTF-8 Pacific/Auckland || exit 1

first=$(ls "$work"/a/dist/*.zip) second=$(ls "$work"/another-clone/at-a-longer-path/dist/*.zip)
[ "$(basename "$first")" == "$(basename "$second")" ] || fail "the archives are named differently"
# Each file first, so that a difference names the file it is in.
(cd "$work/a/unpacked" && find . -type f | sort) >"$work/files"
(cd "$work/another-clone/at-a-longer-path/unpacked" && find . -type f | sort) | cmp -s - "$work/files" ||
    fail "the archives hold different files"
while read -r file; do
    cmp -s "$work/a/unpacked/$file" "$work/another-clone/at-a-longer-path/unpacked/$file" || fail "$file differs"
done <"$work/files"
cmp -s "$first" "$second" || fail "the archives differ: $(cmp "$first" "$second")"
# The SHA-256 that release.sh prints is the archive's.
printed=$(sed -n 's/^SHA-256: //p' "$work/a.log")
[ "$printed" == "$(sha256sum "$first" | cut -d' ' -f1)" ] || fail "release.sh printed the SHA-256 $printed"

if [ $failures -eq 0 ]; then echo "the two releases are byte for byte the same ($printed)"; else exit 1; fi
