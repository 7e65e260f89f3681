#!/usr/bin/env bash
# Compiler and linker launcher for the test programs. The installer is built
# with the win32 thread model of the mingw compilers, whose GCC 12 runtime has
# no std::thread or std::mutex; the test programs need both. This runs the
# same command with the posix thread model's driver of the same compiler
# ("...-g++-win32" becomes "...-g++-posix"); everything else passes through,
# so that a launcher named after this one (ccache) still runs first.
#
# Usage: posix-threads.sh COMPILER ARGUMENT...   (exit code: the compiler's)
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
command=()
swapped=
for arg in "$@"; do
    if [[ -z $swapped && $arg == *-w64-mingw32-g++-win32 ]]; then
        arg=${arg%-win32}-posix
        swapped=1
    fi
    command+=("$arg")
done
# The two drivers are one program, so ccache cannot tell them apart by the
# compiler's file; it is told which runtime this is.
export CCACHE_COMPILERCHECK=string:posix-threads
exec "${command[@]}"
