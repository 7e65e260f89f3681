#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both targets, starts
# a private Xvfb and the project's Wine prefix with one server for the whole
# run, runs CTest, tears down what it started. Exits non-zero when a test
# fails.
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
ctest --test-dir "$root/build/x86_64" --output-on-failure --timeout 900 || status=$?
exit $status
