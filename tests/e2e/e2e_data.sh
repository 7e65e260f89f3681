#!/usr/bin/env bash
# Prepares (setup) or removes (cleanup) the sample data of the end-to-end
# tests. The test program finds it through TSINST_E2E_DATA (ROOT below, a
# Unix path; Wine shows it under Z:).
#
#   e2e_data.sh setup ROOT [INSTALLER]     e2e_data.sh cleanup ROOT
#
# ROOT/release      a sample release tree (tools/make_sample_release.py)
# ROOT/set          its disk set (tools/make_disk_set.py): disk1/, disk2/
# ROOT/plain        the same disk set without program titles: no list names
#                   a titled ".EXE" entry, so no program item is captured
# ROOT/release2     the release made with --version 2: newer contents
# ROOT/update       a maintenance-update source from release2/PROGRAM1
#                   (disk_1.lst with the titled TSW.EXE, compressed files)
# ROOT/update-plain the same update without program titles
# ROOT/images       with INSTALLER (the folder of the built tsinst95.exe,
#                   tsinstnt.exe and install.emf): the disk set as floppy
#                   images disk1.img and disk2.img, the installer (stripped,
#                   to fit) in SETUP on disk 1; the tests mount them read-only
#                   with fusefat at folders beside them (tests/kit/FloppyImage.h)
# ROOT/floppy       an empty folder; drive A: points at it when the prefix had
#                   no A: at all (the tests re-point A: themselves and put
#                   back what they found)
#
# Drive A: is shared by everything that runs in the prefix; the tests that use
# it hold the CTest resource lock "wine_drive_a". Cleanup removes the A: link
# only when it still points into ROOT, and undoes any image mount left below
# ROOT.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
source "$repo/tools/wine-env.sh"

action=${1:?setup or cleanup}
root=${2:?data folder}
installer=${3:-}
link="$WINEPREFIX/dosdevices/a:"

unmount_images() {
    [ -d "$root" ] || return 0
    local mounted
    awk -v under="$root/" 'index($2, under) == 1 { print $2 }' /proc/mounts | while read -r mounted; do
        fusermount -u "$mounted" 2>/dev/null || fusermount -u -z "$mounted"
    done
}

case "$action" in
setup)
    wine_ensure_prefix || { echo "wine prefix set-up failed" >&2; exit 1; }
    unmount_images
    rm -rf "$root"
    mkdir -p "$root/floppy"
    if [ ! -L "$link" ]; then wine_map_drive a "$root/floppy"; fi

    make_release() { python3 "$repo/tools/make_sample_release.py" "$@" >/dev/null; }
    make_set() { python3 "$repo/tools/make_disk_set.py" -q "$@"; }
    make_release "$root/release" || exit 1
    make_set "$root/release" "$root/set" || exit 1
    make_set --no-titles "$root/release" "$root/plain" || exit 1
    make_release --version 2 "$root/release2" || exit 1
    make_set --update "$root/release2/PROGRAM1" "$root/update" || exit 1
    make_set --update --no-titles "$root/release2/PROGRAM1" "$root/update-plain" || exit 1
    if [ -n "$installer" ]; then
        mkdir -p "$root/installer"
        for file in tsinst95.exe tsinstnt.exe install.emf; do
            cp "$installer/$file" "$root/installer/" || exit 1
        done
        x86_64-w64-mingw32-strip "$root/installer/tsinst95.exe" "$root/installer/tsinstnt.exe" || exit 1
        make_set --images --installer "$root/installer" "$root/release" "$root/images" || exit 1
    fi
    ;;
cleanup)
    unmount_images
    case "$(readlink "$link" 2>/dev/null)" in
    "$root"/*) rm -f "$link" ;;
    esac
    rm -rf "$root"
    ;;
*)
    echo "usage: $0 setup|cleanup ROOT" >&2
    exit 2
    ;;
esac
