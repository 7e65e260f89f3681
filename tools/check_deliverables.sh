#!/usr/bin/env bash
# The shipped executables are PE32 (i686); the tested ones PE32+ (x86_64).
# All are GUI programs that import only DLLs of the system, so nothing has to
# be shipped beside them. The shipped ones must also start on every machine
# Windows 95 (first release) and Windows NT 3.51 run on, and fit disk 1:
#   - they import only the functions on the list below, each of which those
#     systems' KERNEL32, USER32, GDI32, LZ32 and CRTDLL export;
#   - every executable section holds code for the 386 only: no instruction of
#     a later processor (CMOV, FCMOV, FCOMI, BSWAP, CMPXCHG, XADD, CPUID,
#     RDTSC, MMX or SSE registers, the multi-byte NOP 0F 1F), reported with
#     the function it is in (from the link map beside the file, or by its
#     address where there is none);
#   - subsystem Windows 4.0 and operating system 4.0 in the header, marked to
#     run from the swap file when started from removable media (the disk is
#     swapped while they run), no debug sections, at most 64 KB each.
# The launcher SETUP.EXE (setup.exe) is checked the same way, against a list
# of its own, and must stay within 16 KB. Every header time (the PE header's
# and the export directory's) is the source date the build linked with, never
# the time of the link: SOURCE_DATE_EPOCH when set, else the build's date
# (build/i686/generated/source_date), else the commit's.
#
# Usage: check_deliverables.sh [PE32 FILE...]   (default: the build's files;
# a file's link map is FILE with .map for .exe)
# Exit code: 0 when every check passes; 1 when one fails (its FAIL line says
# which); 2 for an option it does not know.
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for file in "$@"; do
    [[ $file != -* ]] || { echo "usage: $0 [PE32 FILE...]" >&2; exit 2; }
done
size_limit=65536
run_from_swap=0x0400
objdump=x86_64-w64-mingw32-objdump
system_dlls=" kernel32.dll user32.dll gdi32.dll lz32.dll crtdll.dll msvcrt.dll "
# The imports of the shipped files, DLL by DLL: a new one is a reviewed change.
allowed_imports="
crtdll.dll: _stricmp _strnicmp fclose fopen fread fseek ftell isspace isxdigit memchr memcmp memcpy
  memmove memset rewind strchr strlen strrchr tolower toupper
gdi32.dll: DeleteEnhMetaFile GetDeviceCaps GetEnhMetaFileA GetTextMetricsA PlayEnhMetaFile RestoreDC
  SaveDC SetBkColor SetBkMode SetTextAlign SetTextColor TextOutA
kernel32.dll: CloseHandle CreateDirectoryA CreateFileA DeleteFileA ExitProcess FlushFileBuffers FreeLibrary GetCommandLineA
  GetCurrentDirectoryA GetCurrentThreadId GetDriveTypeA GetFileAttributesA GetFileSize GetFileTime
  GetFileType GetFullPathNameA GetLastError GetModuleHandleA GetProcAddress GetProcessHeap
  GetShortPathNameA GetTickCount GetVersion GetWindowsDirectoryA HeapAlloc HeapFree IsDBCSLeadByte
  LoadLibraryA MoveFileA ReadFile SetEndOfFile SetErrorMode SetFilePointer SetFileTime WriteFile
lz32.dll: CopyLZFile LZClose LZDone LZOpenFileA LZSeek LZStart
user32.dll: BeginPaint CallNextHookEx ClientToScreen CreateWindowExA DdeClientTransaction DdeConnect
  DdeCreateStringHandleA DdeDisconnect DdeFreeStringHandle DdeInitializeA DdeUninitialize
  DefWindowProcA DestroyWindow DialogBoxParamA DispatchMessageA EndDialog EndPaint GetActiveWindow
  GetClassInfoA GetClientRect GetDC GetForegroundWindow GetMessageA GetParent GetSysColor GetSystemMetrics
  GetWindowLongA GetWindowRect InvalidateRect IsWindow KillTimer LoadCursorA LoadIconA LoadMenuA
  MessageBeep MessageBoxA MessageBoxExA PostMessageA PostQuitMessage RegisterClassA ReleaseDC
  SendDlgItemMessageA SendMessageA SetForegroundWindow SetTimer SetWindowLongA SetWindowPos
  SetWindowsHookExA ShowWindow TranslateMessage UnhookWindowsHookEx UpdateWindow WinHelpA
"
# The launcher's imports.
launcher_imports="
crtdll.dll: isspace isxdigit memmove strchr strlen tolower
kernel32.dll: CloseHandle CreateDirectoryA CreateFileA CreateMutexA CreateProcessA DeleteFileA ExitProcess
  FindClose FindFirstFileA FindNextFileA FormatMessageA GetCommandLineA GetCurrentProcessId
  GetDiskFreeSpaceA GetDriveTypeA GetFileAttributesA GetFileSize GetLastError GetModuleFileNameA
  GetModuleHandleA GetProcessHeap GetShortPathNameA GetTempPathA GetVersion GetWindowsDirectoryA HeapAlloc
  HeapFree IsDBCSLeadByte MoveFileA ReadFile RemoveDirectoryA SetFileAttributesA Sleep WaitForSingleObject
  lstrcatA lstrcpyA lstrlenA
lz32.dll: LZClose LZCopy LZOpenFileA LZSeek
user32.dll: CreateWindowExA DefWindowProcA DestroyWindow DispatchMessageA FindWindowA GetLastActivePopup
  IsIconic MessageBoxA MsgWaitForMultipleObjects PeekMessageA RegisterClassA SetForegroundWindow
  ShowWindow TranslateMessage wsprintfA
"
launcher_size_limit=16384
fail=0
failed() { echo "FAIL: $1"; fail=1; }
# A file is named as it was given; the build's own files relative to the clone.
shown() { echo "${1#"$root/"}"; }

# The time every header must carry: the one the build linked with.
source_date() {
    if [[ -n ${SOURCE_DATE_EPOCH:-} ]]; then echo "$SOURCE_DATE_EPOCH"
    elif [[ -f $root/build/i686/generated/source_date ]]; then cat "$root/build/i686/generated/source_date"
    else git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0
    fi
}

check() {
    local file="$1" want="$2"
    local name kind headers dll
    name=$(shown "$file")
    if [[ ! -f $file ]]; then failed "$name: missing"; return; fi
    kind=$(file -b "$file")
    case "$kind" in
        "$want "*) echo "ok: $name: $kind" ;;
        *) failed "$name: $kind (want $want)" ;;
    esac
    headers=$($objdump -p "$file")
    grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || failed "$name: not a GUI program"
    while read -r dll; do
        [[ $system_dlls == *" ${dll,,} "* ]] || failed "$name imports $dll, which is not a system DLL"
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
}

# Each imported name against the list (imports by ordinal are not allowed).
check_imports() {
    local file="$1" name="$2"
    local dll entry count=0
    while read -r dll entry; do
        count=$((count + 1))
        if [[ $entry == "#"* ]]; then
            failed "$name imports ordinal ${entry#\#} from $dll"
        elif ! allowed_for "${dll,,}" | tr -s ' ' '\n' | grep -qxF "$entry"; then
            failed "$name imports $dll $entry, which is not on the list of imports"
        fi
    done < <($objdump -p "$file" | awk '
        /^[[:space:]]*DLL Name:/ { dll = $3; next }
        /^[[:space:]]*$/ { dll = "" }
        dll != "" && /^\t[0-9a-f]+\t/ {
            n = split($0, f, /[[:space:]]+/)
            if (n >= 4) print dll, f[4]; else if (n == 3) print dll, "#" f[3]
        }')
    (( count > 0 )) || failed "$name: no imports read"
    echo "imports: $name: $count functions from the list"
}

# The list's lines for one DLL (its first line and the indented ones after it).
allowed_for() {
    awk -v dll="$1:" '$1 ~ /:$/ { on = ($1 == dll) } on' <<<"$allowed_imports"
}

check_header() {
    local file="$1" name="$2"
    local headers field want value characteristics
    headers=$($objdump -p "$file")
    for field in MajorSubsystemVersion:4 MinorSubsystemVersion:0 MajorOSystemVersion:4 MinorOSystemVersion:0; do
        want=${field#*:}
        value=$(awk -v f="${field%%:*}" '$1 == f {print $2; exit}' <<<"$headers")
        [[ $value == "$want" ]] || failed "$name: ${field%%:*} $value (want $want)"
    done
    characteristics=$(awk '$1 == "Characteristics" {print $2; exit}' <<<"$headers")
    (( characteristics & run_from_swap )) || failed "$name: characteristics $characteristics without run-from-swap ($run_from_swap)"
    check_times "$file" "$name" "$headers"
}

# The file header's TimeDateStamp and the export directory's (where there is
# one) against the source date: a link's own time would make every build differ.
check_times() {
    local file="$1" name="$2" headers="$3" want pe stamp exported
    want=$(source_date)
    pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
    stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$file" | tr -d ' ')
    [[ $stamp == "$want" ]] || failed "$name: header time $stamp, not the source date $want"
    exported=$(awk '/^Time\/Date stamp/ {print $3; exit}' <<<"$headers")
    [[ -z $exported || $((16#$exported)) == "$want" ]] ||
        failed "$name: export directory time $((16#$exported)), not the source date $want"
    echo "time: $name: $stamp"
}

# Disassembles every executable section; an instruction newer than the 386
# fails, named with its function from the link map. The words of the
# constructor and destructor lists that the linker puts in .text are data.
check_instructions() {
    local file="$1" name="$2" map="${1%.[eE][xX][eE]}.map" found
    # A file copied off a floppy has no link map beside it: it is checked all
    # the same, with addresses for names.
    [[ -f $map ]] || { echo "note: $name: no link map $map: instructions are named by address"; map=""; }
    found=$($objdump -d -w "$file" | python3 -c '
import re, subprocess, sys
map_path = sys.argv[1]
sections, symbols, data = [], [], []
try:
    lines = open(map_path).read().splitlines() if map_path else []
except OSError:
    lines = []
pending = None
for line in lines:
    m = re.match(r"^ (\.text\S*)\s*$", line)
    if m:
        pending = m.group(1)
        continue
    m = re.match(r"^ (\.\S+)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.*)$", line)
    if m:
        section = m.group(1) or pending
        start, size, rest = int(m.group(2), 16), int(m.group(3), 16), m.group(4)
        if rest.startswith("LONG") or (section and section.startswith((".ctors", ".dtors"))):
            data.append((start, start + size))
        elif section and section.startswith(".text"):
            sections.append((start, start + size, section, rest.strip()))
        pending = None
        continue
    pending = None
    m = re.match(r"^\s+0x([0-9a-f]+)\s+([^\s=][^=]*)$", line)
    if m and not m.group(2).startswith("0x"):
        symbols.append((int(m.group(1), 16), m.group(2).strip()))
symbols.sort()

def demangle(text):
    return subprocess.run(["c++filt"], input=text, capture_output=True, text=True).stdout.strip() or text

def function_at(address):
    if not map_path:
        return "the file (no link map)"
    for start, end, section, origin in sections:
        if start <= address < end:
            names = [n for a, n in symbols if start <= a <= address]
            label = names[-1] if names else demangle(re.sub(r"^\.text[$.]?", "", section) or ".text")
            return "%s (%s)" % (label, origin)
    return "no function in the link map"

forbidden = re.compile(r"\b(cmov[a-z]*|fcmov[a-z]*|fu?comip?|bswap|cmpxchg(8b|16b)?[a-z]?|xadd[a-z]?|cpuid|rdtscp?)\b|%[xy]?mm[0-9]")
prefixes = re.compile(r"^((66|67|f0|f2|f3|2e|36|3e|26|64|65) )*")
scanned = 0
for line in sys.stdin:
    m = re.match(r"^\s*([0-9a-f]+):\t([0-9a-f ]+)\t(.*)$", line.rstrip("\n"))
    if not m:
        continue
    address, raw, text = int(m.group(1), 16), m.group(2).strip(), m.group(3).strip()
    scanned += 1
    if any(start <= address < end for start, end in data):
        continue
    if forbidden.search(text) or prefixes.sub("", raw).startswith("0f 1f"):
        print("%x: %s [%s] in %s" % (address, text, raw, function_at(address)))
if scanned == 0:
    print("no instructions disassembled")
' "$map")
    if [[ -n $found ]]; then
        failed "$name: instructions the 386 does not have:"
        sed 's/^/    /' <<<"$found"
    else
        echo "ok: $name: 386 instructions only"
    fi
}

check_shipped() {
    local file="$1"
    local name size debug
    name=$(shown "$file")
    [[ -f $file ]] || return 0
    size=$(stat -c %s "$file")
    echo "size: $name: $size bytes (limit $size_limit)"
    (( size <= size_limit )) || failed "$name: $size bytes, over $size_limit"
    debug=$($objdump -h "$file" | awk '$2 ~ /^\.(z?debug|stab)/ {print $2}' | tr '\n' ' ')
    [[ -z $debug ]] || failed "$name: debug sections $debug"
    check_header "$file" "$name"
    check_imports "$file" "$name"
    check_instructions "$file" "$name"
}

if (( $# > 0 )); then
    for file in "$@"; do
        check "$file" "PE32 executable"
        check_shipped "$file"
    done
    exit $fail
fi
for exe in tsinst95 tsinstnt; do
    check "$root/build/i686/$exe.exe" "PE32 executable"
    check_shipped "$root/build/i686/$exe.exe"
    check "$root/build/x86_64/$exe.exe" "PE32+ executable"
done
# The same checks on a copy with no link map beside it, as taken off a floppy.
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp "$root/build/i686/tsinst95.exe" "$copy/"
check_shipped "$copy/tsinst95.exe"
allowed_imports=$launcher_imports size_limit=$launcher_size_limit
check "$root/build/i686/setup.exe" "PE32 executable"
check_shipped "$root/build/i686/setup.exe"
exit $fail
