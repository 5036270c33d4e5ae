#!/usr/bin/env bash
# Checks the shipped DLL as a file: check-dll.sh DLL VERSION EXPORT...
# It must be a 32-bit PE named ZarvoCustomActionDll.dll of at most 320 KB, export exactly the
# given names undecorated, import exactly the functions listed below, say in its header that
# it runs on Windows NT 5.1 (XP) and later, carry the asInvoker manifest and a version
# resource of VERSION, and keep its debug information in ZarvoCustomActionDll.debug beside it,
# named by its debug link, with no debug sections and no path of this machine of its own, and
# a right PE checksum. Every function must work on a stack aligned to 4 bytes only.
set -uo pipefail
dll=$1 version=$2; shift 2
root=$(cd "$(dirname "$0")/../.." && pwd)
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every function the DLL imports, a line per DLL and group. Each exists in Windows XP with
# Service Pack 2, the oldest Windows the README names: a new import is added here only once
# it is known to exist there (msi.dll's functions: in Windows Installer 3.0).
expected_imports='
# The actions, through the platform layer.
advapi32.dll RegCloseKey RegDeleteValueW RegEnumKeyExW RegEnumValueW RegOpenKeyExW RegQueryInfoKeyW RegQueryValueExW
kernel32.dll CloseHandle CreateFileW CreateProcessW DeleteFileW FlushFileBuffers GetCurrentProcess
kernel32.dll GetExitCodeProcess GetFileAttributesW GetLocalTime GetModuleHandleW GetProcAddress GetStartupInfoW
kernel32.dll GetSystemDirectoryW GetTickCount MoveFileExW ReadFile SetFileAttributesW Sleep WaitForSingleObject WriteFile
msi.dll MsiCloseHandle MsiCreateRecord MsiDatabaseIsTablePersistentW MsiDatabaseOpenViewW MsiFormatRecordW MsiGetActiveDatabase
msi.dll MsiGetFileVersionW MsiGetProductInfoExW MsiGetPropertyW MsiProcessMessage MsiRecordSetStringW MsiSetComponentStateW
msi.dll MsiSetPropertyW MsiViewExecute MsiViewFetch
user32.dll AllowSetForegroundWindow FindWindowW MessageBoxW SendMessageW
version.dll GetFileVersionInfoSizeW GetFileVersionInfoW VerQueryValueW
# The C and C++ runtime linked in: start-up, relocation, memory, exceptions and the locks of
# the win32 thread model.
kernel32.dll CreateSemaphoreW DeleteCriticalSection EnterCriticalSection FreeLibrary GetCurrentThreadId
kernel32.dll GetLastError GetModuleHandleA InitializeCriticalSection LeaveCriticalSection LoadLibraryA LoadLibraryW
kernel32.dll ReleaseSemaphore SetLastError TlsAlloc TlsFree TlsGetValue TlsSetValue VirtualProtect VirtualQuery
msvcrt.dll _amsg_exit _close _errno _initterm _iob _lock _read _unlock abort calloc free fwrite malloc memchr
msvcrt.dll memcmp memcpy memmove memset realloc strcmp strlen strncmp vfprintf
'
# A bound on the DLL's growth, not a need of Windows.
max_size=327680

headers=$($objdump -p "$dll")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE"

size=$(stat -c %s "$dll")
((size <= max_size)) || fail "the DLL has $size bytes, more than $max_size"

header_field() { sed -n "s/^$1[[:space:]]*//p" <<<"$headers" | head -n1; }
for field in MajorOSystemVersion=5 MinorOSystemVersion=1 MajorSubsystemVersion=5 MinorSubsystemVersion=1; do
    [ "$(header_field "${field%=*}")" = "${field#*=}" ] || fail "${field%=*} is '$(header_field "${field%=*}")', not ${field#*=}"
done
[[ $(header_field Subsystem) == 00000002* ]] || fail "the subsystem is '$(header_field Subsystem)', not Windows GUI"

name=$(sed -n 's/^Name[[:space:]]*[0-9a-f]* //p' <<<"$headers" | head -n1)
[ "$name" = "ZarvoCustomActionDll.dll" ] || fail "export directory names '$name'"

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{t=1; next} t && /^[[:space:]]*\[/{print $NF; next} t{t=0}' <<<"$headers" | sort)
expected=$(printf '%s\n' "$@" | sort)
[ "$exports" = "$expected" ] || fail "exports are [$(echo $exports)], expected [$(echo $expected)]"

# One "dll function" line per import, as objdump lists the import tables and as listed above.
imports=$(awk '/DLL Name:/{dll=tolower($3)} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print dll, $3}' <<<"$headers" | sort)
listed=$(sed '/^#/d; /^$/d' <<<"$expected_imports" | awk '{for (i = 2; i <= NF; i++) print $1, $i}' | sort)
[ -n "$imports" ] || fail "no import table"
added=$(comm -23 <(echo "$imports") <(echo "$listed"))
missing=$(comm -13 <(echo "$imports") <(echo "$listed"))
[ -z "$added" ] || fail "imports not in the list: $(echo $added)"
[ -z "$missing" ] || fail "listed imports no longer imported: $(echo $missing)"

# The resource tree, one entry per level: type, identifier, language.
tree=$(sed -n '/The .rsrc Resource Directory section/,$p' <<<"$headers" |
       sed -n 's/.*Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' | paste -sd' ')
[ "$tree" = "10 1 409 18 2 409" ] ||
    fail "resources are [$tree], expected a version [10 1 409] and a manifest [18 2 409] (types 16 and 24, language 1033)"
grep -aq 'level="asInvoker" uiAccess="false"' "$dll" || fail "the manifest does not request asInvoker"

# The version resource's texts, which follow their names among the file's UTF-16 strings.
version_texts=$(i686-w64-mingw32-strings -el "$dll" | sed -n '/^StringFileInfo$/,/^VarFileInfo$/p')
version_text() { grep -A1 -x "$1" <<<"$version_texts" | sed -n 2p; }
for pair in "FileVersion=$version" "ProductVersion=$version" "ProductName=ZarvoCustomActionDll" \
    "InternalName=ZarvoCustomActionDll" "OriginalFilename=ZarvoCustomActionDll.dll" "CompanyName=Zarvo"; do
    [ "$(version_text "${pair%%=*}")" = "${pair#*=}" ] ||
        fail "the version resource's ${pair%%=*} is '$(version_text "${pair%%=*}")', not '${pair#*=}'"
done
for key in FileDescription LegalCopyright; do
    [ -n "$(version_text $key)" ] || fail "the version resource has no $key"
done

# Debug information only in the file beside the DLL: its debug link names it and holds its
# CRC-32 (the one gzip writes), so a debugger takes no other build's file for it.
! grep -q '^ *[0-9]* \.debug_' <($objdump -h "$dll") || fail "the DLL carries debug sections"
! grep -aqF "$root" "$dll" || fail "the DLL holds the path $root"
debug_file=$(dirname "$dll")/ZarvoCustomActionDll.debug
scratch=$(mktemp -d)
i686-w64-mingw32-objcopy --dump-section .gnu_debuglink="$scratch/link" "$dll" "$scratch/copy.dll" 2>/dev/null
link_name=$(tr '\0' '\n' 2>/dev/null <"$scratch/link" | head -n1)
link_crc=$(tail -c4 "$scratch/link" 2>/dev/null | od -An -tx1 | tr -d ' \n')
rm -rf "$scratch"
[ "$link_name" = ZarvoCustomActionDll.debug ] || fail "the debug link names '$link_name'"
if [ ! -f "$debug_file" ]; then fail "no ZarvoCustomActionDll.debug beside the DLL"
else
    crc=$(gzip -c "$debug_file" | tail -c8 | head -c4 | od -An -tx1 | tr -d ' \n')
    [ "$crc" = "$link_crc" ] || fail "the debug link's CRC $link_crc is not that of ZarvoCustomActionDll.debug ($crc)"
fi

# The header's checksum is the one Windows computes over the bytes it sits in: the file's
# 16-bit words summed with their carries folded in, the checksum itself taken as 0, plus the
# file's length. A build that fixes its time stamps must still leave it right.
checksum=$(python3 - "$dll" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
field = struct.unpack_from("<I", data, 0x3C)[0] + 4 + 20 + 64
words = bytearray(data + b"\0" * (len(data) % 2))
words[field:field + 4] = bytes(4)
total = sum(struct.unpack(f"<{len(words) // 2}H", words))
while total >> 16:
    total = (total & 0xFFFF) + (total >> 16)
stored = struct.unpack_from("<I", data, field)[0]
print("right" if stored == total + len(data) else f"{stored:#x}, not {total + len(data):#x}")
PY
)
[ "$checksum" = right ] || fail "the PE checksum is $checksum"

# A 32-bit caller owes the callee a stack aligned to 4 bytes only, and Windows' installer calls
# the actions so. An SSE instruction with a 16-byte memory operand faults where the operand is
# not aligned to 16, the unaligned moves and the scalar instructions apart: a function may use
# one on its stack only once it has aligned the stack to 16 itself. The functions' bounds are
# the code symbols of the debug file; a part that gcc moved away ("name.cold") runs on its
# function's stack.
stack_faults() {
    local scratch
    scratch=$(mktemp)
    i686-w64-mingw32-nm --defined-only "$debug_file" | awk '$2 ~ /^[tT]$/ && $3 !~ /^\./ {print $1, $3}' >"$scratch"
    [ -s "$scratch" ] || echo "(none told apart: the debug file holds no code symbols)"
    $objdump -d --no-show-raw-insn "$dll" | awk -v unaligned='^(movdqu|movup[sd]|mov[dq]|movs[sd]|mov[lh]p[sd]|lddqu|pinsr[bwdq]|pextr[bwdq]|cvtt?s[sdi]2s?[sdi]l?|(add|sub|mul|div|min|max|sqrt|u?comi)s[sd])$' '
        NR == FNR { name[$1] = $2; next }
        $1 ~ /^[0-9a-f]+:$/ {
            address = substr($1, 1, length($1) - 1)
            if (address in name) function_ = name[address]
            if ($2 == "and" && $3 ~ /^\$0xffffff[ef]0,%esp$/) aligned[function_] = 1
            else if ($0 ~ /%xmm/ && $0 ~ /\(%e[sb]p[,)]/ && $2 !~ unaligned) faulting[function_] = $2
        }
        END {
            for (f in faulting) {
                home = f
                sub(/\.cold$/, "", home)
                if (!(home in aligned)) print f " (" faulting[f] ")"
            }
        }' "$scratch" -
    rm -f "$scratch"
}
if [ -f "$debug_file" ]; then
    faults=$(stack_faults | sort | i686-w64-mingw32-c++filt)
    [ -z "$faults" ] || fail "functions that need the stack aligned to 16 bytes without aligning it:"$'\n'"$faults"
fi

echo "size: $size bytes"
echo "exports: $(echo $exports)"
echo "imports:"; awk '{a[$1] = a[$1] " " $2} END {for (d in a) print "  " d ":" a[d]}' <<<"$imports" | sort
if [ $failures -eq 0 ]; then echo "dll file checks passed"; else exit 1; fi
