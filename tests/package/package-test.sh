#!/usr/bin/env bash
# Builds the sample package around the DLL, installs it with the installer of the current
# Wine prefix, reports what each action did, checks it, and uninstalls it.
#   package-test.sh DLL WORKFOLDER
# Run inside a prefix (WINEPREFIX set). Wine's msiexec reports an action that crashed or
# did not load as success, so every check looks at the action's effects, never only at
# msiexec's exit code.
#
# Two packages are built from the one demo.wxs and differ only in their Prerequisites table:
# demo.msi carries prerequisites.sql, whose rows all hold on a fresh Wine prefix, and
# demo-failing.msi carries prerequisites-failing.sql, where three of four rows fail and stop it.
set -uo pipefail
dll=$(realpath "$1") work=$2
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The README's examples must be the ones installed here: the fenced block after each marker.
readme=$here/../../README.md
readme_block() { sed -n "/<!-- $1 -->/,/^\`\`\`\$/p" "$readme" | sed '1,2d;$d'; }
snippet_stands_in_wxs() {
    local snippet line
    snippet=$(readme_block "$1")
    [ -n "$snippet" ] || { fail "the README has no block after <!-- $1 -->"; return; }
    while IFS= read -r line; do
        line=$(sed 's/^[[:space:]]*//' <<<"$line")
        [ -z "$line" ] || grep -qF -- "$line" "$here/demo.wxs" || fail "README $1 line not in demo.wxs: $line"
    done <<<"$snippet"
}
snippet_stands_in_wxs wix-snippet
snippet_stands_in_wxs prerequisites-wix
[ "$(readme_block prerequisites-sql)" == "$(cat "$here/prerequisites.sql")" ] ||
    fail "the README's Prerequisites table differs from tests/package/prerequisites.sql"

# Builds a package with the Prerequisites table of an SQL file. wixl knows no custom tables,
# so msibuild adds it afterwards: one -q per statement, each ended by ';' (a statement may
# span lines; no value holds a ';' or a line break).
build_package() {
    local msi=$1 sql=$2 statement queries=()
    wixl -o "$msi" demo.wxs || { fail "wixl could not build $msi"; return 1; }
    while IFS= read -r -d ';' statement; do
        statement=$(sed 's/^[[:space:]]*//; s/[[:space:]]*$//' <<<"$statement")
        [ -z "$statement" ] || queries+=(-q "$statement")
    done < <(tr '\n' ' ' <"$sql")
    msibuild "$msi" "${queries[@]}" || { fail "msibuild could not add the Prerequisites table of $sql"; return 1; }
}
# The verbose log is written in the prefix's code page with CR LF line ends; the installer
# writes every property with its final value at the end.
plain_log() { tr -d '\r' <"$1"; }
log_property() { sed -n "s/^Property(S): $2 = //p" "$1" | tail -n1; }
log_has_property() { grep -q "^Property(S): $2 = " "$1"; }
installed_file() { ls "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/"$1" 2>/dev/null | head -n1; }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$here/demo.wxs" "$dll" .
for name in readme redist legacy-shim manual; do
    echo "$name: installed by the Zarvo demo package." >"$name.txt"
done
# Each wixl run gives its package a package code of its own, as two different packages need.
build_package demo-failing.msi "$here/prerequisites-failing.sql" || exit 1
build_package demo.msi "$here/prerequisites.sql" || exit 1

# The failing variant first, on the clean prefix.
wine msiexec /i demo-failing.msi /qn /l*v failing.log
failing_status=$?
plain_log failing.log >failing.txt
failed_properties() { grep '^Property(S): FALSEPREREQUISITY_' "$1" | sed 's/^Property(S): //' | sort -u; }
failed=$(failed_properties failing.txt)
failing_left_file=$(installed_file readme.txt)

wine msiexec /i demo.msi /qn /l*v install.log
echo "msiexec /i answered $?"
plain_log install.log >install.txt

# What each action did, as the installer's log shows it.
echo "--- report: what each action did ---"
stamp=$(log_property install.txt DateTime)
echo "SetDateTimeProperty: DateTime = ${stamp:-<not set>}"
passed_failed=$(failed_properties install.txt)
if [ -z "$passed_failed" ]; then
    echo "CheckPrerequisites: passed (no FALSEPREREQUISITY property); the product was installed"
else
    echo "CheckPrerequisites: refused the machine: $(paste -sd ';' <<<"$passed_failed")"
fi
failed_list=$(paste -sd ';' <<<"$failed" | sed 's/;/; /g')
echo "CheckPrerequisites, failing variant: msiexec exited with $failing_status" \
    "(1603 is $((1603 % 256)) in an exit status's byte); ${failed_list:-no FALSEPREREQUISITY property};" \
    "the product was $([ -n "$failing_left_file" ] && echo installed || echo "not installed")"
left_out=$(log_property install.txt LEFT_OUT | xargs)
runtime_missing=$(log_property install.txt ZARVO_RUNTIME_MISSING)
echo "ChangeElementsFromPrerequisites: components left out: ${left_out:-none};" \
    "ZARVO_RUNTIME_MISSING = ${runtime_missing:-<not set>};" \
    "WINDOWS_BEFORE_XP $(log_has_property install.txt WINDOWS_BEFORE_XP && echo "= $(log_property install.txt WINDOWS_BEFORE_XP)" || echo "not set")"
copied=$(for f in redist.txt legacy-shim.txt; do [ -z "$(installed_file $f)" ] || echo "$f"; done | xargs)
[ -z "$copied" ] || echo "  (Wine's installer copied the files of the components left out all the same: $copied)"
echo "------------------------------------"

[[ $stamp =~ ^[0-3][0-9]\.[01][0-9]\.[0-9]{4}\;[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]] ||
    fail "DateTime is '$stamp', not dd.mm.yyyy;hh:mm:ss"
today=$(date +%d.%m.%Y)
[[ $stamp == "$today;"* || $stamp == "$(date -d '-1 min' +%d.%m.%Y);"* ]] ||
    fail "DateTime $stamp is not today ($today)"

# CheckPrerequisites. Every row of prerequisites.sql holds on a fresh prefix, 64-bit or
# 32-bit: the installation goes on and no failure property is set. The rows of the failing
# variant are numbered in Order order (they are inserted out of it), the passing row between
# failed ones takes no number, keywords match in any letter case, and the installation stops
# right after the gate.
# Wine's msiexec writes "Return value 0" for the action that answered 1603 (Windows writes
# 3) and exits with the low byte of 1603.
[ -z "$passed_failed" ] || fail "a prerequisite failed on a machine that meets them all: $passed_failed"
[ -n "$(installed_file readme.txt)" ] || fail "the package's file was not installed"
((failing_status == 1603 || failing_status == 1603 % 256)) ||
    fail "msiexec answered $failing_status to the failing variant, not 1603"
expected_failed="FALSEPREREQUISITY_0 = Zarvo Runtime 2.0 or later
FALSEPREREQUISITY_1 = Windows Installer 99.0 or later
FALSEPREREQUISITY_2 = Zarvo Tools installed"
[ "$failed" == "$expected_failed" ] || fail "the failing variant's failure properties are:"$'\n'"$failed"
! grep -q '^Action start .*: CostInitialize\.' failing.txt || fail "the failing variant went on after CheckPrerequisites"
[ -z "$failing_left_file" ] || fail "the failing variant installed the product"

# ChangeElementsFromPrerequisites. Redist is left out by the version of msi.dll, LegacyShim
# by the registry's Windows version; Manual stays, since the file its row looks for does not
# exist. A missing registry key sets ZARVO_RUNTIME_MISSING; a registry version that is high
# enough leaves WINDOWS_BEFORE_XP unset. The rows of the one action change nothing in the other.
[ "$left_out" == "Redist LegacyShim" ] || fail "components left out: '$left_out', not 'Redist LegacyShim'"
[ "$runtime_missing" == 1 ] || fail "ZARVO_RUNTIME_MISSING is '$runtime_missing', not 1"
! log_has_property install.txt WINDOWS_BEFORE_XP || fail "WINDOWS_BEFORE_XP was set"
[ -n "$(installed_file manual.txt)" ] || fail "the Manual component's file was not installed"

wine msiexec /x demo.msi /qn /l*v uninstall.log
[ -z "$(ls "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/*.txt 2>/dev/null)" ] ||
    fail "the package's files are still there after uninstalling"

wineserver -k 2>/dev/null
if [ $failures -eq 0 ]; then echo "package test passed"; else exit 1; fi
