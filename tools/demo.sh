#!/usr/bin/env bash
# The installer's main job on a sample disk set: builds everything, makes a
# two-disk set as 1.44 MB floppy images (the installer in SETUP on disk 1) and
# a newer update set, mounts the images read-only (tools/native/floppy_mount,
# which keeps their files' dates) and shows disk 1 as floppy drive A:, starts
# A:\SETUP.EXE (the shipped launcher) with no
# arguments under Wine told that it runs on Windows 95, as a person
# double-clicking it would; it starts the Windows 95 build from a temporary
# copy. The script runs a whole local installation (dialog, both disk
# prompts, disk 2's image put in at the second) and then a maintenance update
# from C:\UPD, taking screenshots on the way. Then prints what was installed
# and the Program Manager group that resulted. Last it adds a file of the
# person's own and changes a lookup table in C:\TSW30, removes Tessaryn with
# the removal program the installation put there (as Add/Remove Programs
# starts it), and prints what remains.
#
# Usage: tools/demo.sh             on a private Xvfb
#        tools/demo.sh --visible   on your own $DISPLAY, to watch it
# Exit code: 0 when the installation, the update and the removal ran as
# expected, every installed file is the release's and only the person's two
# files (and the removal program, until the next start) remain; 1 otherwise;
# 2 for an unknown argument.
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
case $# in 0) ;; 1) [ "$1" = --visible ] || { echo "usage: $0 [--visible]" >&2; exit 2; } ;;
    *) echo "usage: $0 [--visible]" >&2; exit 2 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
export TSINST_BUILD="$root/build"

"$root/tools/ensure_packages.sh"
"$root/tools/build_all.sh"
cmake --build "$root/build/x86_64" --target scripted_install >/dev/null

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/shots"
python3 "$root/tools/make_sample_release.py" "$demo/release"
# Disk 1 carries the shipped PE32 installer, as the release's does.
python3 "$root/tools/make_disk_set.py" -q --images --installer "$root/build/i686" "$demo/release" "$demo/disks"
python3 "$root/tools/make_sample_release.py" "$demo/release2" --version 2
python3 "$root/tools/make_disk_set.py" -q --update "$demo/release2/PROGRAM1" "$demo/update"

echo "== Floppy images =="
for image in "$demo/disks"/disk1.img "$demo/disks"/disk2.img; do
    printf '  %s  %d bytes  label "%s"\n' "$image" "$(stat -c %s "$image")" \
        "$(MTOOLSRC=/dev/null mlabel -s -i "$image" :: | sed 's/^ *Volume label is //')"
done
echo "  mdir -i $demo/disks/disk1.img ::/ and ::/SETUP:"
MTOOLSRC=/dev/null mdir -b -i "$demo/disks/disk1.img" ::/ | sed 's/^/    /'
MTOOLSRC=/dev/null mdir -b -i "$demo/disks/disk1.img" ::/SETUP | sed 's/^/    /'
echo

source "$root/tools/wine-env.sh"
[ "${1:-}" = "--visible" ] || export TSINST_FORCE_XVFB=1
# Each image mounted read-only at a folder of its own; the installer is
# started from disk 1, which stays mounted until the end like a disk the
# running program came from.
start_private_display
trap 'stop_wine; stop_private_display; unmount_below "$demo/mnt"' EXIT
for disk in 1 2; do
    mkdir -p "$demo/mnt/disk$disk"
    mount_floppy_image "$demo/disks/disk$disk.img" "$demo/mnt/disk$disk" >"$demo/mnt/disk$disk.log" 2>&1 ||
        { cat "$demo/mnt/disk$disk.log" >&2; exit 1; }
done
wine_ensure_prefix
why=$(wine_pe32_unavailable)
[ -z "$why" ] || { echo "the shipped installer cannot start here: $why" >&2; exit 1; }

drive_c="$WINEPREFIX/drive_c"
rm -rf "$drive_c/TSW30" "$drive_c/UPD"
cp -r "$demo/update" "$drive_c/UPD"
programs=$(find "$drive_c/users" -type d -path '*Start Menu/Programs' 2>/dev/null | head -n 1)
[ -n "$programs" ] && rm -rf "$programs/Tessaryn 3.0"
mkdir -p "$demo/floppy"
wine_map_drive a "$demo/floppy"

# Wine reports Windows 95 to SETUP.EXE (and to tsinst95.exe, tools/wine-env.sh).
"$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\setup.exe' /v Version /d win95 /f >/dev/null 2>&1
"$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\tswremov.exe' /v Version /d win95 /f >/dev/null 2>&1
find "$drive_c/windows" -maxdepth 1 -iname wininit.ini -delete

echo "== Running A:\SETUP.EXE on disk1.img (the shipped PE32 launcher), as Windows 95 =="
status=0
wine_fixed_layout "$WINELOADER" "$root/build/x86_64/tests/demo/scripted_install.exe" \
    'A:\SETUP.EXE' "$demo/mnt/disk1" "$demo/mnt/disk2" \
    'C:\TSW30' 'C:\UPD' "$demo/shots" || status=$?

echo
echo "== Installed into C:\\TSW30 =="
(cd "$drive_c/TSW30" && find . -type f | sort | sed 's|^\./||' | while read -r f; do
    printf '%8d  %s\n' "$(stat -c %s "$f")" "$f"; done)
echo
echo "== Compared with the release (update files from release2) =="
mismatch=0
while IFS=$'\t' read -r dir list disk subdir; do
    [ -d "$demo/release/$dir" ] || continue
    for f in "$demo/release/$dir"/*; do
        name=$(basename "$f")
        dest="$drive_c/TSW30${subdir:+/$subdir}/$name"
        want="$f"
        [ "$dir" = PROGRAM1 ] && want="$demo/release2/PROGRAM1/$name"
        cmp -s "$want" "$dest" || { echo "  differs or missing: $dest"; mismatch=1; }
    done
done < <(python3 "$root/tools/make_disk_set.py" --components)
[ $mismatch -eq 0 ] && echo "  every installed file is byte-identical"
echo
echo "== Program Manager group =="
programs=$(find "$drive_c/users" -type d -path '*Start Menu/Programs' 2>/dev/null | head -n 1)
if [ -n "$programs" ] && [ -d "$programs/Tessaryn 3.0" ]; then
    ls -1 "$programs/Tessaryn 3.0" | sed 's/^/  /'
    # The installer sends a "Revisions" item (Notepad with tsw.txt) as well;
    # Wine's Program Manager makes no shortcut for an item whose command line
    # carries an argument, where Windows' Program Manager and shell do.
    [ -e "$programs/Tessaryn 3.0/Revisions.lnk" ] ||
        echo "  (no \"Revisions\" item: Wine's Program Manager skips an item whose command line has an argument, here notepad.exe C:\\TSW30\\tsw.txt)"
else
    echo "  (no group folder found)"
fi
[ -f "$drive_c/TSW30/TSW_FILE.CHK" ] && echo && echo "Marker TSW_FILE.CHK: $(stat -c %s "$drive_c/TSW30/TSW_FILE.CHK") bytes"
echo
echo "== Removing Tessaryn 3.0 with C:\TSW30\TSWREMOV.EXE (as Add/Remove Programs starts it), as Windows 95 =="
removal=0
wine_fixed_layout "$WINELOADER" "$root/build/x86_64/tests/demo/scripted_install.exe" --remove 'C:\TSW30' "$demo/shots" || removal=1
echo
echo "== What remains in C:\TSW30 =="
remains=$(cd "$drive_c/TSW30" 2>/dev/null && find . -type f | sort | sed 's|^\./||')
sed 's/^/  /' <<<"$remains"
[ "$remains" = $'LOOKUP/FEEDER.TBL\nMYNOTES.TXT\nTSWREMOV.EXE' ] || { echo "  (expected only LOOKUP/FEEDER.TBL, MYNOTES.TXT and TSWREMOV.EXE)"; removal=1; }
echo "  WININIT.INI, which deletes TSWREMOV.EXE when Windows next starts:"
wininit=$(find "$drive_c/windows" -maxdepth 1 -iname wininit.ini | head -n 1)
if [ -n "$wininit" ]; then sed 's/^/    /' "$wininit"; else echo "    (none)"; removal=1; fi
if [ -n "$programs" ] && [ -d "$programs/Tessaryn 3.0" ]; then echo "  the group Tessaryn 3.0 is STILL THERE"; removal=1
else echo "  the group Tessaryn 3.0 is gone"; fi
if "$WINELOADER" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaryn 3.0' /reg:32 \
       >/dev/null 2>&1; then
    echo "  the Add/Remove Programs entry is STILL THERE"; removal=1
else echo "  the Add/Remove Programs entry is gone"; fi
echo
echo "== Screenshots =="
for bmp in "$demo/shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    echo "  ${bmp%.bmp}.png"
done
exit $((status | mismatch | removal))
