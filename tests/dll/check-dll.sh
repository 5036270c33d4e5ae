#!/usr/bin/env bash
# Checks the built DLL as a file: check-dll.sh DLL EXPORT...
# It must be a 32-bit PE named ZarvoCustomActionDll.dll, export exactly the given names
# undecorated, import only DLLs that every Windows has, and carry the asInvoker manifest
# as resource type 24, identifier 2, language 1033.
set -uo pipefail
dll=$1; shift
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

headers=$($objdump -p "$dll")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE"

name=$(sed -n 's/^Name[[:space:]]*[0-9a-f]* //p' <<<"$headers" | head -n1)
[ "$name" = "ZarvoCustomActionDll.dll" ] || fail "export directory names '$name'"

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{t=1; next} t && /^[[:space:]]*\[/{print $NF; next} t{t=0}' <<<"$headers" | sort)
expected=$(printf '%s\n' "$@" | sort)
[ "$exports" = "$expected" ] || fail "exports are [$(echo $exports)], expected [$(echo $expected)]"

allowed='^(kernel32|user32|advapi32|msi|version|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || fail "no import table"
for dll_name in $imports; do
    [[ $dll_name =~ $allowed ]] || fail "imports $dll_name"
done

# The resource tree, one entry per level: type, identifier, language.
tree=$(sed -n '/The .rsrc Resource Directory section/,$p' <<<"$headers" |
       sed -n 's/.*Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' | paste -sd' ')
[ "$tree" = "18 2 409" ] || fail "resources are [$tree], expected one manifest [18 2 409] (type 24, id 2, language 1033)"
grep -aq 'level="asInvoker" uiAccess="false"' "$dll" || fail "the manifest does not request asInvoker"

echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
if [ $failures -eq 0 ]; then echo "dll file checks passed"; else exit 1; fi
