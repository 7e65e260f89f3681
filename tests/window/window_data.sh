#!/usr/bin/env bash
# Prepares (setup) or removes (cleanup) what the in-process window tests need
# outside their own process. The test programs find it all through
# TSINST_WINDOW_DATA (the ROOT below, a Unix path; Wine shows it under Z:).
#
#   window_data.sh setup ROOT     window_data.sh cleanup ROOT
#
# ROOT/floppy    drive A: of the prefix (declared a floppy drive there). The
#                tests "insert" a disk by renaming a disk folder to ROOT/floppy
#                through Z: (MoveFileA on the Z: paths), also from the watcher
#                thread while a "New Disk Required" box is up; "eject" renames
#                it back and leaves an empty ROOT/floppy (an empty drive).
# ROOT/full      a 64 KB tmpfs: a target disk that fills up. When this machine
#                cannot mount, ROOT/full.unavailable says why and the disk-full
#                test reports itself skipped.
# ROOT/readonly  drive R: of the prefix, a read-only bind mount: a
#                write-protected disk. Without mounting, R: is /proc, where
#                nothing can be created either (the tests run as root, so file
#                permissions alone would not stop a write).
# ROOT/release   a sample release tree (tools/make_sample_release.py) and
# ROOT/set       the disk set built from it (tools/make_disk_set.py): disk1/, disk2/.
#
# Drive A: is shared by everything that runs in the same prefix; the tests
# that use it hold the CTest resource lock "wine_drive_a". Cleanup puts back
# whatever A: pointed at before.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
source "$repo/tools/wine-env.sh"

action=${1:?setup or cleanup}
root=${2:?data folder}
saved_a="$root.saved-a-drive"

unmount_all() {
    for m in "$root/full" "$root/readonly"; do
        if mountpoint -q "$m" 2>/dev/null; then umount "$m" || umount -l "$m"; fi
    done
}

case "$action" in
setup)
    wine_ensure_prefix || { echo "wine prefix set-up failed" >&2; exit 1; }
    unmount_all
    rm -rf "$root"
    mkdir -p "$root/floppy" "$root/full" "$root/readonly" "$root/readonly-media"

    if [ ! -e "$saved_a" ]; then
        readlink "$WINEPREFIX/dosdevices/a:" >"$saved_a" 2>/dev/null || : >"$saved_a"
    fi
    wine_map_drive a "$root/floppy"

    if ! mount -t tmpfs -o size=64k tmpfs "$root/full" 2>"$root/full.unavailable"; then
        echo "cannot mount a tmpfs here: $(cat "$root/full.unavailable")" >&2
    else
        rm -f "$root/full.unavailable"
    fi

    if mount --bind -o ro "$root/readonly-media" "$root/readonly" 2>/dev/null &&
       ! touch "$root/readonly/probe" 2>/dev/null; then
        wine_map_drive r "$root/readonly"
    else
        mountpoint -q "$root/readonly" && umount "$root/readonly"
        echo "no read-only bind mount here; drive R: is /proc" >&2
        wine_map_drive r /proc
    fi

    python3 "$repo/tools/make_sample_release.py" "$root/release" >/dev/null || exit 1
    python3 "$repo/tools/make_disk_set.py" "$root/release" "$root/set" >/dev/null || exit 1
    ;;
cleanup)
    unmount_all
    rm -rf "$root"
    if [ -e "$saved_a" ]; then
        previous=$(cat "$saved_a")
        if [ -n "$previous" ]; then
            ln -sfn "$previous" "$WINEPREFIX/dosdevices/a:"
        else
            rm -f "$WINEPREFIX/dosdevices/a:"
        fi
        rm -f "$saved_a"
    fi
    rm -f "$WINEPREFIX/dosdevices/r:"
    ;;
*)
    echo "usage: $0 setup|cleanup ROOT" >&2
    exit 2
    ;;
esac
