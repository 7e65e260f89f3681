#!/usr/bin/env bash
# The installer's benchmark (not part of the test suite):
#
#   bench/run_bench.sh [ROUNDS]        (default 9; use 9 or more)
#
# Builds the x86_64 programs it needs (build/x86_64, or BENCH_BUILD_DIR),
# and times those, not the shipped i686 files: where the kernel executes no
# i386 code, a PE32 program runs under qemu-user and its figures would be the
# emulator's; the two builds share every source and flag.
# makes the reference disk set once (sample release at scale 20: two program
# disks of about 1.4 MB compressed, 351 files; cached under build/bench), and
# puts both disks into one folder shown as drive A:, so that a drive holding
# both list files answers both disk prompts at once. Then, in a Wine prefix
# of its own (build/bench/wineprefix: the installations and the Program
# Manager group it makes are not the demo's) on a private Xvfb, each round
# measures:
#   - a whole local installation through the real tsinst95.exe, started by the
#     launcher stand-in: start-up to the visible main window, time from the
#     menu command to the "Installation Complete" question, peak working set
#     (bench_driver installer);
#   - the baseline: the bare LZOpenFileA/CopyLZFile/LZClose loop over the same
#     files into an empty tree (bench_expand), then every file it wrote read
#     back for its CRC-32: what the installer's check against the disks'
#     CHECKSUM.LST costs, shown as its share of the installation;
#   - the durable floor: the same bare loop with a progress window repainted
#     before each file and one FlushFileBuffers after it (bench_expand
#     --durable), against which the installation's time inside its progress
#     windows is set (bench_driver's progress_ms);
#   - a minimal window program doing the same expansion, for start-up and
#     memory (bench_driver window, bench_window);
# and, once, how much an installation reads from the source (its log's own
# count): fresh, over the same installation with one file removed (a
# repair) and once more over the whole one;
# and, once, what SETUP.EXE reads from disk 1 before the installer's main
# window shows, for each build (the shipped i686 files, bytes and seconds at
# the 45,000 bytes a second a floppy reads);
# msexpand expands the same files natively once, as a correctness cross-check
# only (one process and one system call per byte: no speed reference), and
# every tree written in every round is compared byte for byte with its tree.
# One warm-up round comes first and is not counted. The table shows the median of the
# rounds with min and max; the raw figures stay in build/bench/results.txt.
#
# Environment: BENCH_BUILD_DIR (build tree to use), BENCH_DRIVE (drive letter
# for the disk folder, default a; the prefix's link for it is restored at the
# end), WINEPREFIX (another prefix than build/bench/wineprefix).
set -euo pipefail

rounds="${1:-9}"
if ! [[ "$rounds" =~ ^[0-9]+$ ]] || [ "$rounds" -lt 1 ]; then
    echo "usage: $0 [ROUNDS]" >&2
    exit 2
fi
[ "$rounds" -ge 9 ] || echo "note: fewer than 9 rounds; the bare loop alone varies by about 20% between rounds" >&2

root=$(cd "$(dirname "$0")/.." && pwd)
export TSINST_BUILD="$root/build"
build="${BENCH_BUILD_DIR:-$root/build/x86_64}"
cache="$root/build/bench"
drive="${BENCH_DRIVE:-a}"
drive="${drive,,}"
DRIVE="${drive^^}"

# ---- programs -------------------------------------------------------------
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target bench_programs >/dev/null

winpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }
driver=$(winpath "$build/bench/bench_driver.exe")
expander=$(winpath "$build/bench/bench_expand.exe")
window=$(winpath "$build/bench/bench_window.exe")
installer=$(winpath "$build/tsinst95.exe")
launcher=$(winpath "$build/tests/kit/launcher_standin.exe")
if [ ! -f "$build/tests/kit/launcher_standin.exe" ]; then
    echo "the launcher stand-in (tests/kit, built with the tests) is missing from $build" >&2
    exit 1
fi

# ---- reference disk set ---------------------------------------------------
stamp="scale 20 $(cat "$root/tools/make_sample_release.py" "$root/tools/make_disk_set.py" | sha1sum)"
disks="$cache/disks"
if [ "$(cat "$disks/stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "Making the reference disk set (once) ..."
    rm -rf "$disks"
    mkdir -p "$disks"
    python3 "$root/tools/make_sample_release.py" "$disks/release" --scale 20 >/dev/null
    python3 "$root/tools/make_disk_set.py" -q "$disks/release" "$disks/set"
    mkdir -p "$disks/both"
    cp -r "$disks/set/disk1/." "$disks/both/"
    cp -r "$disks/set/disk2/." "$disks/both/"
    # One root holds both disks' files, and so both disks' checksum lists.
    cat "$disks/set/disk1/CHECKSUM.LST" "$disks/set/disk2/CHECKSUM.LST" > "$disks/both/CHECKSUM.LST"
    echo "$stamp" > "$disks/stamp"
fi
both="$disks/both"
# The installer leaves its options file on the source disk when it closes.
rm -f "$both/INSTALL.OPT"

# ---- Wine -----------------------------------------------------------------
export WINEPREFIX="${WINEPREFIX:-$cache/wineprefix}"
source "$root/tools/wine-env.sh"
export TSINST_FORCE_XVFB=1
start_private_display
wine_ensure_prefix
link="$WINEPREFIX/dosdevices/$drive:"
previous=$(readlink "$link" 2>/dev/null || true)
work="$WINEPREFIX/drive_c/TSBENCH"
cleanup() {
    # Only what this script started: its Xvfb, its trees, the drive link.
    if [ -n "$previous" ]; then ln -sfn "$previous" "$link"; else rm -f "$link"; fi
    rm -rf "$work" "$cache/msexpand"
    # The prefix may be the caller's: no "wineserver -k". Close the group's folder window
    # that Wine's Program Manager opened, and give Wine's own processes
    # (explorer, which may be using this display) a moment to end first.
    wine_fixed_layout "$WINELOADER" "$driver" close-folder-window "Tessaryn 3.0" 2>/dev/null || true
    timeout 20 "$WINESERVER" -w 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
wine_map_drive "$drive" "$both"
rm -rf "$work"
mkdir -p "$work"

# The files of an installation as "compressed<TAB>installed<TAB>original"
# paths relative to the disk folder, the target and the release tree, in the
# installer's list order: the installer's own plan and lists (bench_expand
# --list) and the release folder of each list (the disk-set builder's table).
pairs="$cache/files.txt"
wine_fixed_layout "$WINELOADER" "$expander" --list "$DRIVE:\\" "" | tr -d '\r' |
    python3 -c '
import sys
folders = {line.split("\t")[1]: line.split("\t")[0] for line in open(sys.argv[1]).read().splitlines()}
for line in sys.stdin.read().splitlines():
    list_name, compressed, installed = line.split("\t")
    compressed = compressed.split("\\", 1)[1].replace("\\", "/")
    installed = installed.replace("\\", "/")
    print("%s\t%s\t%s/%s" % (compressed, installed, folders[list_name], installed.split("/")[-1]))
' <(python3 "$root/tools/make_disk_set.py" --components) > "$pairs"
[ -s "$pairs" ] || { echo "bench_expand --list read no files from $DRIVE:" >&2; exit 1; }

results="$cache/results.txt"
: > "$results"

# What SETUP.EXE reads from disk 1 before the installer's main window shows,
# for each build: itself (the system reads it whole to run it), the build's
# installer and its picture, as the disk-set builder puts the shipped i686
# files on disk 1 (the help file follows once the main window is up).
start_set="$cache/start"
if [ -f "$root/build/i686/setup.exe" ]; then
    rm -rf "$start_set"
    mkdir -p "$start_set/release/PROGRAM1"
    echo "a file for the set" > "$start_set/release/PROGRAM1/README.TXT"
    python3 "$root/tools/make_disk_set.py" -q --update --installer "$root/build/i686" "$start_set/release/PROGRAM1" \
        "$start_set/disk1"
    for build in 95 NT; do
        echo "0 disk1_$build bytes=$(cat "$start_set/disk1/SETUP.EXE" "$start_set/disk1/SETUP/TSINST$build.EX_" \
            "$start_set/disk1/SETUP/INSTALL.EM_" | wc -c)" >> "$results"
    done
else
    echo "no build/i686/setup.exe (tools/build_all.sh builds it): disk 1's start is not shown" >&2
fi

fail() { echo "round $1: $2" >&2; exit 1; }

# key=value lines of a program's output on one line.
flatten() { tr -d '\r' | tr '\n' ' '; }

check_tree() {  # round, label, tree
    # The installation's own files (its marker, record and removal program) are no file of the disks.
    local differences
    differences=$(diff -rq -x TSW_FILE.CHK -x TSW_INST.LOG -x TSWREMOV.EXE "$cache/msexpand" "$3" 2>&1 || true)
    [ -z "$differences" ] || fail "$1" "$2 tree differs from msexpand's:
$differences"
}

# What the installer's run in a folder read from the source, as its log's
# note says: "reads=BYTES left=FILES" (the files it left as they were).
source_reads() {
    tr -d '\r' < "$1/TSW_INST.LOG" | sed -n 's/^; read from the source: \([0-9]*\) bytes; files left as they were: \([0-9]*\)$/reads=\1 left=\2/p' | tail -n 1
}

# A repair and a run again, once: an installation, one file of it removed
# (the set's first), the installation run over it, then run once more over
# the whole one; each run's source reads, and the bytes of the removed
# file's compressed form and of every compressed file of the set.
repairs() {
    local tree="$work/R" out compressed installed original
    IFS=$'\t' read -r compressed installed original < "$pairs"
    for run in fresh repair rerun; do
        [ "$run" = repair ] && rm -f "$tree/$installed"
        out=$(wine_fixed_layout "$WINELOADER" "$driver" installer "$launcher" "$installer" "$DRIVE:\\" "C:\\TSBENCH\\R" | flatten || true)
        [[ " $out " == *" ok=1 "* ]] || fail 0 "installer, $run: $out"
        echo "0 $run $(source_reads "$tree")" >> "$results"
    done
    check_tree 0 repaired "$tree"
    local all=0 size
    while IFS=$'\t' read -r compressed installed original; do
        size=$(stat -c %s "$both/$compressed"); all=$((all + size))
    done < "$pairs"
    IFS=$'\t' read -r compressed installed original < "$pairs"
    echo "0 sizes removed=$(stat -c %s "$both/$compressed") compressed=$all name=$installed" >> "$results"
    rm -rf "$tree"
}

run_round() {
    local r="$1" counted="$2" out
    local inst="$work/I$r" base="$work/B$r" win="$work/W$r" durable="$work/D$r"
    [ "$(readlink "$link")" = "$both" ] || fail "$r" "$DRIVE: was re-pointed by someone else during the run"

    out=$(wine_fixed_layout "$WINELOADER" "$driver" installer "$launcher" "$installer" "$DRIVE:\\" "C:\\TSBENCH\\I$r" | flatten || true)
    [[ " $out " == *" ok=1 "* ]] || fail "$r" "installer: $out"
    [ "$counted" = 1 ] && echo "$r installer $out $(source_reads "$inst")" >> "$results"

    local start end
    start=$(date +%s%N)
    out=$(wine_fixed_layout "$WINELOADER" "$expander" "$DRIVE:\\" "C:\\TSBENCH\\B$r" | flatten) || fail "$r" "baseline: $out"
    end=$(date +%s%N)
    [ "$counted" = 1 ] && echo "$r baseline $out process_ms=$(( (end - start) / 1000000 ))" >> "$results"

    out=$(wine_fixed_layout "$WINELOADER" "$expander" --durable "$DRIVE:\\" "C:\\TSBENCH\\D$r" | flatten) || fail "$r" "durable floor: $out"
    [ "$counted" = 1 ] && echo "$r durable $out" >> "$results"

    out=$(wine_fixed_layout "$WINELOADER" "$driver" window "$window" "$DRIVE:\\" "C:\\TSBENCH\\W$r" | flatten || true)
    [[ " $out " == *" ok=1 "* ]] || fail "$r" "window program: $out"
    [ "$counted" = 1 ] && echo "$r window $out" >> "$results"

    check_tree "$r" installer "$inst"
    check_tree "$r" baseline "$base"
    check_tree "$r" "window program" "$win"
    check_tree "$r" "durable floor" "$durable"
    rm -rf "$inst" "$base" "$win" "$durable"
    printf '.' >&2
}

echo "Benchmark: $(wc -l < "$pairs") files from $DRIVE: ($both), $rounds rounds + 1 warm-up" >&2

# The reference tree, once.
rm -rf "$cache/msexpand"
start=$(date +%s%N)
while IFS=$'\t' read -r compressed installed original; do
    mkdir -p "$(dirname "$cache/msexpand/$installed")"
    msexpand < "$both/$compressed" > "$cache/msexpand/$installed"
done < "$pairs"
end=$(date +%s%N)
echo "0 msexpand expand_ms=$(( (end - start) / 1000000 ))" >> "$results"
while IFS=$'\t' read -r compressed installed original; do
    cmp -s "$cache/msexpand/$installed" "$disks/release/$original" ||
        fail 0 "msexpand's $installed differs from the release file $original"
done < "$pairs"

run_round 0 0
repairs
for r in $(seq 1 "$rounds"); do run_round "$r" 1; done
echo >&2
python3 "$root/bench/bench_table.py" "$results"
