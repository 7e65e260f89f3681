#!/usr/bin/env python3
"""Builds the installer's floppy disk set from a release tree.

    make_disk_set.py RELEASE OUT            -> OUT/disk1/, OUT/disk2/
    make_disk_set.py --images RELEASE OUT   -> also OUT/disk1.img, OUT/disk2.img
    make_disk_set.py --update FOLDER OUT    -> OUT/ (a maintenance-update source)
    make_disk_set.py --point RELEASE OUT    -> also OUT/point/ (an installation point)
    make_disk_set.py --components           -> FOLDER<TAB>LIST<TAB>DISK<TAB>DIRECTORY lines

A release tree holds one folder per component, each with the files exactly as
they are to be installed; COMPONENTS below names the folders and the disk,
directory and list file each one goes to (disk 1 and disk 2 hold PROGRAM1 and
PROGRAM2 in their roots, the other folders are directories of disk 2).

A folder that is missing is left out of the set (no directory, no list). An
optional file titles.txt in the release tree gives program item titles, one
"NAME<TAB>Title" per line; a ".EXE" file with a title is listed as
"NAME Title", which the installer turns into a Program Manager item.

Each list is read back by the installer's own list reader (build/native/
list_check, which tools/build_all.sh builds) before anything is compressed:
a name or title the installer would refuse (a device name such as AUX, one
of its scratch names ~TSW....TMP, a title with a double quote or a control
character) stops the build, naming the file, the list and the reason.

Every file is written compressed in the SZDD format that the platform's LZ
expansion library reads, under its installed name with the last character
replaced by "_" (TSW.EXE -> TSW.EX_). Each list file starts with the count of
entries, then one entry per line, sorted by name, with CRLF line ends.

Each disk's root (and an update set's) holds CHECKSUM.LST: one CRLF line
"CRC32 SIZE NAME" per compressed file the installer expands from it, CRC32
the eight hexadecimal digits of the CRC-32 of ZIP and zlib of the file's
bytes, SIZE their number, NAME the compressed file's path from the disk's
root (LOOKUP\\ITU.LU_). It is read back and checked against the files before
the disk is made; the installer checks each file it expands against it.

Disk 1's root (and an update set's) also holds SIZES.LST: one CRLF line
"SIZE LIST NAME" per file of the whole set, in the order the installer takes
them, SIZE the file's length, LIST the list that names it, NAME its installed
name as listed (48213 disk_1.lst TSW.EXE). The installer reads it before it
writes anything, for the room the run needs and its progress bar.

Compression uses mscompress; files shorter than 16 bytes are written as
literal-only streams here, because mscompress garbles inputs that short. Each
written file is expanded again with msexpand and compared with its source
unless --no-verify is given.

In --update mode the files of one folder become a single directory holding
disk_1.lst and the compressed files: the source for the installer's
maintenance update. Its titles come from --titles, or else from titles.txt in
the folder's parent directory (the release tree) when there is one.

--installer DIR puts the installer (tsinst95.exe, tsinstnt.exe,
install.emf, the engines tsinst95.dll and tsinstnt.dll, its help file
tsw_inst.hlp and the removal program tswremov.exe from DIR) into a SETUP
folder on
disk 1, compressed as the release's files are (SETUP/TSINST95.EX_), which
the launcher expands onto a hard disk and starts from there, and the launcher
setup.exe from DIR as SETUP.EXE into disk 1's root, the file a person starts;
they count in disk 1's space. With --update it puts the same into the update
set, which can then be started on its own: the installer's maintenance update
reads disk_1.lst from the same drive. A DIR without tsw_inst.hlp is refused
unless --no-help-file says to leave the help out.

--images also writes each disk as a 1.44 MB FAT12 floppy image (1,474,560
bytes) with mtools: OUT/disk1.img labelled "TSW30 DISK1", OUT/disk2.img
labelled "TSW30 DISK2", or OUT.img labelled "TSW30 UPD" beside an update set.
Files go onto an image in the order the installer reads them (SETUP.EXE, the
installer's SETUP folder, then each list followed by its files in list order, the
subfolders of disk 2 in the order the installer visits them), so that a floppy
is read front to back. Every image is read back with mtools and compared with
the folder it came from, its files' dates too, and checked with fsck.fat -n
(dosfstools), which must find nothing to complain of. A disk that does not
fit is refused with the number of bytes over before anything is written
(exit code 1), with or without --images.

The set depends only on the release tree (and the installer's files): each
compressed file carries its release file's date, in the disk folders and on
the images; the lists, the installer's files, the folders and the volume
label carry the newest of those dates on their disk. Dates are written as
UTC, and each image's serial number comes from the set's files: one tree
gives the same images on any machine, at any time. A floppy holds dates from
1980-01-01 to 2107-12-31: a release file dated outside them is refused, or
with --clamp-dates given the nearest date a floppy holds, with a warning.

titles.txt is read as UTF-8; a line that is not is refused with its number.

--point also writes OUT/point: an installation point, as SETUP.EXE /A makes
it from the two floppies. It holds every file and folder of both disks in
one tree, dated as on the disks, and one CHECKSUM.LST with disk 1's lines and
then disk 2's. A set whose two disks hold different files under one name
(PROGRAM1/A.TXT and PROGRAM2/A.TXX are both A.TX_) is refused: the point can
hold only one of them. Without --point a point of an earlier build is removed.
Exit code: 0 when written (warnings go to stderr); 1 when refused (also a
file that cannot be read, an OUT that is a file or cannot be made), with
nothing written; 2 for bad arguments.

Output directories (OUT/disk1 and OUT/disk2, or OUT in --update mode) are
rebuilt from scratch. An --update OUT that is neither empty nor a previous
update set (one holding disk_1.lst) is never touched.
"""

import argparse
import calendar
import concurrent.futures
import hashlib
import os
import re
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import time
import zlib

# (release folder, list file, disk, directory on the disk), in the order the
# installer takes the lists. The installer's own table is checked against this
# one by tests/tools.
COMPONENTS = [
    ("PROGRAM1", "disk_1.lst", "disk1", ""),
    ("PROGRAM2", "disk_2.lst", "disk2", ""),
    ("LOOKUP", "disk_2e.lst", "disk2", "LOOKUP"),
    ("USER_DLL", "disk_2f.lst", "disk2", "USER_DLL"),
    ("CRANE", "disk_2a.lst", "disk2", "CRANE"),
    ("CCIR", "disk_2b.lst", "disk2", "CCIR"),
    ("CANADA", "disk_2c.lst", "disk2", "CANADA"),
    ("TSDATA", "disk_2d.lst", "disk2", "TSDATA"),
]
DISKS = sorted({disk for _, _, disk, _ in COMPONENTS})
# A maintenance update is read like the first program disk.
UPDATE_LIST = COMPONENTS[0][1]
TITLES_FILE = "titles.txt"
# In the root of each disk (and of an update set): what each compressed file
# on it expands to, for the installer to check.
CHECKSUM_LIST = "CHECKSUM.LST"
# In the root of disk 1 (and of an update set): what every list of the set
# expands to, for the installer's room check and progress bar.
SIZE_LIST = "SIZES.LST"

SZDD_MAGIC = b"SZDD\x88\xf0\x27\x33"
SZDD_HEADER_SIZE = 14
# mscompress produces a corrupt stream for inputs shorter than this.
MSCOMPRESS_MIN_SIZE = 16

# The installer reads each list line into an 80-character buffer.
MAX_LINE = 78
# The installer keeps at most this many program items per run.
MAX_PROGRAM_ITEMS = 6

# A 3.5" 1.44 MB floppy (FAT12): 2847 data clusters of 512 bytes, 224 root
# directory entries, 32-byte directory entries.
FLOPPY_CLUSTER = 512
FLOPPY_DATA_BYTES = 2847 * FLOPPY_CLUSTER
FLOPPY_ROOT_ENTRIES = 224

# The floppy image: 80 cylinders, 2 heads, 18 sectors of 512 bytes.
FLOPPY_IMAGE_BYTES = 1474560
IMAGE_LABELS = {disk: "TSW30 " + disk.upper() for disk in DISKS}
UPDATE_IMAGE_LABEL = "TSW30 UPD"

# The installer's files, as SETUP.EXE finds them on disk 1.
INSTALLER_FOLDER = "SETUP"
INSTALLER_FILES = ("TSINST95.EXE", "TSINSTNT.EXE", "INSTALL.EMF")
# Each build's engine, which the launcher expands after the installer's window
# shows, first of the files that come then.
INSTALLER_ENGINES = ("TSINST95.DLL", "TSINSTNT.DLL")
# The help file goes with them unless the build is told to leave it out.
INSTALLER_HELP_FILE = "TSW_INST.HLP"
# The removal program, which the installer puts into the installation's folder.
REMOVER = "TSWREMOV.EXE"
# The launcher a person starts from the root of disk 1.
LAUNCHER = "SETUP.EXE"
# The installation point beside the disk folders (--point), and the files of
# the disks' roots whose lines it joins, disk 1's first.
POINT = "point"
POINT_JOINED = (CHECKSUM_LIST,)

# A floppy's dates, written here as UTC: FAT counts years from 1980 in 7 bits
# and seconds in steps of two.
FLOPPY_EARLIEST = calendar.timegm((1980, 1, 1, 0, 0, 0))
FLOPPY_LATEST = calendar.timegm((2107, 12, 31, 23, 59, 58))

# The installer's own list reader, built for this machine (tools/native).
LIST_CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "native", "list_check")

DOS_NAME_CHARS = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$%'-_@~`!(){}^#&")


class DiskSetError(Exception):
    """A problem with the input that stops the build."""


# --------------------------------------------------------------------------
# Names


def compressed_name(name):
    """The name a file is stored under on the disk: last character -> "_"."""
    if not name:
        raise ValueError("empty file name")
    return name[:-1] + "_"


def dos_name(name):
    """Checks that name is a DOS 8.3 file name and returns it upper-cased.

    Raises DiskSetError with the reason when it is not.
    """
    upper = name.upper()
    if "." in upper:
        base, ext = upper.split(".", 1)
        if "." in ext:
            raise DiskSetError("%r is not an 8.3 name (more than one '.')" % name)
        if not ext:
            raise DiskSetError("%r is not an 8.3 name (ends with '.')" % name)
    else:
        base, ext = upper, ""
    if not base:
        raise DiskSetError("%r is not an 8.3 name (nothing before the '.')" % name)
    if len(base) > 8:
        raise DiskSetError("%r is not an 8.3 name (more than 8 characters before the extension)" % name)
    if len(ext) > 3:
        raise DiskSetError("%r is not an 8.3 name (extension longer than 3 characters)" % name)
    bad = sorted(set(base + ext) - DOS_NAME_CHARS)
    if bad:
        raise DiskSetError("%r is not an 8.3 name (character %s not allowed)"
                           % (name, ", ".join(repr(c) for c in bad)))
    return upper


def is_program(name):
    # The installer compares everything from the first "." of the name.
    return "." in name and name[name.index("."):].upper() == ".EXE"


# --------------------------------------------------------------------------
# Titles


def read_titles(path):
    """Reads "NAME<TAB>Title" lines into {NAME: Title}.

    Blank lines and lines starting with "#" are skipped.
    """
    titles = {}
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        raise DiskSetError("cannot read titles file %s: %s" % (path, e.strerror))
    try:
        lines = data.decode("utf-8-sig").splitlines()
    except UnicodeDecodeError as e:
        raise DiskSetError("%s:%d: not UTF-8 text; save the file as UTF-8"
                           % (path, data[:e.start].count(b"\n") + 1))
    for number, line in enumerate(lines, 1):
        where = "%s:%d" % (path, number)
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if "\t" not in line:
            raise DiskSetError("%s: expected NAME<TAB>Title" % where)
        name, title = line.split("\t", 1)
        name = dos_name(name.strip())
        title = title.strip()
        if not is_program(name):
            raise DiskSetError("%s: %s is not a .EXE program; only programs take a title" % (where, name))
        if not title:
            raise DiskSetError("%s: empty title for %s" % (where, name))
        if "\t" in title:
            raise DiskSetError("%s: tab inside the title of %s" % (where, name))
        try:
            title.encode("cp1252")
        except UnicodeEncodeError:
            raise DiskSetError("%s: title of %s has characters outside Windows-1252" % (where, name))
        if name in titles:
            raise DiskSetError("%s: second title for %s" % (where, name))
        titles[name] = title
    return titles


# --------------------------------------------------------------------------
# Collecting the files of one folder


class Entry:
    def __init__(self, source, name, title=None):
        self.source = source          # path of the file in the release tree
        self.name = name              # installed name, upper case
        self.title = title            # program item title or None
        self.packed = compressed_name(name)
        self.date = None              # its date on the floppy, in seconds (settle_dates)

    def list_line(self):
        return self.name + (" " + self.title if self.title else "")


def collect_folder(folder, titles, release):
    """The entries of one component folder of the release tree, sorted by installed name."""
    entries = []
    problems = []
    inside = os.path.realpath(release)
    for fname in sorted(os.listdir(folder)):
        path = os.path.join(folder, fname)
        if os.path.isdir(path):
            problems.append("%s: subdirectories are not supported (%s)" % (folder, fname))
            continue
        try:
            if not stat.S_ISREG(os.stat(path).st_mode):
                problems.append("%s: not a regular file" % path)
                continue
        except OSError as e:
            problems.append("%s: cannot be read: %s" % (path, e.strerror))
            continue
        if os.path.commonpath([inside, os.path.realpath(path)]) != inside:
            problems.append("%s: a link leading out of the release (to %s)" % (path, os.path.realpath(path)))
            continue
        try:
            name = dos_name(fname)
        except DiskSetError as e:
            problems.append("%s: %s" % (folder, e))
            continue
        title = titles.get(name) if is_program(name) else None
        entries.append(Entry(path, name, title))
    if problems:
        raise DiskSetError("\n".join(problems))

    by_name, by_packed = {}, {}
    for e in entries:
        if e.name in by_name:
            problems.append("%s: %s and %s are the same name on the disk"
                            % (folder, os.path.basename(by_name[e.name].source), os.path.basename(e.source)))
            continue
        by_name[e.name] = e
        by_packed.setdefault(e.packed, []).append(e)
    for packed, group in sorted(by_packed.items()):
        if len(group) > 1:
            problems.append("%s: %s all compress to %s (names may not differ only in their last character)"
                            % (folder, ", ".join(g.name for g in group), packed))
    for e in entries:
        if len(e.list_line()) > MAX_LINE:
            problems.append("%s: list line for %s is longer than %d characters; shorten its title"
                            % (folder, e.name, MAX_LINE))
    if problems:
        raise DiskSetError("\n".join(problems))
    entries.sort(key=lambda e: e.name)
    return entries


# --------------------------------------------------------------------------
# Compression


def szdd_header(missing_char, length):
    return SZDD_MAGIC + b"A" + missing_char.encode("ascii") + struct.pack("<I", length)


def szdd_literal(data, missing_char):
    """An SZDD stream that holds data as literals only (no back-references)."""
    out = bytearray(szdd_header(missing_char, len(data)))
    for i in range(0, len(data), 8):
        chunk = data[i:i + 8]
        out.append((1 << len(chunk)) - 1)    # one flag bit per literal
        out += chunk
    return bytes(out)


def find_tool(name):
    path = shutil.which(name)
    if not path:
        raise DiskSetError("%s not found; install the Debian package 'mscompress'" % name)
    return path


def default_workers():
    return max(1, os.cpu_count() or 1)


def run_parallel(fn, items, workers):
    """fn over items on up to workers threads (each call runs one outside tool)."""
    if workers == 1 or len(items) <= 1:
        return [fn(item) for item in items]
    with concurrent.futures.ThreadPoolExecutor(max_workers=workers) as pool:
        return list(pool.map(fn, items))


def read_source(entry):
    """The bytes of a release file, which is named when it cannot be read."""
    try:
        with open(entry.source, "rb") as f:
            return f.read()
    except OSError as e:
        raise DiskSetError("%s: cannot be read: %s" % (entry.source, e.strerror or e))


def compress_entries(jobs, workdir, workers):
    """Writes each (entry, destination path) compressed; returns their sizes."""
    sizes = {}
    big = []
    for entry, dest in jobs:
        data = read_source(entry)
        if len(data) < MSCOMPRESS_MIN_SIZE:
            packed = szdd_literal(data, entry.name[-1])
            with open(dest, "wb") as f:
                f.write(packed)
            sizes[dest] = len(packed)
        else:
            big.append((entry, dest, len(data)))
    if not big:
        return sizes

    mscompress = find_tool("mscompress")
    # Stage under neutral names: mscompress appends "_" and refuses to
    # overwrite, which real names could trip over.
    staged = []
    for i, (entry, dest, size) in enumerate(big):
        stage = os.path.join(workdir, "f%05d" % i)
        shutil.copyfile(entry.source, stage)
        staged.append((stage, size))
    # mscompress does its I/O a byte at a time, so spread the files over the
    # workers by size: biggest first, each to the lightest batch so far.
    batches = [[] for _ in range(min(workers, len(staged)))]
    loads = [0] * len(batches)
    for stage, size in sorted(staged, key=lambda s: -s[1]):
        i = loads.index(min(loads))
        batches[i].append(stage)
        loads[i] += size
    commands = [[mscompress] + b[i:i + 200] for b in batches for i in range(0, len(b), 200)]

    def run(command):
        return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    for result in run_parallel(run, commands, workers):
        if result.returncode != 0:
            raise DiskSetError("mscompress failed:\n" + result.stdout.decode(errors="replace"))
    for (stage, _), (entry, dest, size) in zip(staged, big):
        with open(stage + "_", "rb") as f:
            packed = bytearray(f.read())
        if (packed[:8] != SZDD_MAGIC or packed[8:9] != b"A"
                or struct.unpack("<I", bytes(packed[10:14]))[0] != size):
            raise DiskSetError("mscompress wrote an unexpected header for %s" % entry.source)
        # mscompress leaves the replaced character blank; record it as the
        # platform's own compressor does, so that expanding tools can restore
        # the full name.
        packed[9:10] = entry.name[-1].encode("ascii")
        with open(dest, "wb") as f:
            f.write(packed)
        sizes[dest] = len(packed)
        os.remove(stage)
        os.remove(stage + "_")
    return sizes


def verify_entries(jobs, workdir, workers):
    """Expands every written file with msexpand and compares it with its source."""
    msexpand = find_tool("msexpand")

    def check(job):
        index, (entry, dest) = job
        expanded = os.path.join(workdir, "x%05d" % index)
        with open(dest, "rb") as src, open(expanded, "wb") as out:
            run = subprocess.run([msexpand], stdin=src, stdout=out, stderr=subprocess.PIPE)
        with open(expanded, "rb") as f:
            got = f.read()
        os.remove(expanded)
        original = read_source(entry)
        if run.returncode != 0 or got != original:
            return ("%s (from %s): expands to %d bytes%s, source has %d"
                    % (dest, entry.source, len(got), "" if got[:len(original)] == original
                       else " that differ", len(original)))
        return None

    bad = [b for b in run_parallel(check, list(enumerate(jobs)), workers) if b]
    if bad:
        raise DiskSetError("round trip through msexpand failed:\n" + "\n".join(bad))


# --------------------------------------------------------------------------
# Building


def write_list(path, entries):
    lines = ["%d" % len(entries)] + [e.list_line() for e in entries]
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp1252"))


def write_checksum_lists(staging, plan, jobs):
    """Writes CHECKSUM.LST into the root of each disk of plan (its first folder under staging) for the
    compressed files jobs [(entry, path)] put there, in the order the installer reads them, and reads
    it back."""
    roots = []
    for _, subdir, _, _ in plan:
        root = os.path.join(staging, subdir.split(os.sep)[0])
        if root not in roots:
            roots.append(root)
    for root in roots:
        expected = {}
        for entry, dest in jobs:
            name = os.path.relpath(dest, root)
            if not name.startswith(os.pardir):
                with open(entry.source, "rb") as f:
                    data = f.read()
                expected[name.replace(os.sep, "\\").upper()] = (zlib.crc32(data), len(data))
        with open(os.path.join(root, CHECKSUM_LIST), "wb") as f:
            f.write("".join("%08X %d %s\r\n" % (crc, size, name)
                            for name, (crc, size) in expected.items()).encode("ascii"))
        check_checksum_list(os.path.join(root, CHECKSUM_LIST), expected)


def write_size_list(staging, plan):
    """Writes SIZES.LST into the root of the disk of plan's first list (disk 1, or the update set): each
    file of every list of plan, in the order the installer takes them, and reads it back."""
    order = [c[1] for c in COMPONENTS]
    lines = []
    for entries, _, list_name, _ in sorted(plan, key=lambda p: order.index(p[2])):
        lines += ["%d %s %s" % (os.path.getsize(e.source), list_name, e.name) for e in entries]
    too_long = [line for line in lines if len(line) > MAX_LINE]
    if too_long:
        raise DiskSetError("%s would have lines over %d characters: %s" % (SIZE_LIST, MAX_LINE, too_long[0]))
    path = os.path.join(staging, plan[0][1].split(os.sep)[0], SIZE_LIST)
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("ascii"))
    check_size_list(path, lines)


def check_size_list(path, expected):
    """Reads a SIZES.LST back as the installer reads it and refuses it unless it holds exactly the
    lines expected, each of the form "SIZE LIST NAME" with a list the installer knows, once."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    lines = lines[:-1] if lines[-1] == b"" else lines
    lists = "|".join(re.escape(c[1]) for c in COMPONENTS).encode()
    problems, named = [], set()
    for number, line in enumerate(lines, 1):
        form = re.fullmatch(rb"(\d{1,10}) (" + lists + rb") (\S+)", line, re.IGNORECASE)
        key = form and (form.group(2).lower(), form.group(3).upper())
        if not form or key in named or int(form.group(1)) > 0x7FFFFFFF:
            problems.append("%s line %d does not read back as written: %r" % (path, number, line))
        named.add(key)
    if [line.decode("ascii", "replace") for line in lines] != list(expected):
        problems.append("%s does not hold the sizes written" % path)
    if problems:
        raise DiskSetError("\n".join(problems))


def check_checksum_list(path, expected):
    """Reads a CHECKSUM.LST back as the installer reads it and refuses any line that is not one of
    expected {NAME: (crc, size)}, a name it gives twice and a file it does not name."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    problems, named = [], set()
    for number, line in enumerate(lines[:-1] if lines[-1] == b"" else lines, 1):
        form = re.fullmatch(rb"([0-9A-Fa-f]{8}) (\d{1,10}) (\S+)", line)
        name = form and form.group(3).decode("ascii", "replace").upper()
        if not form or name in named or expected.get(name) != (int(form.group(1), 16), int(form.group(2))):
            problems.append("%s line %d does not read back as written: %r" % (path, number, line))
        named.add(name)
    problems += ["%s does not name %s" % (path, name) for name in sorted(set(expected) - named)]
    if problems:
        raise DiskSetError("\n".join(problems))


def refuse_what_the_installer_refuses(lists):
    """Runs the installer's own list reader over the lists written, [(path, entries, label)]; raises,
    naming the file, the list and the reason, for each list an installation would refuse."""
    try:
        run = subprocess.run([LIST_CHECKER] + [path for path, _, _ in lists], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, errors="replace")
    except OSError as e:
        raise DiskSetError("cannot run the installer's list check %s: %s; tools/build_all.sh builds it"
                           % (os.path.normpath(LIST_CHECKER), e.strerror))
    if run.returncode == 0:
        return
    if run.returncode != 1:
        raise DiskSetError("the list check failed:\n" + run.stdout.strip())
    listed = {path: (entries, label) for path, entries, label in lists}
    problems = []
    for line in run.stdout.splitlines():
        refused = re.match(r"(.*):(\d+): (.*)", line)
        if not refused or refused.group(1) not in listed:
            problems.append(line)
            continue
        path, number, reason = refused.group(1), int(refused.group(2)), refused.group(3)
        entries, label = listed[path]
        # The count is line 1, each entry a line after it; line 0 is the list as a whole.
        entry = entries[number - 2] if 2 <= number <= len(entries) + 1 else None
        where = "%s line %d" % (label, number) if number else label
        problems.append("%s%s: %s%s" % ("%s: " % entry.source if entry else "", where, reason,
                                        " (its title %r)" % entry.title if entry and entry.title else ""))
    raise DiskSetError("\n".join(problems))


def floppy_usage(disk_dir):
    """Bytes a 1.44 MB FAT12 floppy would allocate for disk_dir, and its root entry count."""
    used = 0
    root_entries = 0
    for here, dirs, files in os.walk(disk_dir):
        if here == disk_dir:
            root_entries = len(dirs) + len(files)
        else:
            # A subdirectory's own entries, with "." and "..".
            entries = len(dirs) + len(files) + 2
            used += -(-entries * 32 // FLOPPY_CLUSTER) * FLOPPY_CLUSTER
        for name in files:
            size = os.path.getsize(os.path.join(here, name))
            used += -(-size // FLOPPY_CLUSTER) * FLOPPY_CLUSTER
    return used, root_entries


def check_floppy(disk_dir, label, warnings):
    used, root = floppy_usage(disk_dir)
    if used > FLOPPY_DATA_BYTES:
        warnings.append("%s needs %d bytes on a 1.44 MB floppy, which holds %d"
                        % (label, used, FLOPPY_DATA_BYTES))
    if root > FLOPPY_ROOT_ENTRIES:
        warnings.append("%s has %d entries in its root; a 1.44 MB floppy allows %d"
                        % (label, root, FLOPPY_ROOT_ENTRIES))
    return used


def refuse_oversized(disks):
    """Raises, naming every disk (name, folder) that does not fit a 1.44 MB floppy."""
    problems = []
    for name, folder in disks:
        used, root = floppy_usage(folder)
        if used > FLOPPY_DATA_BYTES:
            problems.append("%s does not fit on a 1.44 MB floppy: %d bytes over (needs %d, the floppy holds %d)"
                            % (name, used - FLOPPY_DATA_BYTES, used, FLOPPY_DATA_BYTES))
        # The volume label takes one root entry as well.
        if root + 1 > FLOPPY_ROOT_ENTRIES:
            problems.append("%s does not fit on a 1.44 MB floppy: %d entries in its root and the label, %d allowed"
                            % (name, root + 1, FLOPPY_ROOT_ENTRIES))
    if problems:
        raise DiskSetError("nothing written:\n" + "\n".join(problems))


# --------------------------------------------------------------------------
# Installer and images


def compress_installer(sources, setup, verify, workers):
    """Writes the installer's files [(name, source)] into setup compressed (TSINST95.EX_), as the launcher
    expands them: disk 1 is read at a floppy's speed before the installer's window shows; and setup's own
    CHECKSUM.LST, which the launcher checks each expanded copy against before it starts anything. Returns
    their names there, the list first."""
    jobs = [(Entry(source, name), os.path.join(setup, compressed_name(name))) for name, source in sources]
    work = tempfile.mkdtemp(prefix=".work-", dir=os.path.dirname(setup))
    try:
        compress_entries(jobs, work, workers)
        if verify:
            verify_entries(jobs, work, workers)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    write_checksum_lists(os.path.dirname(setup), [(None, os.path.basename(setup), None, None)], jobs)
    return [CHECKSUM_LIST] + [entry.packed for entry, _ in jobs]


def copy_installer(installer_dir, disk1, help_file=True, verify=True, workers=1):
    """Puts the installer's files (its help file too unless help_file is false) from installer_dir into
    disk1/SETUP, compressed, and the launcher into disk1; returns the names in SETUP."""
    if not os.path.isdir(installer_dir):
        raise DiskSetError("installer folder %s is not a directory" % installer_dir)
    present = {name.upper(): name for name in os.listdir(installer_dir)}
    names = list(INSTALLER_FILES + INSTALLER_ENGINES) + ([INSTALLER_HELP_FILE] if help_file else []) + [REMOVER]
    missing = [name for name in names + [LAUNCHER] if name not in present]
    if missing:
        hint = " (--no-help-file leaves the help out)" if INSTALLER_HELP_FILE in missing else ""
        raise DiskSetError("%s lacks the installer's %s%s" % (installer_dir, ", ".join(missing), hint))
    setup = os.path.join(disk1, INSTALLER_FOLDER)
    os.makedirs(setup)
    shutil.copyfile(os.path.join(installer_dir, present[LAUNCHER]), os.path.join(disk1, LAUNCHER))
    return compress_installer([(name, os.path.join(installer_dir, present[name])) for name in names], setup,
                              verify, workers)


def installer_layout(names):
    """The launcher and the installer's folder, as the image's first entries."""
    return [("", [LAUNCHER]), (INSTALLER_FOLDER, names)]


def image_layout(plan, disk):
    """[(directory on the disk, [file names])] in the order the installer reads them."""
    layout = []
    for entries, where, list_name, _ in plan:
        parts = os.path.normpath(where).split(os.sep)
        if parts[0] == disk:
            layout.append(("/".join(parts[1:]), [list_name] + [e.packed for e in entries]))
    return with_checksum_list(layout)


def with_size_list(layout):
    """The layout of disk 1 (or an update set) with SIZES.LST in its root, read first: before anything
    is written."""
    if layout and layout[0][0] == "":
        return [("", [SIZE_LIST] + layout[0][1])] + layout[1:]
    return [("", [SIZE_LIST])] + layout


def with_checksum_list(layout):
    """The layout of a disk with CHECKSUM.LST in its root, read right after the root's list (first where
    the root has none)."""
    if not layout:
        return layout
    if layout[0][0] == "":
        return [("", layout[0][1][:1] + [CHECKSUM_LIST] + layout[0][1][1:])] + layout[1:]
    return [("", [CHECKSUM_LIST])] + layout


def mtools(*command, date=None):
    """Runs an mtools command; date (seconds) is the time it writes for what it makes (folders, the
    label): not now. A floppy's dates are local times, and the image's are UTC whatever the machine's
    zone."""
    env = dict(os.environ, MTOOLSRC=os.devnull, MTOOLS_SKIP_CHECK="1", TZ="UTC0")
    if date is not None:
        env["SOURCE_DATE_EPOCH"] = str(date)
    try:
        run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
    except FileNotFoundError:
        raise DiskSetError("%s not found; install the Debian package 'mtools'" % command[0])
    if run.returncode != 0:
        raise DiskSetError("%s failed:\n%s" % (" ".join(command), run.stdout.decode(errors="replace")))
    return run.stdout.decode(errors="replace")


def tree_files(folder, dated=False):
    """{relative path in upper case: bytes, or (bytes, date in seconds) when dated} of every file below
    folder."""
    files = {}
    for here, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(here, name)
            with open(path, "rb") as f:
                data = f.read()
            files[os.path.relpath(path, folder).replace(os.sep, "/").upper()] = (
                (data, int(os.stat(path).st_mtime)) if dated else data)
    return files


def set_digest(folders):
    """A digest of every file of a set's disks, names and bytes: what makes one set another."""
    digest = hashlib.sha1()
    for folder in folders:
        for name, data in sorted(tree_files(folder).items()):
            digest.update(b"%s\0%d\0" % (name.encode(), len(data)))
            digest.update(data)
    return digest.digest()


def volume_serial(digest, label):
    """The volume serial number of one disk of a set, as 8 hex digits: floppies
    formatted one by one differ, and tools tell the disks apart by it; a
    rebuild of the same set gives the same number."""
    return hashlib.sha1(digest + label.encode()).hexdigest()[:8]


def write_image(folder, layout, label, serial, date, image, work):
    """Writes folder as a floppy image, the files in layout order with their own dates, the label and
    the folders dated date, then reads it back."""
    mtools("mformat", "-i", image, "-C", "-f", "1440", "-v", label, "-N", serial, "::", date=date)
    for number, (subdir, names) in enumerate(layout):
        if subdir:
            mtools("mmd", "-i", image, "::/" + subdir, date=date)
        # mcopy keeps a source's own name, so each file is offered under its
        # upper-case DOS name: the floppy then holds short names only.
        offered = os.path.join(work, "dir%02d" % number)
        os.makedirs(offered)
        for name in names:
            os.symlink(os.path.abspath(os.path.join(folder, subdir, name)), os.path.join(offered, name.upper()))
        mtools("mcopy", "-m", "-i", image, "-D", "o", *[os.path.join(offered, n.upper()) for n in names],
               "::/" + subdir, date=date)
    check_image(image, folder, label, work)


def check_image(image, folder, label, work):
    """Reads the image back with mtools and compares it with folder."""
    size = os.path.getsize(image)
    if size != FLOPPY_IMAGE_BYTES:
        raise DiskSetError("%s is %d bytes, not %d" % (image, size, FLOPPY_IMAGE_BYTES))
    shown = mtools("mlabel", "-s", "-i", image, "::").strip()
    if shown != "Volume label is " + label:
        raise DiskSetError("%s: label reads %r, not %r" % (image, shown, label))
    back = os.path.join(work, "read-back")
    os.makedirs(back)
    mtools("mcopy", "-s", "-n", "-m", "-i", image, "::*", back)
    want, got = tree_files(folder, dated=True), tree_files(back, dated=True)
    # A floppy holds a date to 2 seconds.
    want = {n: (data, when - when % 2) for n, (data, when) in want.items()}
    bad = sorted(n for n in set(want) | set(got) if want.get(n) != got.get(n))
    if bad:
        raise DiskSetError("%s does not read back as %s:\n%s" % (
            image, folder, "\n".join("  %s: %s" % (n, "missing" if n not in got else
                                                   "not in the folder" if n not in want else
                                                   "differs" if want[n][0] != got[n][0] else
                                                   "dated %s, not %s" % (utc_text(got[n][1]), utc_text(want[n][1])))
                                      for n in bad)))
    shutil.rmtree(back)
    check_file_system(image)


def check_file_system(image):
    """fsck.fat (dosfstools) over the image without changing it: it must find nothing to complain of."""
    tool = shutil.which("fsck.fat", path=os.environ.get("PATH", "") + os.pathsep + "/usr/sbin:/sbin")
    if not tool:
        raise DiskSetError("fsck.fat not found; install the Debian package 'dosfstools'")
    run = subprocess.run([tool, "-n", image], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace")
    # It names itself, then sums the file system up; any other line is a complaint.
    summary = re.compile(re.escape(image) + r": \d+ files, \d+/\d+ clusters$")
    complaints = [line for line in run.stdout.splitlines()
                  if not line.startswith("fsck.fat ") and not summary.match(line)]
    if run.returncode != 0 or complaints:
        raise DiskSetError("fsck.fat -n finds fault with %s:\n%s" % (image, run.stdout.strip()))


def make_images(jobs, staging):
    """jobs: [(folder, layout, label, date, image name)]; writes the images under staging, returns their
    paths."""
    written = []
    digest = set_digest([job[0] for job in jobs])
    for number, (folder, layout, label, date, name) in enumerate(jobs):
        work = os.path.join(staging, ".image-work%d" % number)
        os.makedirs(work)
        image = os.path.join(staging, name)
        write_image(folder, layout, label, volume_serial(digest, label), date, image, work)
        shutil.rmtree(work)
        written.append(image)
    return written


def image_report(path, label):
    return "  %s: %d bytes, label %s" % (path, os.path.getsize(path), label)


def point_files(disk_dirs):
    """The disks' folders and files by their upper-case paths from the root, each as (path as the first disk spells
    it, [(disk, file), ...]) with a file of POINT_JOINED from each disk that holds it; refuses a name two disks give
    different files, or a file on one disk and a folder on the other."""
    entries = {}
    for disk, root in disk_dirs:
        for here, dirs, names in os.walk(root):
            dirs.sort()
            for name in dirs + sorted(names):
                path = os.path.join(here, name)
                rel = os.path.relpath(path, root)
                key = rel.upper()
                rel, sources = entries.setdefault(key, (rel, []))
                earlier = sources[0] if sources else None
                if earlier and key not in POINT_JOINED and (
                        os.path.isdir(earlier[1]) != (name in dirs) or
                        (name not in dirs and read_file(earlier[1]) != read_file(path))):
                    raise DiskSetError("%s and %s both hold %s, and not the same file: an installation point "
                                       "holds only one" % (earlier[0], disk, rel.replace(os.sep, "\\")))
                if not earlier or key in POINT_JOINED:
                    sources.append((disk, path))
    return entries


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def make_point(disk_dirs, point):
    """Writes the installation point of the disks at `point`: each folder and file as on its disk, a joined
    file's lines in disk order, dated as the newest of them."""
    os.makedirs(point)
    for rel, sources in sorted(point_files(disk_dirs).values()):
        target = os.path.join(point, rel)
        if os.path.isdir(sources[0][1]):
            os.makedirs(target, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as out:
            for _, path in sources:
                out.write(read_file(path))
        newest = max(os.stat(path).st_mtime for _, path in sources)
        os.utime(target, (newest, newest))


def build_lists(plan, staging, workers):
    """plan: [(entries, directory under staging, list name, label)]; writes them all, and returns the
    report's lines, each compressed file's date {path: seconds} and the compressions [(entry, path)]."""
    jobs, lists = [], []
    for entries, subdir, list_name, label in plan:
        target = os.path.join(staging, subdir)
        os.makedirs(target, exist_ok=True)
        write_list(os.path.join(target, list_name), entries)
        lists.append((os.path.join(target, list_name), entries, label))
        jobs.extend((e, os.path.join(target, e.packed)) for e in entries)
    refuse_what_the_installer_refuses(lists)
    work = os.path.join(staging, ".work")
    os.makedirs(work)
    try:
        sizes = compress_entries(jobs, work, workers)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    write_checksum_lists(staging, plan, jobs)
    write_size_list(staging, plan)
    dated = {dest: entry.date for entry, dest in jobs}
    report = []
    for entries, subdir, list_name, label in plan:
        target = os.path.join(staging, subdir)
        raw = sum(os.path.getsize(e.source) for e in entries)
        packed = sum(sizes[os.path.join(target, e.packed)] for e in entries)
        report.append("  %-27s %4d %-5s %10d -> %10d bytes"
                      % (label, len(entries), "file" if len(entries) == 1 else "files", raw, packed))
    return report, dated, jobs


def round_trip(jobs, staging, workers):
    """verify_entries for a set that is otherwise complete: the slow expansion comes after every
    refusal, so that a set that cannot be built is refused at once."""
    work = tempfile.mkdtemp(prefix=".verify-", dir=staging)
    try:
        verify_entries(jobs, work, workers)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def release_date(path):
    """A release file's date in whole seconds."""
    return int(os.stat(path).st_mtime)


def utc_text(when):
    try:
        return time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(when))
    except (OverflowError, ValueError, OSError):
        return "%d seconds from 1970" % when


def settle_dates(entry_lists, clamp, warnings):
    """Gives each entry its release file's date. One a floppy cannot hold is refused, or with clamp given
    the nearest it can hold, with a warning."""
    problems = []
    for entries in entry_lists:
        for e in entries:
            when = release_date(e.source)
            e.date = min(max(when, FLOPPY_EARLIEST), FLOPPY_LATEST)
            if e.date != when:
                fault = "%s is dated %s, which a floppy cannot hold (%s to %s)" % (
                    e.source, utc_text(when), utc_text(FLOPPY_EARLIEST)[:10], utc_text(FLOPPY_LATEST)[:10])
                if clamp:
                    warnings.append("%s; dated %s" % (fault, utc_text(e.date)))
                else:
                    problems.append("%s; --clamp-dates gives it the nearest date it can" % fault)
    if problems:
        raise DiskSetError("\n".join(problems))


def date_files(folder, dated):
    """Gives each file below folder its release file's date (dated: {path: seconds}), every other
    file (lists, the installer's) the newest of those; returns that newest date."""
    newest = max((when for path, when in dated.items() if path.startswith(os.path.join(folder, ""))),
                 default=FLOPPY_EARLIEST)
    for here, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(here, name)
            when = dated.get(path, newest)
            os.utime(path, (when, when))
    return newest


def count_titled(entry_lists, warnings):
    titled = [e.name for entries in entry_lists for e in entries if e.title]
    if len(titled) > MAX_PROGRAM_ITEMS:
        warnings.append("%d titled programs (%s); the installer makes items for the first %d only"
                        % (len(titled), ", ".join(titled), MAX_PROGRAM_ITEMS))


def refuse_on_warnings(strict, warnings):
    if strict and warnings:
        raise DiskSetError("nothing written (--strict):\n" + "\n".join(warnings))


def replace_dir(built, final):
    if os.path.isdir(final) and not os.path.islink(final):
        shutil.rmtree(final)
    elif os.path.lexists(final):
        os.remove(final)
    os.rename(built, final)


def refuse_file_as_out(out):
    if os.path.lexists(out) and not os.path.isdir(out):
        raise DiskSetError("%s exists and is not a directory" % out)


def build_disk_set(release, out, titles_path=None, verify=True, strict=False, workers=None,
                   installer=None, images=False, help_file=True, clamp_dates=False, point=False):
    """Builds OUT/disk1 and OUT/disk2 (and their images, and the installation point OUT/point) from a release
    tree; returns (report, warnings)."""
    workers = workers or default_workers()
    refuse_file_as_out(out)
    if not os.path.isdir(release):
        raise DiskSetError("release tree %s is not a directory" % release)
    warnings = []
    if titles_path is None and os.path.isfile(os.path.join(release, TITLES_FILE)):
        titles_path = os.path.join(release, TITLES_FILE)
    titles = read_titles(titles_path) if titles_path else {}

    known = {folder for folder, _, _, _ in COMPONENTS} | {TITLES_FILE}
    for name in sorted(os.listdir(release)):
        if name not in known:
            warnings.append("%s: ignoring %s (not a component folder)" % (release, name))

    plan = []
    problems = []
    for folder, list_name, disk, subdir in COMPONENTS:
        path = os.path.join(release, folder)
        if not os.path.isdir(path):
            continue
        try:
            entries = collect_folder(path, titles, release)
        except DiskSetError as e:
            problems.append(str(e))
            continue
        label = "%s/%s" % (disk, os.path.join(subdir, list_name).replace(os.sep, "/"))
        plan.append((entries, os.path.join(disk, subdir), list_name, label))
    if problems:
        raise DiskSetError("\n".join(problems))
    if not plan:
        raise DiskSetError("%s holds none of the component folders %s"
                           % (release, ", ".join(c[0] for c in COMPONENTS)))

    listed = {e.name for entries, _, _, _ in plan for e in entries}
    for name in sorted(set(titles) - listed):
        warnings.append("%s names %s, which is in no component folder" % (titles_path, name))
    count_titled([p[0] for p in plan], warnings)
    settle_dates([p[0] for p in plan], clamp_dates, warnings)

    made_out = not os.path.lexists(out)
    os.makedirs(out, exist_ok=True)
    staging = tempfile.mkdtemp(prefix=".disk-set-", dir=out)
    try:
        report, dated, jobs = build_lists(plan, staging, workers)
        layouts = {disk: image_layout(plan, disk) for disk in DISKS}
        first = plan[0][1].split(os.sep)[0]
        layouts[first] = with_size_list(layouts[first])
        if installer:
            layouts["disk1"][:0] = installer_layout(copy_installer(installer, os.path.join(staging, "disk1"),
                                                                   help_file, verify, workers))
        disks = sorted(disk for disk in layouts if layouts[disk])
        dates = {disk: date_files(os.path.join(staging, disk), dated) for disk in disks}
        for disk in disks:
            used = check_floppy(os.path.join(staging, disk), disk, warnings)
            report.append("  %s: %d bytes on a 1.44 MB floppy" % (disk, used))
        refuse_oversized([(disk, os.path.join(staging, disk)) for disk in disks])
        refuse_on_warnings(strict, warnings)
        if verify:
            round_trip(jobs, staging, workers)
        if point:
            make_point([(disk, os.path.join(staging, disk)) for disk in disks], os.path.join(staging, POINT))
        written = []
        if images:
            written = make_images([(os.path.join(staging, disk), layouts[disk], IMAGE_LABELS[disk], dates[disk],
                                    disk + ".img") for disk in disks], staging)
        for disk in DISKS:
            final = os.path.join(out, disk)
            if disk in disks:
                replace_dir(os.path.join(staging, disk), final)
            elif os.path.lexists(final):
                shutil.rmtree(final)
            # An image of an earlier build would no longer match its folder.
            if os.path.lexists(final + ".img"):
                os.remove(final + ".img")
        for disk, image in zip(disks, written):
            os.rename(image, os.path.join(out, disk + ".img"))
            report.append(image_report(os.path.join(out, disk + ".img"), IMAGE_LABELS[disk]))
        # A point of an earlier build would no longer match the disks.
        if point:
            replace_dir(os.path.join(staging, POINT), os.path.join(out, POINT))
            report.append("  %s: both disks in one tree, an installation point" % POINT)
        elif os.path.lexists(os.path.join(out, POINT)):
            shutil.rmtree(os.path.join(out, POINT))
    except BaseException:
        shutil.rmtree(staging, ignore_errors=True)
        if made_out:
            shutil.rmtree(out, ignore_errors=True)
        raise
    finally:
        shutil.rmtree(staging, ignore_errors=True)
    return report, warnings


def build_update(folder, out, titles_path=None, verify=True, strict=False, workers=None, images=False,
                 installer=None, help_file=True, clamp_dates=False):
    """Builds a maintenance-update source from one folder; returns (report, warnings)."""
    workers = workers or default_workers()
    if not os.path.isdir(folder):
        raise DiskSetError("update folder %s is not a directory" % folder)
    warnings = []
    if titles_path is None:
        beside = os.path.join(os.path.dirname(os.path.abspath(folder)), TITLES_FILE)
        if os.path.isfile(beside):
            titles_path = beside
    titles = read_titles(titles_path) if titles_path else {}
    entries = collect_folder(folder, titles, folder)
    count_titled([entries], warnings)
    settle_dates([entries], clamp_dates, warnings)

    out = os.path.abspath(out)
    refuse_file_as_out(out)
    if os.path.isdir(out) and os.listdir(out) and not os.path.isfile(os.path.join(out, UPDATE_LIST)):
        raise DiskSetError("%s is not empty and is not an update set (no %s); "
                           "refusing to replace it" % (out, UPDATE_LIST))
    parent = os.path.dirname(out)
    os.makedirs(parent, exist_ok=True)
    # The set is a folder made as the disk folders are (mkdtemp's own is private to its owner); its
    # image is made beside it, so that it is not part of it.
    holder = tempfile.mkdtemp(prefix=".update-set-", dir=parent)
    staging = os.path.join(holder, "set")
    os.makedirs(staging)
    try:
        report, dated, jobs = build_lists([(entries, "", UPDATE_LIST, UPDATE_LIST)], staging, workers)
        layout = with_size_list(with_checksum_list([("", [UPDATE_LIST] + [e.packed for e in entries])]))
        if installer:
            layout[:0] = installer_layout(copy_installer(installer, staging, help_file, verify, workers))
        date = date_files(staging, dated)
        used = check_floppy(staging, "the update set", warnings)
        report.append("  update: %d bytes on a 1.44 MB floppy" % used)
        refuse_oversized([("the update set", staging)])
        refuse_on_warnings(strict, warnings)
        if verify:
            round_trip(jobs, holder, workers)
        if images:
            image = make_images([(staging, layout, UPDATE_IMAGE_LABEL, date, "update.img")], holder)[0]
            os.rename(image, out + ".img")
            report.append(image_report(out + ".img", UPDATE_IMAGE_LABEL))
        replace_dir(staging, out)
    finally:
        shutil.rmtree(holder, ignore_errors=True)
    return report, warnings


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("source", nargs="?", help="release tree, or with --update the folder of update files")
    ap.add_argument("out", nargs="?", help="output directory")
    ap.add_argument("--components", action="store_true",
                    help="print the component folders and where they go, one per line, and stop")
    ap.add_argument("--update", action="store_true",
                    help="write one directory with disk_1.lst from the files of SOURCE")
    ap.add_argument("--images", action="store_true",
                    help="also write each disk as a 1.44 MB FAT12 floppy image (needs mtools)")
    ap.add_argument("--installer", metavar="DIR",
                    help="put tsinst95.exe, tsinstnt.exe, install.emf, their engines and tsw_inst.hlp from DIR "
                         "into SETUP on disk 1 (or the update set), compressed, and setup.exe as SETUP.EXE into its root")
    ap.add_argument("--point", action="store_true",
                    help="also write OUT/point, both disks in one tree with one CHECKSUM.LST: an installation "
                         "point, as SETUP.EXE /A makes it")
    ap.add_argument("--no-help-file", action="store_true",
                    help="with --installer: leave the help file tsw_inst.hlp out of SETUP")
    ap.add_argument("--titles", metavar="FILE",
                    help="program titles, NAME<TAB>Title per line (default: titles.txt of the release tree)")
    ap.add_argument("--no-titles", action="store_true", help="write no program titles")
    ap.add_argument("--verify", action=argparse.BooleanOptionalAction, default=True,
                    help="expand every written file with msexpand and compare (default: on)")
    ap.add_argument("--clamp-dates", action="store_true",
                    help="give a file dated before 1980-01-01 or after 2107-12-31, which a floppy cannot hold, "
                         "the nearest date it can, with a warning (default: refuse it)")
    ap.add_argument("--strict", action="store_true",
                    help="treat warnings (a disk that does not fit a 1.44 MB floppy, ...) as errors")
    ap.add_argument("-j", "--jobs", type=int, default=default_workers(),
                    help="outside tools to run at once (default: number of CPUs)")
    ap.add_argument("-q", "--quiet", action="store_true", help="print warnings and errors only")
    args = ap.parse_args(argv)
    if args.components:
        for component in COMPONENTS:
            print("\t".join(component))
        return 0
    if args.out is None:
        ap.error("SOURCE and OUT are required")
    if args.jobs < 1:
        ap.error("--jobs must be 1 or more")
    if args.point and args.update:
        ap.error("--point makes the point of a disk set, not of an update")

    titles = args.titles
    if args.no_titles:
        titles = os.devnull
    try:
        if args.update:
            report, warnings = build_update(args.source, args.out, titles, args.verify, args.strict,
                                            args.jobs, images=args.images, installer=args.installer,
                                            help_file=not args.no_help_file, clamp_dates=args.clamp_dates)
        else:
            report, warnings = build_disk_set(args.source, args.out, titles, args.verify, args.strict,
                                              args.jobs, installer=args.installer, images=args.images,
                                              help_file=not args.no_help_file, clamp_dates=args.clamp_dates,
                                              point=args.point)
    except DiskSetError as e:
        print("make_disk_set: error: %s" % str(e).replace("\n", "\nmake_disk_set: error: "),
              file=sys.stderr)
        return 1
    except OSError as e:
        print("make_disk_set: error: %s: %s" % (e.filename or args.out, e.strerror or e), file=sys.stderr)
        return 1
    for w in warnings:
        print("make_disk_set: warning: %s" % w, file=sys.stderr)
    if not args.quiet:
        print("make_disk_set: wrote %s" % args.out)
        print("\n".join(report))
    return 0


if __name__ == "__main__":
    sys.exit(main())
