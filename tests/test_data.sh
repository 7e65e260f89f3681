#!/usr/bin/env bash
# Prepares (setup) or removes (cleanup) what the window and end-to-end tests
# need outside their own process, and puts the prefix back into its known
# state before each test program (reset). The test programs find the folder
# through TSINST_TEST_DATA (the ROOT below, a Unix path; Wine shows it under Z:).
#
#   test_data.sh setup ROOT [INSTALLER]     test_data.sh lane LANE ROOT
#   test_data.sh reset ROOT|LANE            test_data.sh cleanup ROOT|LANE
#
# The test programs run in lanes, several at once (tests/CMakeLists.txt): each
# lane has a Wine prefix (WINEPREFIX), a Wine server, a drive A: and a folder
# of its own. ROOT is the first lane's folder and holds the data all share;
# "lane" makes another lane's folder LANE, with a floppy folder and a display
# of its own, and the data of ROOT in it. "cleanup" of a lane ends its server
# and display; of ROOT, it also removes the shared data.
#
# ROOT/floppy       drive A: of the prefix (declared a floppy drive there), empty
#                   at the start of each program. The window tests "insert" a
#                   disk by renaming a disk folder to ROOT/floppy through Z:; the
#                   end-to-end tests re-point A: (tests/kit/FloppyDrive.h).
# ROOT/floppy-b     drive B: of the prefix, a second floppy drive (declared so
#                   once per prefix; Wine's mount manager sees it from the next
#                   start of the prefix's server, so the declaration ends it),
#                   empty at the start of each program: the launcher tests put
#                   the temporary folder there.
# ROOT/full         a 64 KB tmpfs: a target disk that fills up. When this machine
#                   cannot mount, ROOT/full.unavailable says why and the disk-full
#                   test reports itself skipped.
# ROOT/readonly     drive R: of the prefix, a read-only bind mount: a
#                   write-protected disk. Without mounting, R: is /proc, where
#                   nothing can be created either (the tests run as root, so file
#                   permissions alone would not stop a write).
# ROOT/release      a sample release tree (tools/make_sample_release.py)
# ROOT/set          its disk set (tools/make_disk_set.py): disk1/, disk2/
# ROOT/plain        the same disk set without program titles: no list names a
#                   titled ".EXE" entry, so no program item is captured
# ROOT/release2     the release made with --version 2: newer contents
# ROOT/update       a maintenance-update source from release2/PROGRAM1
# ROOT/update-plain the same update without program titles
# ROOT/pe32.unavailable  only where this machine cannot start 32-bit programs
#                   (tools/ensure_packages.sh sets that up): why. The
#                   end-to-end tests, which start the shipped PE32 files, then
#                   report themselves skipped.
# ROOT/images       with INSTALLER (the i686 build folder with the shipped
#                   tsinst95.exe, tsinstnt.exe, their engines tsinst95.dll and
#                   tsinstnt.dll and install.emf): the disk set
#                   as floppy images disk1.img and disk2.img, the installer
#                   as shipped in SETUP on disk 1; the tests mount them read-only
#                   with tools/native/floppy_mount at folders beside them
#                   (tests/kit/FloppyImage.h); images/disk1 is disk 1's folder,
#                   which the launcher tests copy
# ROOT/update-setup the update set with the installer (--update --installer),
#                   and its image update-setup.img (also an update point as it is)
#
# Reset (run by tools/wine-run.sh before every test program) re-points A:, B:
# and R: (never removes A: or B:: Wine's mount manager would then take a new
# one for a fixed disk until its services restart, see tools/wine-env.sh), removes drive letters a test mapped into the prefix or this folder, the
# Program Manager group "Tessaryn 3.0", the default target C:\TSW30, options
# files and markers a program may have left on C:, and scratch folders of the
# test kit and SETUP.EXE's copies (TSW*.TMP) in the prefix's temporary folders and C:\: whatever ran before, each test
# program starts from the same prefix.
#
# Drive A: is shared by everything that runs in the same prefix; the tests of
# one lane hold its CTest resource lock and run one after another.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
source "$repo/tools/wine-env.sh"

action=${1:?setup, reset or cleanup}
root=${2:?data folder}
installer=${3:-}
devices="$WINEPREFIX/dosdevices"


# Links of drive letters C: to Y: that point into this folder or the prefix's
# own drive C: (a test's mapped drive that outlived it).
remove_stray_drives() {
    local link target
    for link in "$devices"/[c-y]:; do
        [ -L "$link" ] || continue
        target=$(readlink "$link")
        case "$target" in
        "$root"/* | "$root" | "$WINEPREFIX"/drive_c/* | ../drive_c/*) rm -f "$link" ;;
        esac
    done
}

# B: a floppy drive for Wine, as tools/wine-env.sh declares A:.
declare_floppy_b() {
    [ -f "$WINEPREFIX/.tsinst-floppy-b" ] && return 0
    wine_map_drive b "$WINEPREFIX/no-disk"
    "$WINELOADER" reg add 'HKLM\Software\Wine\Drives' /v 'b:' /d floppy /f >/dev/null 2>&1 || return 1
    # Its mount manager read the drives before B: was declared: the next
    # start of the prefix's server is a new one.
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.tsinst-floppy-b"
}

reset_prefix() {
    [ -d "$root" ] || { echo "no test data at $root: run setup first" >&2; return 1; }
    remove_stray_drives
    rm -rf "$root/floppy" "$root/floppy-b"
    mkdir -p "$root/floppy" "$root/floppy-b"
    wine_map_drive a "$root/floppy"
    wine_map_drive b "$root/floppy-b"
    if mountpoint -q "$root/readonly"; then wine_map_drive r "$root/readonly"; else wine_map_drive r /proc; fi

    local c="$WINEPREFIX/drive_c" folder
    rm -rf "$c/TSW30" "$c/UPD" "$c/INSTALL.OPT" "$c/TSW_FILE.CHK"
    for folder in "$c"/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs \
                  "$c"/ProgramData/Microsoft/Windows/"Start Menu"/Programs; do
        rm -rf "$folder/Tessaryn 3.0"
    done
    for folder in "$c"/users/*/Temp/tskit-* "$c"/users/*/Temp/e2e-* "$c"/users/*/Temp/TSW*.TMP \
                  "$c"/windows/temp/TSW*.TMP "$c"/TSW*.TMP; do
        [ -e "$folder" ] || continue
        chattr -R -i "$folder" 2>/dev/null
        rm -rf "$folder"
    done
    return 0
}

# What a lane reads of ROOT, linked; the floppy images copied, since a test
# mounts an image at a folder beside it named after its Windows process id,
# which the lanes' Wine servers hand out alike.
fill_lane() {
    local shared="$1" item
    [ -d "$shared/release" ] || { echo "no test data at $shared: run setup first" >&2; return 1; }
    for item in release set plain release2 update update-plain update-setup pe32.unavailable; do
        [ -e "$shared/$item" ] && ln -s "$shared/$item" "$root/$item"
    done
    # An image is mounted at a folder beside it: each lane has its own copy.
    [ -f "$shared/update-setup.img" ] && cp "$shared/update-setup.img" "$root/"
    if [ -d "$shared/images" ]; then
        mkdir -p "$root/images" && cp "$shared"/images/*.img "$root/images/"
        ln -s "$shared/images/disk1" "$root/images/disk1"
        ln -s "$shared/images/disk2" "$root/images/disk2"
    fi
}

case "$action" in
setup)
    wine_ensure_prefix && declare_floppy_b || { echo "wine prefix set-up failed" >&2; exit 1; }
    start_wine_server
    unmount_below "$root"
    chattr -R -i "$root" 2>/dev/null
    rm -rf "$root"
    mkdir -p "$root/floppy" "$root/full" "$root/readonly" "$root/readonly-media"

    if ! mount -t tmpfs -o size=64k tmpfs "$root/full" 2>"$root/full.unavailable"; then
        echo "cannot mount a tmpfs here: $(cat "$root/full.unavailable")" >&2
    else
        rm -f "$root/full.unavailable"
    fi
    if ! mount --bind -o ro "$root/readonly-media" "$root/readonly" 2>/dev/null ||
       touch "$root/readonly/probe" 2>/dev/null; then
        mountpoint -q "$root/readonly" && umount "$root/readonly"
        echo "no read-only bind mount here; drive R: is /proc" >&2
    fi

    make_release() { python3 "$repo/tools/make_sample_release.py" "$@" >/dev/null; }
    make_set() { python3 "$repo/tools/make_disk_set.py" -q "$@"; }
    # Every lane waits for these: both releases, then all their sets, are
    # made side by side (each set in a folder of its own).
    made() { local pid status=0; for pid in "$@"; do wait "$pid" || status=1; done; return $status; }
    make_release "$root/release" & first=$!
    make_release --version 2 "$root/release2" & second=$!
    made $first $second || exit 1
    sets=()
    make_set "$root/release" "$root/set" & sets+=($!)
    make_set --no-titles "$root/release" "$root/plain" & sets+=($!)
    make_set --update "$root/release2/PROGRAM1" "$root/update" & sets+=($!)
    make_set --update --no-titles "$root/release2/PROGRAM1" "$root/update-plain" & sets+=($!)
    if [ -n "$installer" ]; then
        make_set --images --installer "$installer" "$root/release" "$root/images" & sets+=($!)
        make_set --update --images --installer "$installer" "$root/release2/PROGRAM1" "$root/update-setup" & sets+=($!)
    fi
    made "${sets[@]}" || exit 1
    why=$(wine_pe32_unavailable)
    if [ -n "$why" ]; then
        echo "$why" >"$root/pe32.unavailable"
        echo "$why: the tests of the shipped PE32 executables skip" >&2
    fi
    reset_prefix
    ;;
lane)
    shared=${3:?shared data folder}
    wine_ensure_prefix && declare_floppy_b || { echo "wine prefix set-up failed" >&2; exit 1; }
    unmount_below "$root"
    rm -rf "$root"
    mkdir -p "$root/floppy"
    fill_lane "$shared" || exit 1
    start_lane_services || exit 1
    reset_prefix
    ;;
reset)
    reset_prefix
    ;;
cleanup)
    [ -d "$root" ] && reset_prefix
    stop_lane_services
    unmount_below "$root"
    chattr -R -i "$root" 2>/dev/null
    rm -rf "$root"
    # A: and B: stay linked (see wine_ensure_prefix): to no disk.
    wine_map_drive a "$WINEPREFIX/no-disk"
    wine_map_drive b "$WINEPREFIX/no-disk"
    rm -f "$devices/r:"
    ;;
*)
    echo "usage: $0 setup ROOT [INSTALLER] | lane LANE ROOT | reset ROOT|LANE | cleanup ROOT|LANE" >&2
    exit 2
    ;;
esac
