#!/usr/bin/env bash
# Runs the release's A:\SETUP.EXE by hand under Wine, as a person runs it
# from the floppies, in the project's Wine prefix (tools/wine-env.sh: Wine's
# fonts, windows that Wine does not frame itself, A: a floppy drive;
# WINEPREFIX chooses another prefix, TSINST_BUILD another folder than build/
# for this script's notes, mounts and screenshots).
#
# Usage: tools/wine-setup.sh insert IMAGE|FOLDER   put a floppy image (mounted
#                                  read-only) or a disk folder into drive A:
#                                  (the installer writes INSTALL.OPT into a
#                                  folder, as into a disk that is not
#                                  write-protected)
#        tools/wine-setup.sh eject  drive A: empty; the images put in are unmounted
#        tools/wine-setup.sh map LETTER FOLDER  drive LETTER: (not A:) is
#                                  the folder, as a mapped network drive
#        tools/wine-setup.sh version 95|nt40|nt351
#                                  the Windows that SETUP.EXE, the installer
#                                  it starts and TSWREMOV.EXE are told they
#                                  run on (default 95)
#        tools/wine-setup.sh run [--private] [PROGRAM] [ARG...]
#                                  starts A:\SETUP.EXE (or PROGRAM, a path
#                                  such as 'T:\SETUP.EXE') with the arguments
#                                  (/A 'C:\POINT', /Q) on your $DISPLAY and
#                                  waits for its end; with --private on a
#                                  private Xvfb of its own, and returns
#        tools/wine-setup.sh remove [--private]
#                                  starts the removal as Add/Remove Programs
#                                  does (Wine's uninstaller runs the entry
#                                  "Tessaryn 3.0"'s UninstallString) on your
#                                  $DISPLAY and waits for its end; with
#                                  --private on the private display (that of
#                                  a run --private, or one of its own), and
#                                  returns
#        tools/wine-setup.sh keys KEY...   (--private) presses keys in the
#                                  window Wine shows as active (xdotool's
#                                  names: alt+i, l, Return, Tab, shift+Tab,
#                                  space, alt+F4), then takes a screenshot
#        tools/wine-setup.sh type TEXT     (--private) types the text into the
#                                  active window's field that has the focus
#                                  (a folder: 'C:\APPS\TSW'), then a screenshot
#        tools/wine-setup.sh shot   (--private) a screenshot of the display now,
#                                  naming the active window
#        tools/wine-setup.sh stop   ends the Wine programs and the private display,
#                                  saying how A:\SETUP.EXE of run --private ended,
#                                  and unmounts the images put in
# Screenshots are PNG files in build/wine-setup/shots/.
# Exit code: 0 when done (run: SETUP.EXE's own code); 1 when it failed; 2
# for bad arguments (also an insert of a missing file or of one that is no
# floppy image: a FIFO or a device is never opened).
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TSINST_BUILD="${TSINST_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
state="$TSINST_BUILD/wine-setup"
mkdir -p "$state/mnt" "$state/shots"
usage() {
    echo "usage: $0 insert IMAGE|FOLDER | eject | map LETTER FOLDER | version 95|nt40|nt351 |" \
         "run [--private] [PROGRAM] [ARG...] | remove [--private] | keys KEY... | type TEXT | shot | stop" >&2
    exit 2
}
fail() { echo "wine-setup: $*" >&2; exit 1; }

# Whether the process is still the Xvfb of that display: its command line,
# and the display's socket among its open files. Once a process has ended,
# its number may name another program.
is_private_xvfb() {
    local display="$1" pid="$2" inode
    case "$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" in Xvfb\ -displayfd\ *) ;; *) return 1 ;; esac
    for inode in $(awk -v path="/tmp/.X11-unix/X${display#:}" '$8 == path || $8 == "@" path { print $7 }' \
                   /proc/net/unix); do
        [ -n "$(find "/proc/$pid/fd" -lname "socket:\[$inode\]" 2>/dev/null)" ] && return 0
    done
    return 1
}

# The private display of a run --private, while its Xvfb lives.
private_display() {
    local display pid
    [ -f "$state/private" ] && read -r display pid <"$state/private" && is_private_xvfb "$display" "$pid" &&
        echo "$display"
}

# The window Wine shows as active on the display: "<X window id><TAB><title>".
active_window() {
    DISPLAY="$1" "$WINELOADER" "$root/build/x86_64/tools/active_window.exe" 2>/dev/null | tr -d '\r'
}

shot() {
    local display file active
    display=$(private_display) || fail "no private display: start one with run --private"
    file="$state/shots/$(date +%H%M%S).png"
    import -display "$display" -window root "$file" || fail "no screenshot"
    if active=$(active_window "$display"); then active="\"${active#*$'\t'}\""; else active=none; fi
    echo "screenshot: $file (active window: $active)"
}

# Runs an xdotool command (key, type) in the window Wine shows as active.
# X's focus may lie elsewhere (the help viewer is made active by another
# process than the one X's focus is on, and a window closed takes X's focus
# with it): it is given to that window first.
to_active_window() {
    local display window
    display=$(private_display) || fail "no private display: start one with run --private"
    command -v xdotool >/dev/null || fail "xdotool is missing (apt-get install xdotool)"
    [ -f "$root/build/x86_64/tools/active_window.exe" ] || fail "no active_window.exe: tools/build_all.sh builds it"
    if window=$(active_window "$display"); then
        DISPLAY=$display timeout 5 xdotool windowfocus --sync "${window%%$'\t'*}" || true
    fi
    DISPLAY=$display xdotool "$@"
}

insert() {
    local disk="$1" folder identity
    [ -e "$disk" ] || { echo "wine-setup: $disk: no such image or folder" >&2; exit 2; }
    # mtools reads the FAT of an image; the largest floppy holds 2.88 MB. A
    # FIFO or a device is not opened: reading one may wait for ever.
    if [ ! -d "$disk" ] && { [ ! -f "$disk" ] || [ "$(stat -L -c %s "$disk")" -gt 2949120 ] ||
                             ! MTOOLSRC=/dev/null minfo -i "$disk" :: >/dev/null 2>&1; }; then
        echo "wine-setup: $disk is no floppy image (a FAT image of at most 2.88 MB) nor a folder" >&2
        exit 2
    fi
    disk=$(cd "$(dirname "$disk")" && pwd)/$(basename "$disk")
    if [ -d "$disk" ]; then
        folder=$disk
    else
        # Each image at a folder of its own, mounted once: a program started
        # from one disk keeps running from it while another is in the drive.
        folder="$state/mnt/$(basename "$disk" .img)-$(sha1sum <<<"$disk" | cut -c1-8)"
        # The reader holds the image as it was when mounted: one rebuilt at
        # the same path since (another inode, size or time) is mounted afresh.
        identity=$(stat -L -c '%d:%i %s %y' "$disk")
        if mountpoint -q "$folder" && [ "$(cat "$folder.image" 2>/dev/null)" != "$identity" ]; then
            unmount_floppy_image "$folder"
        fi
        if ! mountpoint -q "$folder"; then
            mkdir -p "$folder"
            mount_floppy_image "$disk" "$folder" 2>"$folder.log" ||
                fail "cannot mount $disk ($(cat "$folder.log")); copy it out and insert the folder instead:" \
                     "mcopy -s -m -i $disk '::*' FOLDER"
            echo "$identity" >"$folder.image"
        fi
    fi
    wine_ensure_prefix || fail "the Wine prefix cannot be set up"
    wine_map_drive a "$folder"
    echo "drive A: holds $disk"
}

eject() {
    wine_map_drive a "$WINEPREFIX/no-disk"
    mkdir -p "$WINEPREFIX/no-disk"
    unmount_below "$state/mnt"
    echo "drive A: is empty"
}

# Wine answers each program with the version its AppDefaults name: SETUP.EXE
# and the build it starts for that system.
version() {
    local setup installer
    case "${1:-}" in
        95) setup=win95 installer=tsinst95.exe ;;
        nt40) setup=nt40 installer=tsinstnt.exe ;;
        nt351) setup=nt351 installer=tsinstnt.exe ;;
        *) usage ;;
    esac
    wine_ensure_prefix || fail "the Wine prefix cannot be set up"
    for exe in setup.exe "$installer" tswremov.exe; do
        "$WINELOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d "$setup" /f >/dev/null 2>&1 ||
            fail "cannot set the Windows version of $exe"
    done
    echo "SETUP.EXE, $installer and TSWREMOV.EXE run as Windows $1"
}

# A drive letter other than A: for a folder, as NET USE maps a share.
map() {
    local letter
    letter=$(tr 'A-Z' 'a-z' <<<"${1%:}")
    case "$letter" in [b-z]) ;; *) usage ;; esac
    [ -d "$2" ] || { echo "wine-setup: $2: no such folder" >&2; exit 2; }
    wine_ensure_prefix || fail "the Wine prefix cannot be set up"
    wine_map_drive "$letter" "$(cd "$2" && pwd)"
    echo "drive ${letter^^}: is $(cd "$2" && pwd)"
}

# The folder of this machine that a Windows path of the prefix names.
unix_path() {
    local drive=${1%%:*} rest=${1#?:}
    printf '%s' "$WINEPREFIX/dosdevices/${drive,,}:$(tr '\\' / <<<"$rest")"
}

run() {
    local why private="" program='A:\SETUP.EXE'
    why=$(wine_pe32_unavailable)
    [ -z "$why" ] || fail "SETUP.EXE cannot start here: $why (tools/ensure_packages.sh)"
    [ "${1:-}" = --private ] && { private=1; shift; }
    case "${1:-}" in [A-Za-z]:\\*.[Ee][Xx][Ee]) program=$1; shift ;; esac
    if [ ! -f "$(unix_path "$program")" ]; then
        [ "$program" = 'A:\SETUP.EXE' ] && fail "no SETUP.EXE in drive A: (insert disk 1 first)"
        fail "no $program"
    fi
    if [ -z "$private" ]; then
        [ -n "${DISPLAY:-}" ] || fail "no \$DISPLAY: use run --private"
        wine_ensure_prefix || fail "the Wine prefix cannot be set up"
        wine_fixed_layout "$WINELOADER" "$program" "$@"
        return
    fi
    private_display >/dev/null && fail "a private run is going on: $0 stop ends it"
    export TSINST_FORCE_XVFB=1
    start_private_display || fail "no private display"
    echo "$DISPLAY $XVFB_PID" >"$state/private"
    wine_ensure_prefix || fail "the Wine prefix cannot be set up"
    rm -f "$state/setup.exit"
    printf '%s\n' "$program" >"$state/setup.program"
    wine_fixed_layout setsid bash -c '"$1" "${@:3}"; echo $? >"$2"' run "$WINELOADER" "$state/setup.exit" "$program" "$@" \
        >"$state/setup.log" 2>&1 </dev/null &
    echo "$program started on the private display $DISPLAY (output in $state/setup.log)"
    # The 32-bit programs may run emulated: the window can take a while.
    sleep 10
    shot
}

# Wine's uninstaller starts an entry's UninstallString as Add/Remove Programs
# does, and waits for it.
remove() {
    local display entry='Tessaryn 3.0'
    wine_ensure_prefix || fail "the Wine prefix cannot be set up"
    "$WINELOADER" uninstaller --list 2>/dev/null | tr -d '\r' | grep -qF "|||$entry" ||
        fail "no Add/Remove Programs entry \"$entry\" (on NT 3.51 the group's item \"Remove $entry\" starts the removal)"
    if [ "${1:-}" != --private ]; then
        [ -z "${1:-}" ] || usage
        [ -n "${DISPLAY:-}" ] || fail "no \$DISPLAY: use remove --private"
        wine_fixed_layout "$WINELOADER" uninstaller --remove "$entry"
        return
    fi
    # The display of a run --private, or one of its own.
    if ! display=$(private_display); then
        export TSINST_FORCE_XVFB=1
        start_private_display || fail "no private display"
        echo "$DISPLAY $XVFB_PID" >"$state/private"
        display=$DISPLAY
    fi
    DISPLAY=$display wine_fixed_layout setsid "$WINELOADER" uninstaller --remove "$entry" >"$state/remove.log" 2>&1 </dev/null &
    echo "the removal started on the private display $display (output in $state/remove.log)"
    sleep 10
    shot
}

stop() {
    local display="" pid=""
    [ -f "$state/setup.exit" ] &&
        echo "$(cat "$state/setup.program" 2>/dev/null || echo 'A:\SETUP.EXE') ended with exit code $(cat "$state/setup.exit")"
    rm -f "$state/setup.exit" "$state/setup.program"
    stop_wine
    unmount_below "$state/mnt"
    if [ -f "$state/private" ]; then
        read -r display pid <"$state/private" || true
        if is_private_xvfb "$display" "$pid"; then
            kill "$pid"
            echo "Wine programs and the private display $display ended"
        else
            echo "Wine programs ended; the private display $display had ended already (note removed)"
        fi
        rm -f "$state/private"
    else
        echo "Wine programs ended"
    fi
}

[ $# -ge 1 ] || usage
command=$1
shift
case "$command" in
    insert) [ $# -eq 1 ] || usage; insert "$1" ;;
    eject) [ $# -eq 0 ] || usage; eject ;;
    version) [ $# -eq 1 ] || usage; version "$1" ;;
    map) [ $# -eq 2 ] || usage; map "$1" "$2" ;;
    run) run "$@" ;;
    remove) [ $# -le 1 ] || usage; remove "$@" ;;
    keys)
        [ $# -ge 1 ] || usage
        # One at a time: a key may bring up or close a window, and the next
        # goes to the window active then.
        for key in "$@"; do
            to_active_window key "$key"
            sleep 0.6
        done
        sleep 3
        shot ;;
    type)
        [ $# -eq 1 ] || usage
        to_active_window type --delay 100 -- "$1"
        sleep 1
        shot ;;
    shot) [ $# -eq 0 ] || usage; shot ;;
    stop) [ $# -eq 0 ] || usage; stop ;;
    *) usage ;;
esac
