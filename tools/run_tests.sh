#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both targets, starts
# a private Xvfb, runs CTest, tears down what it started. The Windows test
# programs run in lanes at the same time (tests/CMakeLists.txt), each in a Wine
# prefix of its own under build/x86_64 with one server for the whole run;
# the demo's prefix is not touched. Exits non-zero when a test fails or when no
# test matches. Arguments go to CTest: "-R e2e" runs the end-to-end tests with
# their fixtures; GTEST_FILTER narrows them to cases; TSINST_TEST_JOBS (4)
# is how many tests run at once.
#
# Usage: tools/run_tests.sh [CTEST ARGUMENT...]   e.g. -R NAME: the tests whose name matches NAME
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TSINST_BUILD="$root/build"

# A name that matches no test fails the run: before anything is installed or
# built where the build tree knows its tests already, else once it is built.
require_matching_tests() {
    local tests
    tests=$(ctest --test-dir "$root/build/x86_64" -N "$@" | sed -n 's/^Total Tests: //p')
    if [ "${tests:-0}" -eq 0 ]; then
        echo "run_tests.sh: no test matches: $*" >&2
        exit 1
    fi
}
if [ -f "$root/build/x86_64/CTestTestfile.cmake" ] && command -v ctest >/dev/null; then
    require_matching_tests "$@"
fi
"$root/tools/ensure_packages.sh"
"$root/tools/build_all.sh"
require_matching_tests "$@"

source "$root/tools/wine-env.sh"
# Always a private display: the tests expect a 1024x768 screen at 96 dpi.
export TSINST_FORCE_XVFB=1
start_private_display
# The lanes' servers and displays end with their clean-up fixtures; these
# calls only matter when the run was cut short.
stop_test_lanes() {
    local prefix
    for prefix in "$TSINST_BUILD"/x86_64/wineprefix-*; do
        [ -d "$prefix" ] && (WINEPREFIX="$prefix" && stop_lane_services)
    done
}
trap 'stop_test_lanes; stop_private_display' EXIT

status=0
ctest --test-dir "$root/build/x86_64" --output-on-failure --timeout 900 -j "${TSINST_TEST_JOBS:-4}" "$@" ||
    status=$?
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
