#!/usr/bin/env bash
# Builds both targets: x86_64 (runs under wine64, with the tests) and i686
# (the shipped PE32 executables), and the release tools' native helpers.
# Output under build/.
#
# Usage: tools/build_all.sh
# Exit code: 0 when both are built; the failing step's (non-zero) otherwise.
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
[ $# -eq 0 ] || { echo "usage: $0 (no arguments; --help)" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
export TSINST_BUILD="$root/build"
jobs=$(nproc)

# ccache keeps compiled objects between runs, also between two clones of the
# project (paths are taken relative to the clone).
if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
fi

# CMake keeps the compiler a build tree was first configured with; a tree
# made with another thread model's compiler than the toolchain names now is
# configured afresh.
reconfigure_if_compiler_changed() {
    local tree="$1" recorded
    recorded=$(grep -h 'set(CMAKE_CXX_COMPILER "' "$tree"/CMakeFiles/*/CMakeCXXCompiler.cmake 2>/dev/null | head -n1 || true)
    case "$recorded" in
        ""|*-g++-win32*) ;;
        *) rm -rf "$tree/CMakeCache.txt" "$tree/CMakeFiles" ;;
    esac
}
reconfigure_if_compiler_changed "$root/build/x86_64"
reconfigure_if_compiler_changed "$root/build/i686"

# The release tools' helpers for this machine (tools/native): the disk-set
# builder's list check and the floppy image reader.
# A tree configured already is left to its build step, which configures it
# again by itself when a CMake file changed: a second configure costs seconds.
# A new tree is built by Ninja, which walks a built tree in a fraction of
# make's time; a tree made with make stays with it.
configure() {
    local tree="$1" generator=()
    shift
    command -v ninja >/dev/null && generator=(-G Ninja)
    [ -f "$tree/CMakeCache.txt" ] || cmake "${generator[@]}" -B "$tree" "$@" >/dev/null
}
configure "$root/build/native" -S "$root/tools/native"
cmake --build "$root/build/native" -j "$jobs"

configure "$root/build/x86_64" -S "$root" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake"
cmake --build "$root/build/x86_64" -j "$jobs"

configure "$root/build/i686" -S "$root" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
      -DTSINST_PICTURE_FROM="$root/build/x86_64/install.emf" -DTSINST_TESTS=OFF
cmake --build "$root/build/i686" -j "$jobs" --target tsinst95 tsinstnt setup tswremov install_picture help_file \
      alloc_failure_probe
