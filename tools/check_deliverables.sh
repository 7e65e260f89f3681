#!/usr/bin/env bash
# The shipped executables are PE32 (i686); the tested ones PE32+ (x86_64).
# All are GUI programs that import only DLLs of the system, so nothing has to
# be shipped beside them. The shipped ones also fit disk 1: at most 160 KB each,
# no debug sections, and marked to run from the swap file when started from
# removable media (the disk is swapped while they run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size_limit=163840
run_from_swap=0x0400
system_dlls=" kernel32.dll user32.dll gdi32.dll lz32.dll msvcrt.dll advapi32.dll shell32.dll "
fail=0
failed() { echo "FAIL: $1"; fail=1; }

check() {
    local file="$1" want="$2"
    local name kind headers dll
    name="$(basename "$(dirname "$file")")/$(basename "$file")"
    if [[ ! -f $file ]]; then failed "$name: missing"; return; fi
    kind=$(file -b "$file")
    case "$kind" in
        "$want "*) echo "ok: $name: $kind" ;;
        *) failed "$name: $kind (want $want)" ;;
    esac
    headers=$(x86_64-w64-mingw32-objdump -p "$file")
    grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || failed "$name: not a GUI program"
    while read -r dll; do
        [[ $system_dlls == *" ${dll,,} "* ]] || failed "$name imports $dll, which is not a system DLL"
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
}

check_shipped() {
    local file="$1"
    local name size characteristics debug
    name="$(basename "$(dirname "$file")")/$(basename "$file")"
    [[ -f $file ]] || return 0
    size=$(stat -c %s "$file")
    echo "size: $name: $size bytes (limit $size_limit)"
    (( size <= size_limit )) || failed "$name: $size bytes, over $size_limit"
    debug=$(x86_64-w64-mingw32-objdump -h "$file" | awk '$2 ~ /^\.(z?debug|stab)/ {print $2}' | tr '\n' ' ')
    [[ -z $debug ]] || failed "$name: debug sections $debug"
    characteristics=$(x86_64-w64-mingw32-objdump -p "$file" | awk '$1 == "Characteristics" && !seen {print $2; seen = 1}')
    (( characteristics & run_from_swap )) || failed "$name: characteristics $characteristics without run-from-swap ($run_from_swap)"
}

for exe in tsinst95 tsinstnt; do
    check "$root/build/i686/$exe.exe" "PE32 executable"
    check_shipped "$root/build/i686/$exe.exe"
    check "$root/build/x86_64/$exe.exe" "PE32+ executable"
done
exit $fail
