#!/usr/bin/env bash
# Sourced by the build, test and demo scripts: the project's own Wine set-up.
# One Wine serves both widths, as 64-bit Windows does: programs are started
# with the 64-bit loader, and a PE32 program it starts (the shipped i686
# installer) runs under the 32-bit loader beside it, in the same prefix and
# with the same server. tools/ensure_packages.sh makes this machine able to.
#
# Usage: source tools/wine-env.sh   (defines the functions below; runs nothing)
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
    echo "usage: source $0" >&2; exit 2
fi
: "${TSINST_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
export WINEPREFIX="${WINEPREFIX:-$TSINST_BUILD/wineprefix}"
export WINELOADER="${WINELOADER:-/usr/lib/wine/wine64}"
export WINESERVER="${WINESERVER:-/usr/lib/wine/wineserver64}"
WINELOADER32="${WINELOADER32:-${WINELOADER%64}}"
export WINEDEBUG="${WINEDEBUG:--all}"
# winemenubuilder would copy every Program Manager shortcut into the host's menus
# and linger until the desktop ends.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEARCH=win64

# Runs a command, and every Wine process it starts, with the kernel's address
# randomization off (a personality flag that children inherit). Debian's Wine
# 8 has no preloader to hold the fixed addresses a Windows process needs
# before anything else is placed, and the kernel puts the 64-bit loader's heap
# anywhere in the gigabyte above the loader (0x7d000000): about one start in
# 5,000 finds its heap over the shared user data page at 0x7ffe0000, ends at
# once ("failed to map the shared user data"), and the CreateProcess that
# started it fails with ERROR_INTERNAL_ERROR. Without randomization the heap
# always begins right after the loader.
#   wine_fixed_layout "$WINELOADER" PROGRAM [ARGUMENT...]
wine_fixed_layout() {
    setarch "$(uname -m)" --addr-no-randomize "$@"
}

# Makes the prefix WINEPREFIX names once: a copy of a booted prefix (below),
# or, for a folder that holds a prefix already (a set-up cut short, a prefix
# of one's own), set up in place. Its window management is off (Xvfb has
# none) and A: is declared a floppy drive, so that GetDriveTypeA answers
# removable. Wine's mount manager takes the drive letters and their types
# from the prefix when its services start and does not see a letter linked
# later (it then passes for a fixed disk): A: is always linked, to an empty
# folder when there is no disk, and tests only re-point it.
wine_ensure_prefix() {
    wine_discard_without_pe32
    if [ ! -L "$WINEPREFIX/dosdevices/a:" ] && [ -d "$WINEPREFIX/dosdevices" ]; then
        wine_map_drive a "$WINEPREFIX/no-disk"
    fi
    if [ -f "$WINEPREFIX/.tsinst-ready" ]; then wine_install_fonts; wine_tell_versions; return 0; fi
    [ -f "$WINEPREFIX/system.reg" ] && { wine_set_up_here; return; }
    wine_copy_template || return 1
    wine_map_drive a "$WINEPREFIX/no-disk"
    touch "$WINEPREFIX/.tsinst-ready"
}

# Every new prefix (the project's, each test lane's, the benchmark's, those
# of other clones) starts as a copy of one that nothing runs in, booted once
# per machine and kept in the user's cache beside ccache's: wineboot runs the
# 32-bit half of Wine too, under qemu-user where the kernel runs no i386 code,
# for most of a minute on a busy machine; a copy takes seconds. Its name
# carries a digest of Wine's version and of the set-up that made it: a new
# Wine or a changed set-up boots a new one, and the old one goes. Whoever
# comes first boots it; copies share the lock, a boot holds it alone.
wine_copy_template() {
    local templates="${XDG_CACHE_HOME:-$HOME/.cache}/tsinst-wine" to="$WINEPREFIX" key
    key=$({ "$WINELOADER" --version; declare -f wine_set_up_here wine_install_fonts wine_tell_versions; } | md5sum)
    mkdir -p "$templates" || return 1
    (
        flock 9 || exit 1
        WINEPREFIX="$templates/prefix-${key:0:12}"
        wine_discard_without_pe32
        if [ ! -f "$WINEPREFIX/.tsinst-ready" ]; then
            find "$templates" -mindepth 1 -maxdepth 1 -name 'prefix-*' ! -path "$WINEPREFIX" -exec rm -rf {} +
            wine_set_up_here || exit 1
        fi
        flock -s 9 && wine_copy_prefix "$WINEPREFIX" "$to"
    ) 9>"$templates/lock"
}

# Boots the prefix where it is and sets it up; marks it ready once its server
# has ended, so that its registry is on disk for a copy.
wine_set_up_here() {
    mkdir -p "$WINEPREFIX"
    "$WINELOADER" wineboot -u >/dev/null 2>&1 || return 1
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$WINELOADER" reg add 'HKLM\Software\Wine\Drives' /v 'a:' /d floppy /f >/dev/null 2>&1
    wine_map_drive a "$WINEPREFIX/no-disk"
    # A crashing program must end, not wait on a debugger dialog nobody answers.
    "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine_install_fonts
    wine_tell_versions || return 1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.tsinst-ready"
}

# The system folders' libraries are linked where both are on one file system,
# not copied: nothing writes to them in place (Wine's registry and what a
# program installs are written anew). The server's own name for the prefix
# (its file "wineserver") is its own. The registry comes last: a folder with
# one is taken for a prefix.
wine_copy_prefix() {
    local from="$1" to="$2" item
    mkdir -p "$to/drive_c/windows" || return 1
    for item in "$from"/drive_c/windows/* "$from"/drive_c/windows/.[!.]*; do
        [ -e "$item" ] || continue
        case "${item##*/}" in
        system32 | syswow64 | winsxs) cp -alf "$item" "$to/drive_c/windows/" 2>/dev/null ||
                                      cp -af "$item" "$to/drive_c/windows/" ;;
        *) cp -af "$item" "$to/drive_c/windows/" ;;
        esac || return 1
    done
    (cd "$from/drive_c" && find . -mindepth 1 -maxdepth 1 ! -name windows -exec cp -af -t "$to/drive_c/" {} +) &&
        (cd "$from" && find . -mindepth 1 -maxdepth 1 ! -name drive_c ! -name '*.reg' ! -name .tsinst-ready \
                             ! -name wineserver -exec cp -af -t "$to/" {} +) &&
        cp -af "$from"/*.reg "$to/"
}

# A prefix made while the 32-bit Wine was missing has no 32-bit system folder
# and cannot run PE32 programs: it is made anew once this machine can.
wine_discard_without_pe32() {
    if [ -f "$WINEPREFIX/.tsinst-ready" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] &&
       [ -z "$(wine_pe32_unavailable)" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
}

# Each build of the installer is told its own system: Wine reports Windows 95
# to tsinst95.exe and NT 4.0 to tsinstnt.exe (its per-program AppDefaults),
# and Windows 95 to the in-process tests of the Windows 95 build. Also done
# once for a prefix made before.
wine_tell_versions() {
    [ -f "$WINEPREFIX/.tsinst-versions-2" ] && return 0
    local exe version
    for exe in tsinst95.exe:win95 tsinstnt.exe:nt40 window_tests_95.exe:win95; do
        version=${exe#*:}
        "$WINELOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\${exe%%:*}" /v Version /d "$version" /f \
            >/dev/null 2>&1 || return 1
    done
    touch "$WINEPREFIX/.tsinst-versions-2"
}

# Wine's own fonts (Debian's fonts-wine) into the prefix's Fonts folder, where
# they are missing: Wine 8 as Debian ships it loads that folder and the
# system's fontconfig fonts, but not its own font folder, and without its
# Marlett a title bar's buttons are drawn as letters.
wine_install_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -d "${WINE_FONTS_FROM:=/usr/share/wine/fonts}" ] && [ -d "$fonts" ] || return 0
    [ -f "$fonts/marlett.ttf" ] || cp -n "$WINE_FONTS_FROM"/* "$fonts/"
}

# Why this machine cannot start PE32 programs, or nothing when it can.
wine_pe32_unavailable() {
    local why
    [ -x "$WINELOADER32" ] || { echo "no 32-bit Wine loader at $WINELOADER32 (Debian's wine32:i386)"; return; }
    why=$("$WINELOADER32" --version 2>&1 >/dev/null) ||
        echo "the 32-bit Wine loader does not start (${why:-no reason given}): this kernel executes no i386 code and no emulator is registered in binfmt_misc"
}

# Points a drive letter (lower case, e.g. "a") at a folder of this machine.
wine_map_drive() {
    local letter="$1" folder="$2"
    mkdir -p "$WINEPREFIX/dosdevices"
    ln -sfn "$folder" "$WINEPREFIX/dosdevices/$letter:"
}

# Starts a private Xvfb unless a display is already set; sets XVFB_PID when it started one.
# Xvfb takes the first free display number itself (-displayfd), so that runs
# started at the same moment do not pick the same one.
start_private_display() {
    XVFB_PID=""
    if [ -n "${DISPLAY:-}" ] && [ -z "${TSINST_FORCE_XVFB:-}" ]; then return 0; fi
    local answer number=""
    answer=$(mktemp "${TMPDIR:-/tmp}/xvfb-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$answer" </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do
        number=$(cat "$answer")
        [ -n "$number" ] || ! kill -0 "$XVFB_PID" 2>/dev/null && break
        sleep 0.1
    done
    rm -f "$answer"
    if [ -z "$number" ]; then
        echo "Xvfb did not start" >&2
        stop_private_display
        return 1
    fi
    export DISPLAY=":$number"
}

# Stops the Xvfb that start_private_display started (only that one).
stop_private_display() {
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}

# A test lane (tests/test_data.sh) runs on a display and a Wine server of its
# own from its set-up to its clean-up: the display and its Xvfb's process are
# kept in the lane's prefix, where tools/wine-run.sh finds the display.
start_lane_services() {
    stop_lane_services
    TSINST_FORCE_XVFB=1 start_private_display || return 1
    echo "$DISPLAY" >"$WINEPREFIX/.tsinst-display"
    echo "$XVFB_PID" >"$WINEPREFIX/.tsinst-xvfb"
    start_wine_server
}

stop_lane_services() {
    local pid
    "$WINESERVER" -k >/dev/null 2>&1 || true
    pid=$(cat "$WINEPREFIX/.tsinst-xvfb" 2>/dev/null) || pid=""
    # Only the Xvfb the lane started: a process id left from an earlier boot
    # may name another program now.
    if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then kill "$pid" 2>/dev/null || true; fi
    rm -f "$WINEPREFIX/.tsinst-display" "$WINEPREFIX/.tsinst-xvfb"
}

# Keeps the prefix's server up until stop_wine: without it the server ends
# shortly after each program, and a program started while it shuts down dies
# with "wine client error: recvmsg: Connection reset by peer".
start_wine_server() {
    "$WINESERVER" -p >/dev/null 2>&1 || true
}

# Shows a floppy image read-only at a folder, as the disk in a drive: the
# project's own FAT reader (tools/native/floppy_mount.cpp), which gives each
# file the date of its directory entry. unmount_floppy_image (or
# unmount_below) undoes it, lazily while a program still has a file open.
mount_floppy_image() {
    "$TSINST_BUILD/native/floppy_mount" "$1" "$2"
}

unmount_floppy_image() {
    fusermount -u "$1" 2>/dev/null || fusermount -u -z "$1"
}

# Undoes every mount below a folder, deepest first: floppy images (FUSE) with
# fusermount, the rest with umount; lazily when a mount is still busy.
unmount_below() {
    local under="$1" mounted type
    [ -d "$under" ] || return 0
    awk -v under="$under/" 'index($2, under) == 1 { print $2, $3 }' /proc/mounts | sort -r |
    while read -r mounted type; do
        case "$type" in
        fuse*) unmount_floppy_image "$mounted" ;;
        *) umount "$mounted" 2>/dev/null || umount -l "$mounted" ;;
        esac
    done
}

# Ends every Wine program of the prefix: only for the end of a whole run.
stop_wine() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
}
