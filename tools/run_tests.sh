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
# The fuzzers are built here, before the tests, when the fuzz test is among
# them: a build that fails is the fuzz test's to report.
if ctest --test-dir "$root/build/x86_64" -N "$@" | grep -q ': fuzz$'; then
    "$root/tools/run_fuzzers.sh" --build >/dev/null 2>&1 || true
fi

source "$root/tools/wine-env.sh"
# Always a private display: the tests expect a 1024x768 screen at 96 dpi.
export TSINST_FORCE_XVFB=1
start_private_display
# The lanes' servers and displays end with their clean-up fixtures. Only a
# run cut short (Ctrl-C, a signal) ends them here: a run that ends by itself
# leaves them to the run that may still be using them (the tools' tests start
# a run of their own in the middle of the suite).
stop_test_lanes() {
    local prefix
    for prefix in "$TSINST_BUILD"/x86_64/wineprefix-*; do
        if [ -d "$prefix" ]; then (WINEPREFIX="$prefix" && stop_lane_services) || true; fi
    done
}
# Each test's output as this run's CTest gives it, whole: the skipped cases
# are read from it (CTest's own LastTest.log is rewritten by any other ctest
# in this build tree meanwhile, even one that only lists the tests).
results=$(mktemp "${TMPDIR:-/tmp}/run_tests-results.XXXXXX")
trap 'stop_private_display; rm -f "$results"' EXIT
trap 'stop_test_lanes; exit 130' INT TERM HUP

status=0
ctest --test-dir "$root/build/x86_64" --output-on-failure --timeout 900 -j "${TSINST_TEST_JOBS:-4}" \
      --output-junit "$results" --test-output-size-passed 100000000 --test-output-size-failed 100000000 "$@" ||
    status=$?
# Cases that skipped themselves (no FUSE for the floppy images, ...) pass as
# far as CTest is concerned.
if [ -s "$results" ]; then
    skipped=$(awk -f "$root/tools/skipped_cases.awk" "$results")
    echo "test cases skipped: $(printf '%s' "$skipped" | grep -c .)"
    [ -z "$skipped" ] || echo "$skipped"
fi
exit $status
