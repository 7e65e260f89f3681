#!/usr/bin/env bash
# Builds the native fuzzers of the plain code (clang, libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) into build/fuzz and runs each
# for the given number of seconds (default 60). Every committed regression
# input is replayed first.
#
# Usage: tools/run_fuzzers.sh [seconds-per-target] [target...]
#        tools/run_fuzzers.sh --build [target...]   (builds what is stale, runs nothing)
#
# Exits 2 for bad arguments or without clang; 1 for an unknown target, a
# build that fails, or when a fuzzer finds a crash, a sanitizer report, a
# failed check, a leak or a hang, or when a regression input fails. Crashing inputs
# are kept in build/fuzz/artifacts/<target>/; the corpus a run grows stays in
# build/fuzz/corpus/<target>/ and is reused by the next run.
# Needs: apt-get install clang libclang-rt-14-dev (Debian).
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -u

build_only=false
if [ "${1:-}" = --build ]; then build_only=true; set -- 60 "${@:2}"; fi
seconds=${1:-60}
shift || true
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${TSINST_FUZZ_DIR:-$root/build/fuzz}")  # the build below runs in the source tree
cxx=${TSINST_FUZZ_CXX:-clang++}
all_targets=(list_file options path_helpers progman)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi

if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [seconds-per-target] [target...]" >&2
  exit 2
fi
if ! command -v "$cxx" >/dev/null; then
  echo "$cxx not found: apt-get install clang libclang-rt-14-dev" >&2
  exit 2
fi

# The plain sources each fuzzer needs besides its own.
declare -A sources=(
  [list_file]="engine/plain/ListFile.cpp engine/plain/ChecksumList.cpp engine/plain/SizeList.cpp engine/plain/InstallPlan.cpp engine/plain/ReplacementRecord.cpp engine/plain/InstallRecord.cpp engine/plain/ScratchName.cpp shell/plain/PathHelpers.cpp shell/plain/FormatText.cpp"
  [options]="engine/plain/OptionsFile.cpp shell/plain/Settings.cpp"
  [path_helpers]="shell/plain/PathHelpers.cpp"
  [progman]="progman/plain/ProgmanCommand.cpp engine/plain/RemovalRegistration.cpp shell/plain/PathHelpers.cpp"
)

# The C++ library's own functions carry no coverage instrumentation
# (tests/fuzz/coverage_ignore.txt): a fuzzer follows the project's branches
# and compares, and pays nothing for those inside std::string.
flags=(-std=c++17 -g -O2 -fno-omit-frame-pointer -Wall -Wextra -D_GLIBCXX_ASSERTIONS
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -fsanitize-coverage-ignorelist=tests/fuzz/coverage_ignore.txt -I.)
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Each source is compiled on its own, in the source tree with paths relative
# to it, through ccache where there is one: a new clone's fuzzers then cost a
# link each. ccache does not read the coverage ignore list itself.
launcher=()
command -v ccache >/dev/null &&
  launcher=(env CCACHE_EXTRAFILES=tests/fuzz/coverage_ignore.txt CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1 ccache)
# Usage: build_fuzzer BINARY SOURCE... (sources relative to the source tree)
build_fuzzer() (
  binary="$1" objects=()
  shift
  cd "$root" || exit 1
  for source in "$@"; do
    object="$out/obj/$source.o"
    mkdir -p "${object%/*}" && "${launcher[@]}" "$cxx" "${flags[@]}" -c "$source" -o "$object" || exit 1
    objects+=("$object")
  done
  "$cxx" "${flags[@]}" "${objects[@]}" -o "$binary"
)

mkdir -p "$out/bin" "$out/logs"
status=0
for target in "${targets[@]}"; do
  if [ -z "${sources[$target]+set}" ]; then
    echo "unknown fuzz target: $target (known: ${all_targets[*]})" >&2
    status=1
    continue
  fi
  binary=$out/bin/fuzz_$target
  # Built again only when a plain source, the target or this script changed.
  if [ -x "$binary" ] && [ -z "$(find "$root"/*/plain "$root/tests/fuzz/fuzz_$target.cpp" "${BASH_SOURCE[0]}" \
                                      "$root/tests/fuzz/coverage_ignore.txt" \
                                      -newer "$binary" -print -quit)" ]; then
    echo "== $target: up to date"
  elif ! { echo "== $target: building"; build_fuzzer "$binary" "tests/fuzz/fuzz_$target.cpp" ${sources[$target]}; }; then
    echo "== $target: build failed" >&2
    status=1
    continue
  fi
  $build_only && continue

  regressions=("$root"/tests/fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== $target: replaying ${#regressions[@]} regression input(s)"
    if ! "$binary" "${regressions[@]}" >"$out/logs/$target.regressions.log" 2>&1; then
      echo "== $target: REGRESSION (see $out/logs/$target.regressions.log)" >&2
      tail -n 30 "$out/logs/$target.regressions.log" >&2
      status=1
      continue
    fi
  fi

  corpus=$out/corpus/$target
  artifacts=$out/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  dict=()
  [ -f "$root/tests/fuzz/$target.dict" ] && dict=(-dict="$root/tests/fuzz/$target.dict")
  echo "== $target: fuzzing for ${seconds}s"
  log=$out/logs/$target.log
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" \
    "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cover=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  if [ $rc -ne 0 ]; then
    echo "== $target: FINDING (exit $rc; log $log; input in $artifacts/)" >&2
    grep -E 'ERROR|check failed|runtime error|SUMMARY|Test unit written' "$log" | head -n 20 >&2
    status=1
  else
    echo "== $target: ok, ${runs:-?} runs, ${speed:-?} exec/s, ${cover:-cov: ?}"
  fi
done
exit $status
