#!/usr/bin/env bash
# Builds packages with wixl and msibuild that hold one of each mistake the checker knows, and
# checks them with the checker built for Linux (reading packages with libmsi) and with the
# one built for Windows (msi.dll), run under Wine: both must print the findings expected,
# byte for byte, and answer the same exit codes; a missing file, a folder, a file that is no
# package, a truncated package, a wrong command line and a .reg file that does not read stop
# both with exit code 2, each with a message of its own.
#   check-test.sh CHECK CHECK.EXE DLL WORKFOLDER      (WINEPREFIX set)
set -uo pipefail
check=$(realpath "$1") exe=$(realpath "$2") dll=$(realpath "$3") work=$4
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$dll" ZarvoCustomActionDll.dll
build() { "$here/../package/build-package.sh" "$here/$1" "$here/$2" "$3" "$4" >/dev/null || fail "could not build $4"; }
build mistakes.wxs mistakes.sql x64 mistakes.msi
build mistakes.wxs lacking-column.sql x86 lacking-column.msi
head -c 3000 mistakes.msi >truncated.msi
echo "not a package" >not-a-package.msi
mkdir folder.msi
printf 'Windows Registry Editor Version 5.00\n\n"Version"="2.0"\n' >value-before-key.reg

# Runs both checkers with the same arguments: NAME.native and NAME.windows hold what each
# printed (standard output, then standard error), NAME.status their exit codes.
run_both() {
    local name=$1; shift
    "$check" "$@" >"$name.native" 2>"$name.native-err"
    local native=$?
    wine "$exe" "$@" 2>"$name.windows-err" | tr -d '\r' >"$name.windows"
    local windows=${PIPESTATUS[0]}
    tr -d '\r' <"$name.windows-err" >"$name.windows-err2" && mv "$name.windows-err2" "$name.windows-err"
    cmp -s "$name.native" "$name.windows" || fail "$name: the two checkers print differently: $(diff "$name.native" "$name.windows" | head -5)"
    [ "$native" == "$windows" ] || fail "$name: exit codes differ: Linux $native, Windows $windows"
    echo "$native" >"$name.status"
}
expect_status() { [ "$(cat "$1.status")" == "$2" ] || fail "$1: exit code $(cat "$1.status"), expected $2"; }
expect_output() {
    diff -u "$here/$2" "$1.native" >"$1.diff" || fail "$1: not the findings expected:
$(head -40 "$1.diff")"
}
expect_error() {
    local side
    for side in native windows; do
        grep -qF -- "$2" "$1.$side-err" || fail "$1: no \"$2\" on the $side standard error: $(cat "$1.$side-err")"
    done
}

run_both mistakes mistakes.msi
expect_status mistakes 1
expect_output mistakes mistakes.expected
run_both lacking-column lacking-column.msi
expect_status lacking-column 1
expect_output lacking-column lacking-column.expected

# The same findings as one JSON document: each with its rule, and the counts of the text's
# last line.
run_both json --format json mistakes.msi
python3 - json.native mistakes.native <<'PY' || fail "json: not the document expected"
import json, sys
document = json.load(open(sys.argv[1]))
lines = open(sys.argv[2]).read().splitlines()
errors, warnings = document["errors"], document["warnings"]
assert f"mistakes.msi: {errors} error{'s' * (errors != 1)}, {warnings} warning{'s' * (warnings != 1)}" == lines[-1]
assert document["dryRun"] is None
texts = [f"mistakes.msi: {f['severity']} {f['rule']}: {f['where']}: {f['message']}" for f in document["findings"]]
assert texts == lines[:-1], "the findings differ from the text's"
PY

# A dry run on an empty machine: the rows read a registry and files that are not there.
run_both dry-run --file-version 'C:\Windows\SysWOW64\msi.dll=5.0.7601.17514' mistakes.msi
grep -q '^dry run: CheckPrerequisites answered' dry-run.native || fail "dry-run: no dry run printed: $(cat dry-run.native)"

run_both missing missing.msi
expect_status missing 2
expect_error missing "zarvo-check: missing.msi: no such file"
run_both folder folder.msi
expect_status folder 2
expect_error folder "zarvo-check: folder.msi: is a folder, not a package"
run_both not-a-package not-a-package.msi
expect_status not-a-package 2
expect_error not-a-package "zarvo-check: not-a-package.msi: cannot be opened as a Windows Installer package"
run_both truncated truncated.msi
expect_status truncated 2
run_both wrong-format --format xml mistakes.msi
expect_status wrong-format 2
run_both no-package --machine value-before-key.reg
expect_status no-package 2
run_both bad-reg --machine value-before-key.reg mistakes.msi
expect_status bad-reg 2
expect_error bad-reg "value-before-key.reg:3: "
run_both help --help
expect_status help 0

if [ $failures -eq 0 ]; then echo "check test passed"; else exit 1; fi
