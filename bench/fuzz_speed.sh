#!/usr/bin/env bash
# Executions per second of a fuzzer, this tree's against an earlier commit's
# (not part of the test suite):
#
#   bench/fuzz_speed.sh COMMIT [seconds] [target]    (defaults: 300, list_file)
#
# Each fuzzer is built by its own tree's tools/run_fuzzers.sh (the commit's
# tree is taken with git archive into a scratch folder), so each keeps its own
# flags. Both then run at the same time, each pinned to a core of its own
# (taskset -c 0 and 1), for the given seconds, with run_fuzzers.sh's options,
# each from its own copy of the committed seed corpus and nothing else.
# Prints libFuzzer's final exec/s of each and their ratio; the logs stay in
# build/fuzz_speed/. A 5-minute run shows the rate once the corpus has grown:
# the rate falls as the inputs lengthen.
set -euo pipefail

commit=${1:?usage: $0 COMMIT [seconds] [target]}
seconds=${2:-300}
target=${3:-list_file}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz_speed
rm -rf "$out"
mkdir -p "$out/then" "$out/now"

git -C "$root" archive "$commit" engine/plain shell/plain progman/plain tests/fuzz tools/run_fuzzers.sh |
    tar -x -C "$out/then/"
build() {  # tree, folder for the fuzzer: built (and run for a second) by the tree's own script
    TSINST_FUZZ_DIR=$2 "$1/tools/run_fuzzers.sh" 1 "$target" >"$2/build.log" 2>&1 ||
        { echo "$1: the $target fuzzer did not build or run" >&2; tail -n 20 "$2/build.log" >&2; exit 1; }
}
build "$out/then" "$out/then"
build "$root" "$out/now"

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
dict=()
[ -f "$root/tests/fuzz/$target.dict" ] && dict=(-dict="$root/tests/fuzz/$target.dict")
run() {  # core, folder
    mkdir -p "$2/run" "$2/artifacts"
    cp -r "$root/tests/fuzz/corpus/$target/." "$2/run/"
    taskset -c "$1" "$2/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$2/artifacts/" "${dict[@]}" "$2/run" >"$2/fuzz.log" 2>&1 || true
}
echo "Running both for ${seconds}s ..."
run 0 "$out/then" &
run 1 "$out/now" &
wait

rate() { sed -n 's/^stat::average_exec_per_sec: *//p' "$1/fuzz.log"; }
then_rate=$(rate "$out/then")
now_rate=$(rate "$out/now")
printf '%-12s %10s exec/s\n' "$commit" "${then_rate:-?}" "this tree" "${now_rate:-?}"
[ -n "$then_rate" ] && [ -n "$now_rate" ] && [ "$then_rate" -gt 0 ] &&
    awk -v a="$now_rate" -v b="$then_rate" 'BEGIN { printf "ratio        %10.1f\n", a / b }'
