#!/usr/bin/env bash
# The shipped executables are PE32 (i686); the tested ones PE32+ (x86_64).
# All are GUI programs that import only DLLs of the system, so nothing has to
# be shipped beside them. The shipped ones must also start on every machine
# Windows 95 (first release) and Windows NT 3.51 run on, and fit disk 1:
#   - they import only from KERNEL32, USER32, GDI32, LZ32 and ADVAPI32, and
#     only what the platform floor (tools/win32-api-floor.txt) says both
#     systems have: NT 3.51 yes or yes?, Windows 95 yes, yes? or stub (a stub
#     only where a comment in the code names it with Windows 95, saying why
#     doing nothing there is fine). Each floor row names the programs that
#     import it ([I] the installers, [S] setup.exe, [R] tswremov.exe): the
#     build's files must import exactly those;
#   - every executable section holds only instructions of the 386's integer
#     set (an allow-list: no x87, no instruction of a later processor, no
#     multi-byte NOP), reported with the function it is in (from the link map
#     beside the file, or by its address where there is none);
#   - subsystem Windows 4.0 and operating system 4.0 in the header, no
#     DllCharacteristics flags (linkers of 1995 wrote none) and no export
#     directory but the engine's one entry (EngineMain), marked to run from
#     the swap file when started from removable media (the disk is swapped
#     while they run), no debug sections, at most 80 KB each.
# Each installer is two files, the front (tsinst95.exe) and the engine
# (tsinst95.dll): both are checked as installers ([I]).
# The launcher SETUP.EXE (setup.exe) and the removal program TSWREMOV.EXE
# (tswremov.exe) are checked the same way; each must stay within 16 KB.
# What disk 1 gives before the installer's main window shows, for each build,
# must stay within 54,000 bytes (1.2 s at the 45,000 bytes a second a floppy
# drive reads): SETUP.EXE, which the system reads whole, and the installer's
# front and the companions SETUP.EXE expands before it starts it
# (launcher/plain/LaunchPlan.h: the engine comes after the window),
# compressed as tools/make_disk_set.py puts them on disk 1. The header time is the source date the build linked with,
# never the time of the link: SOURCE_DATE_EPOCH when set, else the build's
# date (build/i686/generated/source_date), else the commit's.
#
# Usage: check_deliverables.sh [PE32 FILE...]   (default: the build's files;
# a file's link map is FILE with .map for .exe, FILE.map for .dll)
# Exit code: 0 when every check passes; 1 when one fails (its FAIL line says
# which); 2 for an option it does not know.
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for file in "$@"; do
    [[ $file != -* ]] || { echo "usage: $0 [PE32 FILE...]" >&2; exit 2; }
done
size_limit=81920
run_from_swap=0x0400
objdump=x86_64-w64-mingw32-objdump
system_dlls=" kernel32.dll user32.dll gdi32.dll lz32.dll advapi32.dll "
floor_file="$root/tools/win32-api-floor.txt"
# The floor's rows: "dll function" -> "95RTM NT351 [programs]".
declare -A floor
while read -r dll function win95 nt351 programs _; do
    [[ -n $dll && $dll != "#"* ]] && floor["${dll,,} $function"]="$win95 $nt351 $programs"
done < "$floor_file"
# What the build's files import, by program tag: "dll function" lines.
declare -A imported=([I]="" [S]="" [R]="")
launcher_size_limit=16384
remover_size_limit=16384
start_bytes_limit=54000
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

# Each imported name against the floor (imports by ordinal are not allowed);
# with a program tag (I, S, R), its row must name that program.
check_imports() {
    local file="$1" name="$2" tag="${3:-}"
    local dll entry row win95 nt351 programs count=0
    while read -r dll entry; do
        count=$((count + 1))
        if [[ $entry == "#"* ]]; then
            failed "$name imports ordinal ${entry#\#} from $dll"
            continue
        fi
        row=${floor["${dll,,} $entry"]:-}
        if [[ -z $row ]]; then
            failed "$name imports $dll $entry, which is not on the platform floor ($(shown "$floor_file"))"
            continue
        fi
        read -r win95 nt351 programs <<<"$row"
        [[ $nt351 == yes || $nt351 == "yes?" ]] || failed "$name imports $dll $entry: NT 3.51 \"$nt351\" on the floor"
        case $win95 in
            yes|"yes?") ;;
            stub) stub_explained "$entry" || failed "$name imports $dll $entry, a stub on Windows 95, and no comment in the code names it with Windows 95" ;;
            *) failed "$name imports $dll $entry: Windows 95 \"$win95\" on the floor" ;;
        esac
        if [[ -n $tag ]]; then
            [[ $programs =~ ^\[[A-Z]*$tag[A-Z]*\]$ ]] || failed "$name imports $dll $entry, whose floor row says $programs, not $tag"
            imported[$tag]+="${dll,,} $entry"$'\n'
        fi
    done < <($objdump -p "$file" | awk '
        /^[[:space:]]*DLL Name:/ { dll = $3; next }
        /^[[:space:]]*$/ { dll = "" }
        dll != "" && /^\t[0-9a-f]+\t/ {
            n = split($0, f, /[[:space:]]+/)
            if (n >= 4) print dll, f[4]; else if (n == 3) print dll, "#" f[3]
        }')
    (( count > 0 )) || failed "$name: no imports read"
    echo "imports: $name: $count functions"
}

# A comment line of the code that names the function and Windows 95.
stub_explained() {
    grep -rqsE "//.*\b$1\b.*Windows 95|//.*Windows 95.*\b$1\b" "$root"/{framework,shell,engine,dialogs,progman,launcher,remover}
}

# Every row tagged with a program is imported by it: the floor's tags stay true.
check_floor_tags() {
    local key tag programs
    for key in "${!floor[@]}"; do
        programs=${floor[$key]##* }
        for tag in I S R; do
            [[ $programs =~ ^\[[A-Z]*$tag[A-Z]*\]$ ]] || continue
            grep -qxF "$key" <<<"${imported[$tag]}" ||
                failed "the floor's row $key says $programs, but no $tag program imports it"
        done
    done
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
    value=$(awk '$1 == "DllCharacteristics" {print $2; exit}' <<<"$headers")
    (( 16#${value:-1} == 0 )) || failed "$name: DllCharacteristics $value (want 0: no dynamic base, no-execute or other loader flags)"
    value=$(awk '$1 == "Entry" && $2 == "0" {print $3 "/" $4; exit}' <<<"$headers")
    if [[ ${file,,} == *.dll ]]; then
        value=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {table = 1; next} table && /^\t\[/ {print $NF} table && /^$/ {table = 0}' <<<"$headers" | tr '\n' ' ')
        [[ $value == "EngineMain " ]] || failed "$name: exports ${value:-nothing} (want EngineMain only)"
    else
        [[ $value == 00000000/00000000 ]] || failed "$name: an export directory (address/size $value)"
    fi
    check_time "$file" "$name"
}

# The file header's TimeDateStamp against the source date: a link's own time
# would make every build differ.
check_time() {
    local file="$1" name="$2" want pe stamp
    want=$(source_date)
    pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
    stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$file" | tr -d ' ')
    [[ $stamp == "$want" ]] || failed "$name: header time $stamp, not the source date $want"
    echo "time: $name: $stamp"
}

# Disassembles every executable section; an instruction outside the 386's
# integer set fails, named with its function from the link map. The words of
# the constructor and destructor lists that the linker puts in .text are data:
# found in the link map, or without one by their shape (-1, addresses, 0,
# twice), and left out of the disassembly.
check_instructions() {
    local file="$1" name="$2" map="${1%.[eE][xX][eE]}.map" found
    # A file copied off a floppy has no link map beside it: it is checked all
    # the same, with addresses for names.
    [[ -f $map ]] || { echo "note: $name: no link map $map: instructions are named by address"; map=""; }
    found=$(python3 - "$file" "$map" "$objdump" <<'PYTHON'
import re, struct, subprocess, sys
file_path, map_path, objdump = sys.argv[1:4]

# The 80386's integer instructions as an application runs them, by objdump's
# Intel-syntax names (the string instructions without their size suffix,
# which objdump prints as operands). No x87 (nor wait), no system or I/O
# instruction, nothing of the 486 or later.
ALLOWED = set("""
aaa aad aam aas adc add and bound bsf bsr bt btc btr bts call cbw cdq clc cld cmc cmp cmps cwd cwde daa das
dec div enter idiv imul inc int int3 into ja jae jb jbe jcxz je jecxz jg jge jl jle jmp jne jno jnp jns jo jp js
lahf lds lea leave les lfs lgs lods loop loope loopne lss mov movs movsx movzx mul neg nop not or pop popa popad
popf popfd push pusha pushad pushf pushfd rcl rcr ret retf rol ror sahf sal sar sbb scas seta setae setb setbe
sete setg setge setl setle setne setno setnp setns seto setp sets shl shld shr shrd stc std stos sub test xchg
xlat xor
""".split())
# Prefixes the 386 has, which objdump prints as words of their own.
PREFIXES = {"rep", "repz", "repnz", "repe", "repne", "lock", "data16", "addr16", "cs", "ds", "es", "ss", "fs", "gs"}

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

# The executable sections from the PE headers: (address, bytes).
image = open(file_path, "rb").read()
pe = struct.unpack_from("<I", image, 60)[0]
count, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
image_base, image_size = struct.unpack_from("<I", image, pe + 52)[0], struct.unpack_from("<I", image, pe + 80)[0]
code = []
for i in range(count):
    entry = pe + 24 + optional_size + 40 * i
    virtual_size, address, raw_size, raw_at = struct.unpack_from("<IIII", image, entry + 8)
    if struct.unpack_from("<I", image, entry + 36)[0] & 0x20000000:
        code.append((image_base + address, image[raw_at:raw_at + min(virtual_size, raw_size)]))

def constructor_lists(address, blob):
    """The last run of -1, addresses, 0, -1, addresses, 0 in the section."""
    def word(at):
        return struct.unpack_from("<I", blob, at)[0] if at + 4 <= len(blob) else None
    def addresses_from(at):
        while word(at) is not None and image_base <= word(at) < image_base + image_size:
            at += 4
        return at
    found, at = None, blob.find(b"\xff\xff\xff\xff")
    while at >= 0:
        end = addresses_from(at + 4)
        if word(end) == 0 and word(end + 4) == 0xFFFFFFFF:
            end = addresses_from(end + 8)
            if word(end) == 0:
                found = (address + at, address + end + 4)
        at = blob.find(b"\xff\xff\xff\xff", at + 1)
    return [found] if found else []

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

scanned = 0
for address, blob in code:
    end = address + len(blob)
    skipped = sorted(r for r in (data if map_path else constructor_lists(address, blob)) if r[0] < end and r[1] > address)
    ranges, start = [], address
    for low, high in skipped:
        if low > start:
            ranges.append((start, low))
        start = max(start, high)
    if start < end:
        ranges.append((start, end))
    for low, high in ranges:
        listing = subprocess.run([objdump, "-d", "-w", "-M", "intel", "--start-address=%#x" % low,
                                  "--stop-address=%#x" % high, file_path], capture_output=True, text=True).stdout
        for line in listing.splitlines():
            m = re.match(r"^\s*([0-9a-f]+):\t([0-9a-f ]+)\t(.*)$", line)
            if not m:
                continue
            scanned += 1
            words = m.group(3).split()
            while words and words[0] in PREFIXES:
                words.pop(0)
            mnemonic = words[0] if words else "(none)"
            # The one-byte NOP only: 0F 1F, a NOP with operands, is the Pentium Pro's.
            if mnemonic not in ALLOWED or (mnemonic == "nop" and len(words) > 1):
                at = int(m.group(1), 16)
                print("%x: %s [%s] in %s" % (at, m.group(3).strip(), m.group(2).strip(), function_at(at)))
if scanned == 0:
    print("no instructions disassembled")
PYTHON
)
    if [[ -n $found ]]; then
        failed "$name: instructions outside the 386's integer set:"
        sed 's/^/    /' <<<"$found"
    else
        echo "ok: $name: 386 integer instructions only"
    fi
}

# The bytes disk 1 gives before the main window of each build in DIR, or of
# each installer front named after DIR (TSINST95.EXE, TSINSTNT.EXE: with
# DIR's launcher and companions).
check_start_bytes() {
    local line count=0 build="$1"
    shift
    while read -r line; do
        count=$((count + 1))
        case $line in
            start:*) echo "$line" ;;
            *) failed "$line" ;;
        esac
    done < <(python3 - "$root" "$build" "$start_bytes_limit" "$@" <<'PYTHON'
import os, re, sys, tempfile, shutil
root, build, limit = sys.argv[1], sys.argv[2], int(sys.argv[3])
fronts = sys.argv[4:] or [os.path.join(build, n) for n in ("tsinst95.exe", "tsinstnt.exe")]
sys.path.insert(0, os.path.join(root, "tools"))
import make_disk_set
# The companions expanded before the installer starts, as the launcher names them.
plan = open(os.path.join(root, "launcher", "plain", "LaunchPlan.h")).read()
before = re.findall(r'\{"([^"]+)", false\}', plan)
if not before:
    print("no companion of the installer before its main window found in launcher/plain/LaunchPlan.h")
work = tempfile.mkdtemp(prefix="start-bytes-")
try:
    launcher = os.path.getsize(os.path.join(build, "setup.exe"))
    for front in fronts:
        build_name = os.path.basename(front).upper()
        setup = os.path.join(work, build_name, make_disk_set.INSTALLER_FOLDER)
        os.makedirs(setup)
        files = [(build_name, front)] + [(n, os.path.join(build, n.lower())) for n in before]
        make_disk_set.compress_installer(files, setup, True, 2)
        total = launcher + sum(os.path.getsize(os.path.join(setup, make_disk_set.compressed_name(n))) for n, _ in files)
        text = "%s: %d bytes before the main window, %.2f s at 45,000 bytes a second (limit %d)" % (
            build_name, total, total / 45000.0, limit)
        print(("start: " if total <= limit else "over the limit: ") + text)
except (OSError, make_disk_set.DiskSetError) as e:
    print("the bytes before the main window cannot be counted: %s" % e)
finally:
    shutil.rmtree(work, ignore_errors=True)
PYTHON
)
    (( count >= (${#} > 0 ? ${#} : 2) )) || failed "the bytes before the main window were not counted for each build"
}

# A shipped file; with its program's tag (I, S, R) its imports are also those
# the floor's rows name for it.
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
    check_imports "$file" "$name" "${2:-}"
    check_instructions "$file" "$name"
}

if (( $# > 0 )); then
    fronts=()
    for file in "$@"; do
        check "$file" "PE32 executable"
        check_shipped "$file"
        [[ ${file##*/} =~ ^[tT][sS][iI][nN][sS][tT](95|[nN][tT])\.[eE][xX][eE]$ ]] && fronts+=("$file")
    done
    (( ${#fronts[@]} == 0 )) || check_start_bytes "$root/build/i686" "${fronts[@]}"
    exit $fail
fi
for installer in tsinst95.exe tsinstnt.exe tsinst95.dll tsinstnt.dll; do
    check "$root/build/i686/$installer" "PE32 executable"
    check_shipped "$root/build/i686/$installer" I
    check "$root/build/x86_64/$installer" "PE32+ executable"
done
# The same checks on a copy with no link map beside it, as taken off a floppy.
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp "$root/build/i686/tsinst95.exe" "$copy/"
check_shipped "$copy/tsinst95.exe"
size_limit=$launcher_size_limit
check "$root/build/i686/setup.exe" "PE32 executable"
check_shipped "$root/build/i686/setup.exe" S
size_limit=$remover_size_limit
check "$root/build/i686/tswremov.exe" "PE32 executable"
check_shipped "$root/build/i686/tswremov.exe" R
check_floor_tags
check_start_bytes "$root/build/i686"
exit $fail
