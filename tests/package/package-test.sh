#!/usr/bin/env bash
# Builds the sample package around the DLL, installs it with the installer of the current
# Wine prefix, reports what each action did, checks it, and uninstalls it.
#   package-test.sh DLL WORKFOLDER
# Run inside a prefix (WINEPREFIX set). Wine's msiexec reports an action that crashed or
# did not load as success, so every check looks at the action's effects, never only at
# msiexec's exit code.
set -uo pipefail
dll=$(realpath "$1") work=$2
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The README's WiX snippet must stand, line for line, in the package installed here.
readme=$here/../../README.md
snippet=$(sed -n '/<!-- wix-snippet -->/,/^```$/p' "$readme" | sed '1,2d;$d')
[ -n "$snippet" ] || fail "the README has no WiX snippet"
while IFS= read -r line; do
    line=$(sed 's/^[[:space:]]*//' <<<"$line")
    [ -z "$line" ] || grep -qF -- "$line" "$here/demo.wxs" || fail "README snippet line not in demo.wxs: $line"
done <<<"$snippet"

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$here/demo.wxs" "$dll" .
echo "Read me: installed by the Zarvo demo package." > readme.txt
wixl -o demo.msi demo.wxs || { echo "FAIL: wixl could not build the package"; exit 1; }

wine msiexec /i demo.msi /qn /l*v install.log
echo "msiexec /i answered $?"
# The log is written in the prefix's code page; strip the CR of its line ends.
tr -d '\r' < install.log > install.txt

# What each action did, as the installer's log shows it.
echo "--- report: what each action did ---"
stamp=$(sed -n 's/^Property(S): DateTime = //p' install.txt | tail -n1)
echo "SetDateTimeProperty: DateTime = ${stamp:-<not set>}"
echo "------------------------------------"

[[ $stamp =~ ^[0-3][0-9]\.[01][0-9]\.[0-9]{4}\;[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]] ||
    fail "DateTime is '$stamp', not dd.mm.yyyy;hh:mm:ss"
today=$(date +%d.%m.%Y)
[[ $stamp == "$today;"* || $stamp == "$(date -d '-1 min' +%d.%m.%Y);"* ]] ||
    fail "DateTime $stamp is not today ($today)"
installed=$(ls "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/readme.txt 2>/dev/null | head -n1)
[ -n "$installed" ] || fail "the package's file was not installed"

wine msiexec /x demo.msi /qn /l*v uninstall.log
[ -z "$(ls "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/readme.txt 2>/dev/null)" ] ||
    fail "the package's file is still there after uninstalling"

wineserver -k 2>/dev/null
if [ $failures -eq 0 ]; then echo "package test passed"; else exit 1; fi
