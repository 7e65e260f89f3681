#!/usr/bin/env bash
# CTest's cross-compiling emulator: runs a Windows program with the 64-bit loader
# in the prefix WINEPREFIX names (each test names its lane's, tests/CMakeLists.txt;
# the project's own otherwise) on DISPLAY, or on its lane's own display.
#
# The program's output goes through a file: windows that Wine's Program
# Manager opens (folder windows of explorer.exe) outlive the program and would
# otherwise hold CTest's output pipe open until the prefix ends.
#
# Usage: tools/wine-run.sh PROGRAM [ARGUMENT...]
# Exit code: the program's; 1 when the prefix cannot be set up or a process crashed.
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_ensure_prefix || { echo "wine prefix set-up failed" >&2; exit 1; }
# A test lane's own display (tests/test_data.sh lane).
if [ -f "$WINEPREFIX/.tsinst-display" ]; then DISPLAY=$(cat "$WINEPREFIX/.tsinst-display"); export DISPLAY; fi
# Every test program starts from the same prefix, whatever ran before it.
if [ -n "${TSINST_TEST_DATA:-}" ]; then
    "$(dirname "${BASH_SOURCE[0]}")/../tests/test_data.sh" reset "$TSINST_TEST_DATA" || exit 1
fi
output=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$output"' EXIT
status=0
wine_fixed_layout "$WINELOADER" "$@" </dev/null >"$output" 2>&1 || status=$?
cat "$output"
# A process that crashes gets the platform's crash report; a crash in a
# thread a test program started can still end that program with exit code 0.
if grep -q '^wine: Unhandled ' "$output"; then
    echo "a process crashed during this run (report above)" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit $status
