#!/usr/bin/env bash
# Builds the sample package around the DLL and its WiX fragment, installs it with the
# installer of the current Wine prefix, reports what each action did, checks it, and
# uninstalls it.
#   package-test.sh DLL FRAGMENT README HELPER WORKFOLDER
# DLL, FRAGMENT (ZarvoCustomActionDll.wxs, with the ZarvoCustomActionDll.wxi beside it that the
# package includes) and README are the files shipped together; HELPER is the test helper
# program, which the package installs as its agent. Run inside a prefix (WINEPREFIX set). Wine's msiexec reports an action that crashed or did not load as success,
# so every check looks at the action's effects, never only at msiexec's exit code.
#
# Two packages are built from the one demo.wxs and differ only in their Prerequisites table:
# demo.msi carries prerequisites.sql, whose rows all hold on a fresh Wine prefix, and
# demo-failing.msi carries prerequisites-failing.sql, where three of four rows fail and stop it.
# demo.msi is installed on the fresh prefix, where no .NET Framework is registered, then run
# again with a framework 4.0.30319 registered, to see NetFrameworkInstall decide both ways.
# Both runs are given a planted database password, which must reach settings.xml and appear
# nowhere in their verbose logs. demo-failing.msi is installed silently, then with the full UI,
# where a stand-in for the person installing reads and answers the message naming the rows.
#
# Both packages are built for the prefix's Windows: marked x64 on 64-bit Windows, x86 on
# 32-bit Windows. The XML substitution command must land in the 64-bit registry view, which
# on Windows only a 64-bit component of a package marked x64 writes: Windows' installer
# treats every component of an x86 package as 32-bit (Wine's honours a 64-bit component
# there too, so the test cannot tell the difference). An x64 package does not install on
# 32-bit Windows, where the one view serves both actions.
set -uo pipefail
dll=$(realpath "$1") fragment=$(realpath "$2") readme=$(realpath "$3") helper=$(realpath "$4") work=$5
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
. "$here/processes.sh"

# The examples of the README and of the documents beside it (docs/) must be the ones installed
# here: the fenced block after each marker, each line found in the sample package or in the
# fragment's source, ZarvoCustomActionDll.wxi. The WiX 3 reference <CustomActionRef Id="X"/>,
# which the sample (built with wixl) has no use for, stands when the fragment defines X.
include=$(dirname "$fragment")/ZarvoCustomActionDll.wxi
readme_block() { cat "$readme" "$(dirname "$readme")"/docs/*.md | sed -n "/<!-- $1 -->/,/^\`\`\`\$/p" | sed '1,2d;$d'; }
snippet_stands_in_wxs() {
    local snippet line
    snippet=$(readme_block "$1")
    [ -n "$snippet" ] || { fail "the README has no block after <!-- $1 -->"; return; }
    while IFS= read -r line; do
        line=$(sed 's/^[[:space:]]*//; s/^<CustomActionRef Id="\([A-Za-z0-9]*\)"\/>$/<CustomAction Id="\1" /' <<<"$line")
        [ -z "$line" ] || grep -qF -- "$line" "$here/demo.wxs" "$include" ||
            fail "README $1 line not in demo.wxs or the fragment: $line"
    done <<<"$snippet"
}
# The fragment, as WiX 3 compiles it (its include resolved), defines an action for each export
# of the DLL, and the README shows for each the lines that a package adds.
exported=$(i686-w64-mingw32-objdump -p "$dll" |
    awk '/\[Ordinal\/Name Pointer\] Table/{t=1; next} t && /^[[:space:]]*\[/{print $NF; next} t{t=0}' | sort)
defined=$(wixl -E "$fragment" | sed -n 's/.*DllEntry="\([A-Za-z0-9]*\)".*/\1/p' | sort)
[ "$defined" == "$exported" ] || fail "the fragment defines [$(echo $defined)], the DLL exports [$(echo $exported)]"
for action in $exported; do snippet_stands_in_wxs "wix $action"; done
snippet_stands_in_wxs substitution-wix
for recipe in minimal include prerequisites-ui hiding-secrets; do snippet_stands_in_wxs "wix $recipe"; done
[ "$(readme_block prerequisites-sql)" == "$(cat "$here/prerequisites.sql")" ] ||
    fail "the README's Prerequisites table differs from tests/package/prerequisites.sql"

# Builds a package with the Prerequisites table of an SQL file.
build_package() {
    "$here/build-package.sh" demo-wixl.wxs "$2" "$platform" "$1" || { fail "could not build $1 with $2"; return 1; }
}
# The verbose log is written in the prefix's code page with CR LF line ends; the installer
# writes every property with its final value at the end.
plain_log() { tr -d '\r' <"$1"; }
log_property() { sed -n "s/^Property(S): $2 = //p" "$1" | tail -n1; }
log_has_property() { grep -q "^Property(S): $2 = " "$1"; }
# Runs a command in the 64-bit registry view, which the framework actions read under WOW64
# (a 32-bit prefix has the one view, and reg takes the option there too).
reg64() { wine reg "$@" /reg:64 >/dev/null 2>&1; }
installed_file() { ls "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/"$1" 2>/dev/null | head -n1; }
if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    platform=x64 install_dir='C:\Program Files (x86)\ZarvoDemo\' views=(32 64)
else
    platform=x86 install_dir='C:\Program Files\ZarvoDemo\' views=(32)
fi
view_name() { if [ $platform == x64 ]; then echo "the $1-bit view"; else echo "the one view of 32-bit Windows"; fi; }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
"$here/prepare-demo.sh" "$fragment" "$dll" "$helper" || exit 1
# The stand-in for the framework's redistributable, beside the package under both of the
# names the package gives it: resources only, file version 4.0.30319.1.
i686-w64-mingw32-windres "$here/redistributable.rc" -o redistributable.o &&
    i686-w64-mingw32-gcc -shared -nostdlib -s -Wl,-e,0 redistributable.o -o dotNetFx40_Full_x86.exe &&
    cp dotNetFx40_Full_x86.exe dotNetFx40_Full_x86_x64.exe || { fail "could not build the stand-in redistributable"; exit 1; }
i686-w64-mingw32-gcc -municode -O2 -s "$here/answer-box.c" -o answer-box.exe ||
    { fail "could not build the stand-in for the person installing"; exit 1; }
# Each wixl run gives its package a package code of its own, as two different packages need.
build_package demo-failing.msi "$here/prerequisites-failing.sql" || exit 1
build_package demo.msi "$here/prerequisites.sql" || exit 1

# No deferred action lets the installer log its data: each one (type bit 0x400), and each
# type-51 action that sets the property of a deferred action's name, has the HideTarget bit.
custom_actions=$(msiinfo export demo.msi CustomAction | tail -n +4 | tr -d '\r')
deferred=$(awk -F'\t' 'int($2 / 1024) % 2 { print $1 }' <<<"$custom_actions")
while IFS=$'\t' read -r action type source _; do
    if grep -qx -- "$action" <<<"$deferred" || { ((type % 64 == 51)) && grep -qx -- "$source" <<<"$deferred"; }; then
        ((type & 0x2000)) || fail "$action (type $type) lets the installer log its data: no HideTarget bit"
    fi
done <<<"$custom_actions"
# Five, so that the rule is not passed by finding none.
[ "$(wc -l <<<"$deferred")" == 5 ] || fail "demo.msi has the deferred actions [$(echo $deferred)], not five"

# The failing variant first, on the clean prefix: silently, then with the full UI, where the
# check in the UI sequence and the launch condition after it name the failed rows in a
# message box (Wine's title for it: "Install Failed"), which answer-box.exe reads and answers.
wine msiexec /i demo-failing.msi /qn /l*v failing.log
failing_status=$?
plain_log failing.log >failing.txt
failed_properties() { grep '^Property(S): FALSEPREREQUISITY_' "$1" | sed 's/^Property(S): //' | sort -u; }
failed=$(failed_properties failing.txt)
failing_left_file=$(installed_file readme.txt)
wine answer-box.exe "Install Failed" failing-box.txt &
answerer=$!
wine msiexec /i demo-failing.msi /l*v failing-ui.log
failing_ui_status=$?
plain_log failing-ui.log >failing-ui.txt
wait $answerer || fail "no message box came up in the UI installation of the failing variant"
failing_box=$(cat failing-box.txt 2>/dev/null)
failing_ui_left_file=$(installed_file readme.txt)

# The planted database password, given as an administrator would give it.
secret=Zv7-planted-Q3xK9
start_agent
wine msiexec /i demo.msi /qn /l*v install.log DBPASSWORD=$secret
echo "msiexec /i answered $?"
plain_log install.log >install.txt

# The rewritten files and the command key as the installation left them. Taken before the
# next run: Wine's installer, asked to install the installed product again, copies its files
# and writes the commands anew, and the actions rewrite them again (Windows, in maintenance
# without REINSTALL, leaves every component as it is and the actions' conditions are false).
rewritten_files=(app.cfg settings.xml ZarvoCSharpPlugin.vsz)
for name in "${rewritten_files[@]}"; do
    rm -f "installed-$name"
    [ -z "$(installed_file "$name")" ] || cp "$(installed_file "$name")" "installed-$name"
done
command_key='HKLM\SOFTWARE\Zarvo\Demo\Substitution'
for view in "${views[@]}"; do
    wine reg query "$command_key" /reg:$view >"commands-$view.txt" 2>/dev/null
    echo $? >"commands-$view.status"
done

# demo.msi again, now that the machine has a framework 4.0.30319 registered as its installer
# registers it: a policy key v4.0 whose value is named by the build. The prefix is left as it
# was found; a prefix that has a framework key of its own is not touched.
policy='HKLM\SOFTWARE\Microsoft\.NETFramework'
if reg64 query "$policy"; then
    fail "the prefix already has $policy; the decision with a registered framework was not tried"
else
    reg64 add "$policy\Policy\v4.0" /v 30319 /t REG_SZ /d 30319-30319 /f || fail "could not register the framework"
    wine msiexec /i demo.msi /qn /l*v registered.log DBPASSWORD=$secret
    reg64 delete "$policy" /f || fail "could not remove the registered framework"
fi
plain_log registered.log >registered.txt 2>/dev/null

# What each action did, as the installer's log shows it.
echo "--- report: what each action did ---"
stamp=$(log_property install.txt DateTime)
echo "SetDateTimeProperty: DateTime = ${stamp:-<not set>}"
report_processes
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
echo "CheckPrerequisites, failing variant with the full UI: msiexec exited with $failing_ui_status; the message box read:"
sed 's/^/    /' <<<"${failing_box:-<no message box>}"
echo "Hiding secrets: the planted password $secret is in $(grep -c -F -- "$secret" install.txt) lines of install.log," \
    "$(grep -c -F -- "$secret" registered.txt) of registered.log"
left_out=$(log_property install.txt LEFT_OUT | xargs)
runtime_missing=$(log_property install.txt ZARVO_RUNTIME_MISSING)
echo "ChangeElementsFromPrerequisites: components left out: ${left_out:-none};" \
    "ZARVO_RUNTIME_MISSING = ${runtime_missing:-<not set>};" \
    "WINDOWS_BEFORE_XP $(log_has_property install.txt WINDOWS_BEFORE_XP && echo "= $(log_property install.txt WINDOWS_BEFORE_XP)" || echo "not set")"
after_passing_test=$(log_property install.txt FRAMEWORK_AFTER_PASSING_TEST)
left_unset=$([ "$after_passing_test" == "FrameworkNotInstalled=" ] && echo "left FrameworkNotInstalled unset" ||
    echo "left ${after_passing_test:-no trace}")
not_installed=$(log_property install.txt FrameworkNotInstalled)
echo "IsFrameworkInstalled: passing test (Windows 6.0) $left_unset;" \
    "failing test (.NET Framework 4.5) set FrameworkNotInstalled to ${not_installed:-<nothing>}"
# The 64-bit Windows reads the redistributable's name from NetFrameworkFileName64.
if log_has_property install.txt VersionNT64; then redist=dotNetFx40_Full_x86_x64.exe; else redist=dotNetFx40_Full_x86.exe; fi
source_dir="Z:$(pwd -P | tr / '\\')\\"
decided() { echo "mode ${1:-<not set>}${2:+, path $2}"; }
mode=$(log_property install.txt NetFrameworkInstallationMode)
full_path=$(log_property install.txt NetFrameworkFullPath)
registered_mode=$(log_property registered.txt NetFrameworkInstallationMode)
registered_path=$(log_property registered.txt NetFrameworkFullPath)
echo "NetFrameworkInstall: no framework registered: $(decided "$mode" "$full_path");" \
    "framework 4.0.30319 registered: $(decided "$registered_mode" "$registered_path")"
copied=$(for f in redist.txt legacy-shim.txt; do [ -z "$(installed_file $f)" ] || echo "$f"; done | xargs)
[ -z "$copied" ] || echo "  (Wine's installer copied the files of the components left out all the same: $copied)"
# The file before (as the package carries it) and after (as installed), a few lines each.
describe_encoding() {
    local mark ends=LF
    case $(head -c 3 "$1" | xxd -p) in
        efbbbf) mark="UTF-8 with a byte-order mark" ;;
        fffe*) mark="UTF-16LE with a byte-order mark" ;;
        *) mark="single-byte" ;;
    esac
    ! grep -q $'\r' "$1" || ends="CR LF"
    echo "$mark, $ends"
}
show_lines() {
    local label=$1 file=$2 lines=$3
    [ -f "$file" ] || { echo "    $label <no file>"; return; }
    echo "    $label ($(describe_encoding "$file"))"
    if [ "$(head -c 2 "$file" | xxd -p)" == fffe ]; then iconv -f UTF-16 -t UTF-8 "$file"; else cat "$file"; fi |
        tr -d '\r' | sed -n "$lines" | sed 's/^/        /'
}
show_rewrite() {
    echo "$1: $2"
    show_lines before "$2" "$3"
    show_lines after "installed-$2" "$3"
}
show_rewrite SetupSubstFiles app.cfg '1p;3p;6p'
show_rewrite SetupSubstXmlFiles settings.xml '3,6p'
show_rewrite UpdateVS71VszFile ZarvoCSharpPlugin.vsz '4,5p'
commands_left() { grep -o 'SetupSubst[A-Za-z]*Cmd_[0-9]*' "commands-$1.txt" | xargs; }
for view in "${views[@]}"; do
    left=$(commands_left $view)
    if [ "$(cat commands-$view.status)" != 0 ]; then state="no such key"; else state="key kept, commands left: ${left:-none}"; fi
    echo "  $command_key in $(view_name $view) after the actions: $state"
done
echo "------------------------------------"

# What the actions wrote into the installer's verbose logs, and the lines each must write.
action_lines() { grep -E '^(CheckPrerequisites|ChangeElementsFromPrerequisites|IsFrameworkInstalled|NetFrameworkInstall|SetupSubstFiles|SetupSubstXmlFiles|UpdateVS71VszFile|RunCmdFile|RunForegroundProgram|CloseWindowByGUID|SetDateTimeProperty): ' "$1"; }
echo "--- the actions in the installer's log (install.log) ---"
action_lines install.txt
echo "--- the failing variant (failing.log) ---"
action_lines failing.txt
echo "------------------------------------"
while IFS=$'\t' read -r log pattern; do
    [[ -z $log || $log == \#* ]] && continue
    action_lines "$log.txt" | grep -xE -- "$pattern" >/dev/null || fail "no line in $log.log matches: $pattern"
done <"$here/log-lines.txt"

[[ $stamp =~ ^[0-3][0-9]\.[01][0-9]\.[0-9]{4}\;[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]] ||
    fail "DateTime is '$stamp', not dd.mm.yyyy;hh:mm:ss"
today=$(date +%d.%m.%Y)
[[ $stamp == "$today;"* || $stamp == "$(date -d '-1 min' +%d.%m.%Y);"* ]] ||
    fail "DateTime $stamp is not today ($today)"
check_processes

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
# With the full UI, the person installing is told which rows failed, and nothing is installed.
expected_box="Zarvo Demo needs what this machine lacks:"$'\n'"$(sed 's/^FALSEPREREQUISITY_[0-9]* = //' <<<"$expected_failed")"
[ "$failing_box" == "$expected_box" ] || fail "the UI installation's message box read:"$'\n'"$failing_box"
((failing_ui_status == 1603 || failing_ui_status == 1603 % 256)) ||
    fail "msiexec answered $failing_ui_status to the UI installation of the failing variant, not 1603"
[ -z "$failing_ui_left_file" ] || fail "the UI installation of the failing variant installed the product"

# Hiding secrets: the planted password reached settings.xml (compared below, byte for byte),
# and it is in neither verbose log.
for log in install registered; do
    ! grep -qF -- "$secret" $log.txt || fail "the planted password is in $log.log: $(grep -F -- "$secret" $log.txt | head -n 3)"
done

# ChangeElementsFromPrerequisites. Redist is left out by the version of msi.dll, LegacyShim
# by the registry's Windows version; Manual stays, since the file its row looks for does not
# exist. A missing registry key sets ZARVO_RUNTIME_MISSING; a registry version that is high
# enough leaves WINDOWS_BEFORE_XP unset. The rows of the one action change nothing in the other.
[ "$left_out" == "Redist LegacyShim" ] || fail "components left out: '$left_out', not 'Redist LegacyShim'"
[ "$runtime_missing" == 1 ] || fail "ZARVO_RUNTIME_MISSING is '$runtime_missing', not 1"
! log_has_property install.txt WINDOWS_BEFORE_XP || fail "WINDOWS_BEFORE_XP was set"
[ -n "$(installed_file manual.txt)" ] || fail "the Manual component's file was not installed"

# IsFrameworkInstalled. The passing test answered 0, or Return="check" would have stopped the
# installation, and wrote nothing; the failing one set FrameworkNotInstalled.
[ "$after_passing_test" == "FrameworkNotInstalled=" ] ||
    fail "after the passing framework test, FRAMEWORK_AFTER_PASSING_TEST is '$after_passing_test'"
[ "$not_installed" == NotInstalled ] || fail "FrameworkNotInstalled is '$not_installed', not NotInstalled"

# NetFrameworkInstall. SourceDir is the package's folder, with its trailing backslash, in
# both runs; the name is the one for this Windows. Without a framework registered the
# redistributable is to run from there. With 4.0.30319 registered the stand-in, found there
# with 4.0.30319.1 (the fourth part is never compared), is not newer: mode 0, no path.
for log in install.txt registered.txt; do
    [ "$(log_property $log SourceDir)" == "$source_dir" ] ||
        fail "SourceDir in $log is '$(log_property $log SourceDir)', not '$source_dir'"
done
[ "$mode" == 1 ] || fail "with no framework registered NetFrameworkInstallationMode is '$mode', not 1"
[ "$full_path" == "$source_dir$redist" ] || fail "NetFrameworkFullPath is '$full_path', not '$source_dir$redist'"
[ "$registered_mode" == 0 ] ||
    fail "with 4.0.30319 registered NetFrameworkInstallationMode is '$registered_mode', not 0"
! log_has_property registered.txt NetFrameworkFullPath || fail "with 4.0.30319 registered NetFrameworkFullPath was set"

# SetupSubstFiles, SetupSubstXmlFiles and UpdateVS71VszFile, by the installed files, byte
# for byte. app.cfg: the bracketed token takes the folder with its backslashes doubled, the
# bare one takes it as is; the package's LF line ends come out as CR LF. settings.xml: the
# first <Host> and the <Port> of the line take their values, <Host enabled="no"> is not the
# tag <Host> and stays; the text, read as UTF-8 by its mark, comes out as UTF-16LE with the
# mark FF FE and CR LF; the second command, the password's, then fills <Password>. The
# wizard file keeps its CR LF; each line's placeholder becomes the templates folder.
doubled_dir=${install_dir//\\/\\\\}
printf '%s\r\n' "; Zarvo Demo settings, written at installation into $install_dir" '[Paths]' \
    "Home=$doubled_dir" "Logs=${doubled_dir}logs" '[Server]' 'Address=zarvo.example.com' 'Port=8080' >expected-app.cfg
{ printf '\xff\xfe'; printf '%s\r\n' '<?xml version="1.0"?>' '<Settings>' \
    "  <InstallFolder>$install_dir</InstallFolder>" \
    '  <Server><Host>zarvo.example.com</Host><Port>8443</Port></Server>' \
    '  <Proxy><Host enabled="no">none</Host></Proxy>' '  <Greeting>Grüß Gott</Greeting>' \
    "  <Database><Password>$secret</Password></Database>" '</Settings>' |
    iconv -f UTF-8 -t UTF-16LE; } >expected-settings.xml
printf '%s\r\n' 'VSWIZARD 7.0' 'Wizard=VsWizard.VsWizardEngine.7.1' 'Param="WIZARD_NAME = ZarvoCSharpPlugin"' \
    "Param=\"ABSOLUTE_PATH = ${install_dir}Templates\\VS71\"" \
    "Param=\"SCRIPT_PATH = ${install_dir}Templates\\VS71\\Scripts\"" 'Param="FALLBACK_LCID = 1033"' \
    >expected-ZarvoCSharpPlugin.vsz
for name in "${rewritten_files[@]}"; do
    if [ ! -f "installed-$name" ]; then fail "$name was not installed"
    elif ! cmp -s "expected-$name" "installed-$name"; then
        fail "$name is not as expected; first difference: $(cmp "expected-$name" "installed-$name" 2>&1 | head -n1)"
    fi
done
# The commands were taken up and deleted, each from its own view; the key stays. In a 64-bit
# prefix the key exists in the 64-bit view only because the XML command's 64-bit component
# wrote there.
for view in "${views[@]}"; do
    [ "$(cat commands-$view.status)" == 0 ] || fail "$command_key is missing in $(view_name $view)"
    [ -z "$(commands_left $view)" ] || fail "commands left in $(view_name $view): $(commands_left $view)"
done

wine msiexec /x demo.msi /qn /l*v uninstall.log
[ -z "$(ls -A "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/ 2>/dev/null)" ] ||
    fail "files are still there after uninstalling: $(ls -A "$WINEPREFIX"/drive_c/Program\ Files*/ZarvoDemo/ | xargs)"

check_note_removed
wineserver -k 2>/dev/null
if [ $failures -eq 0 ]; then echo "package test passed"; else exit 1; fi
