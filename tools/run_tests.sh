#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both targets, starts
# a private Xvfb and the project's Wine prefix with one server for the whole
# run, runs CTest, tears down what it started. Exits non-zero when a test
# fails. Arguments go to CTest: "-R e2e" runs one test program with its
# fixture; GTEST_FILTER narrows it to cases.
#
# Usage: tools/run_tests.sh [CTEST ARGUMENT...]   e.g. -R NAME: the tests whose name matches NAME
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
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
start_wine_server

status=0
ctest --test-dir "$root/build/x86_64" --output-on-failure --timeout 900 "$@" || status=$?
# Test cases that skipped themselves (no FUSE for the floppy images, ...) pass
# as far as CTest is concerned; their count and reasons are in its log.
log="$root/build/x86_64/Testing/Temporary/LastTest.log"
if [ -f "$log" ]; then
    # gtest names each skipped case (a case on a desktop of its own twice:
    # from its own process and from the test program); unittest counts them.
    skipped=$(awk '/^[0-9]+\/[0-9]+ Testing: / { test = $3 }
                   /^\[  SKIPPED \] [^0-9]/ { cases[test " " $4] = 1 }
                   match($0, /skipped=[0-9]+/) { n += substr($0, RSTART + 8, RLENGTH - 8) }
                   END { for (c in cases) n++; print n + 0 }' "$log")
    echo "test cases skipped: $skipped (reasons: grep -A3 SKIPPED $log)"
fi
exit $status
