#!/usr/bin/env bash
# The shipped executables are PE32 (i686); the tested ones PE32+ (x86_64);
# neither needs a mingw runtime DLL beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fail=0
check() {
    local file="$1" want="$2"
    local kind
    kind=$(file -b "$file")
    case "$kind" in
        "$want "*) echo "ok: $(basename "$(dirname "$file")")/$(basename "$file"): $kind" ;;
        *) echo "FAIL: $file: $kind (want $want)"; fail=1 ;;
    esac
    if x86_64-w64-mingw32-objdump -p "$file" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)' ; then
        echo "FAIL: $file needs a mingw runtime DLL"; fail=1
    fi
}
for exe in tsinst95 tsinstnt; do
    check "$root/build/i686/$exe.exe" "PE32 executable"
    check "$root/build/x86_64/$exe.exe" "PE32+ executable"
done
exit $fail
