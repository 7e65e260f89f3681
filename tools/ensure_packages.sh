#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing, and
# lets this machine start 32-bit Windows programs (the shipped PE32
# executables): Debian's 32-bit Wine (wine32:i386, a multiarch package) beside
# wine64, and, where the kernel cannot execute i386 code itself, qemu-user
# registered in binfmt_misc to execute it. Quiet when everything is there.
#
# Usage: tools/ensure_packages.sh
# Exit code: 0 when the packages are there (also where 32-bit programs still
# cannot start: that is reported, and their tests skip); apt's code otherwise.
case ${1:-} in -h|--help) sed -n '2,/^[^#]/s/^# \?//p' "$0"; exit 0 ;; esac
set -euo pipefail
[ $# -eq 0 ] || { echo "usage: $0 (no arguments; --help)" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
source /etc/os-release
codename=${VERSION_CODENAME:-bookworm}
# qemu-user 7.2 (Debian 12's own) starts the 32-bit loader, but Wine cannot
# map its shared user data there; 10 runs it.
qemu_major_needed=10

lists_fresh=""
lists_partial=""
# A mirror part-way through a sync fails one index (apt-get update then exits
# 100) while the others are whole: one more try, then the install goes on with
# the lists there are.
refresh_lists() {
    lists_partial=""
    $SUDO apt-get update -qq || { sleep 10; $SUDO apt-get update -qq; } || {
        echo "apt-get update failed for an index: installing from the lists there are" >&2
        lists_partial=1
    }
    lists_fresh=1
}
# With the security suite's i386 list missing, its amd64 list still offers
# newer versions of libraries that must match their i386 twins exactly (the
# multiarch rule), and apt finds no solution: the install is tried again with
# the security suite below the release, so both architectures take the
# release's versions.
security_pin=$(mktemp)
trap 'rm -f "$security_pin"' EXIT
printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$security_pin"
apt_install() {
    [ -n "$lists_fresh" ] || refresh_lists
    local code=0
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null || code=$?
    [ $code -ne 0 ] && [ -n "$lists_partial" ] || return $code
    echo "trying again with the release's versions in both architectures" >&2
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        -o Dir::Etc::Preferences="$security_pin" "$@" >/dev/null
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "adding the i386 architecture to dpkg (for the 32-bit Wine)"
    $SUDO dpkg --add-architecture i386
fi

# fonts-wine is only recommended by wine, and recommendations are left out: it
# holds Marlett, the font Wine draws the title bar's buttons with. xdotool
# presses keys on a private display (tools/wine-setup.sh keys). The floppy
# images: mtools writes them, dosfstools' fsck.fat checks them, and the
# project's FUSE reader (libfuse3-dev, pkg-config) shows them to Wine.
needed=(cmake make ninja-build python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb mscompress
        fonts-wine imagemagick x11-utils file googletest clang libclang-rt-14-dev mtools dosfstools fuse3
        libfuse3-dev pkg-config ccache locales xdotool)
missing=()
for package in "${needed[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    apt_install "${missing[@]}"
fi

# The Japanese-locale tests: Wine takes its ANSI code page (932) from the
# locale, and names its files only in a locale this machine has.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
    echo "generating the ja_JP.UTF-8 locale (for the tests in code page 932)"
    $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

source "$here/wine-env.sh"
wine32_runs() { "$WINELOADER32" --version >/dev/null 2>&1; }
wine32_runs && exit 0

# The kernel does not execute i386 programs: qemu-user does, once registered.
qemu_major() {
    dpkg-query -W -f='${Version}' qemu-user 2>/dev/null | sed -E 's/^[0-9]+://; s/[^0-9].*//'
}
# The machine's own Debian sources for this release, with the backports suite
# in place of the release's: the same mirror and keyring.
add_backports_suite() {
    local list=/etc/apt/sources.list.d/$codename-backports.sources
    grep -rqs "$codename-backports" /etc/apt/sources.list /etc/apt/sources.list.d/ && return 0
    echo "adding the $codename-backports suite of this machine's Debian sources (for qemu-user $qemu_major_needed)"
    if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
        awk -v release="$codename" 'BEGIN { RS = ""; ORS = "\n\n" }
            $0 ~ "\nSuites:([^\n]* )?" release "( |\n|$)" && !done {
                gsub(/\nSuites:[^\n]*/, "\nSuites: " release "-backports"); print; done = 1 }' \
            /etc/apt/sources.list.d/*.sources | $SUDO tee "$list" >/dev/null
    fi
    if [ ! -s "$list" ]; then
        rm -f "$list"
        list=/etc/apt/sources.list.d/$codename-backports.list
        grep -hE "^deb( \[[^]]*\])? [^ ]+ $codename " /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
            head -n 1 | sed -E "s/ $codename / $codename-backports /" | $SUDO tee "$list" >/dev/null
    fi
    [ -s "$list" ] || { echo "no Debian source for $codename found to add backports to" >&2; return 1; }
    lists_fresh=""
}
if [ "$(qemu_major || true)" -lt "$qemu_major_needed" ] 2>/dev/null || ! installed qemu-user; then
    refresh_lists
    candidate=$(apt-cache policy qemu-user | awk '/Candidate:/ { print $2 }' | sed -E 's/^[0-9]+://; s/[^0-9].*//')
    if [ "${candidate:-0}" -lt "$qemu_major_needed" ]; then
        add_backports_suite
        echo "installing: qemu-user from $codename-backports"
        apt_install -t "$codename-backports" qemu-user
    else
        echo "installing: qemu-user"
        apt_install qemu-user
    fi
fi

binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
    $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" ||
        { echo "cannot mount binfmt_misc: 32-bit programs will not start, their tests skip" >&2; exit 0; }
fi
# An older registration (another qemu's interpreter) is replaced.
[ -e "$binfmt/qemu-i386" ] && echo -1 | $SUDO tee "$binfmt/qemu-i386" >/dev/null
echo "registering qemu-i386 in binfmt_misc (this kernel does not execute i386 programs)"
$SUDO tee "$binfmt/register" </usr/share/qemu/binfmt.d/qemu-i386.conf >/dev/null ||
    { echo "cannot register qemu-i386: 32-bit programs will not start, their tests skip" >&2; exit 0; }
wine32_runs || echo "the 32-bit Wine loader still does not start: the tests of the shipped executables skip" >&2
