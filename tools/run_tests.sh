#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both targets, starts
# a private Xvfb and the project's Wine prefix, runs CTest, tears down what it
# started. Exits non-zero when a test fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TSINST_BUILD="$root/build"

"$root/tools/ensure_packages.sh"
"$root/tools/build_all.sh"

source "$root/tools/wine-env.sh"
# Always a private display: the tests expect a 1024x768 screen at 96 dpi.
export TSINST_FORCE_XVFB=1
start_private_display
trap 'stop_wine; stop_private_display' EXIT
wine_ensure_prefix

status=0
ctest --test-dir "$root/build/x86_64" --output-on-failure --timeout 900 || status=$?
# Test cases that skipped themselves (no FUSE for the floppy images, ...) pass
# as far as CTest is concerned; their count and reasons are in its log.
log="$root/build/x86_64/Testing/Temporary/LastTest.log"
if [ -f "$log" ]; then
    skipped=$(sed -n -e 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' \
                     -e 's/.*OK (skipped=\([0-9]*\)).*/\1/p' "$log" | awk '{ n += $1 } END { print n + 0 }')
    echo "test cases skipped: $skipped (reasons: grep -B3 SKIPPED $log)"
fi
exit $status
