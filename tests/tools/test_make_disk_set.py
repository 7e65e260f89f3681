"""Tests of tools/make_disk_set.py, run through its command line as the build uses it.

    python3 -m unittest discover -s tests/tools
"""

import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

TOOLS = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
BUILDER = os.path.join(TOOLS, "make_disk_set.py")
INSTALL_PLAN = os.path.join(TOOLS, "..", "engine", "plain", "InstallPlan.cpp")
HAVE_MSTOOLS = bool(shutil.which("mscompress") and shutil.which("msexpand"))
HAVE_MTOOLS = all(shutil.which(tool) for tool in ("mformat", "mcopy", "mdir", "mshowfat"))
FLOPPY_BYTES = 1474560


def builder_module():
    sys.path.insert(0, TOOLS)
    try:
        import make_disk_set
    finally:
        sys.path.remove(TOOLS)
    return make_disk_set


def expand(path):
    """The bytes msexpand makes of a compressed file."""
    with open(path, "rb") as f:
        run = subprocess.run(["msexpand"], stdin=f, stdout=subprocess.PIPE, check=True)
    return run.stdout


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def read_list(path):
    """(count, entry lines) of a list file; fails on anything but CRLF line ends."""
    with open(path, "rb") as f:
        raw = f.read()
    assert raw.endswith(b"\r\n"), "last line of %s lacks CRLF" % path
    lines = raw[:-2].split(b"\r\n")
    for line in lines:
        assert b"\n" not in line and b"\r" not in line, "stray line break in %s" % path
    return int(lines[0]), [line.decode("cp1252") for line in lines[1:]]


class BuilderTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="disk-set-test-")
        self.release = os.path.join(self.tmp, "release")
        self.out = os.path.join(self.tmp, "out")

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def put(self, relpath, data):
        path = os.path.join(self.release, relpath)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("ascii"))
        return path

    def build(self, *extra, source=None, out=None, ok=True, env=None):
        cmd = [sys.executable, BUILDER, source or self.release, out or self.out, "-q"] + list(extra)
        run = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)
        if ok:
            self.assertEqual(run.returncode, 0, run.stderr)
        else:
            self.assertNotEqual(run.returncode, 0, "build should have been refused")
        return run



@unittest.skipUnless(HAVE_MSTOOLS, "mscompress/msexpand not installed")
class DiskSetTest(BuilderTest):
    def test_compressed_names_replace_the_last_character(self):
        for name in ("TSW.EXE", "README", "A.B", "X", "USERDB.DOC", "tsw.txt"):
            self.put("PROGRAM1/" + name, name * 10)
        self.put("LOOKUP/ANTENNA.TBL", "antenna table\r\n" * 20)
        self.build("--no-verify")
        # Names go onto the disk in upper case, as DOS keeps them.
        self.assertEqual(sorted(os.listdir(os.path.join(self.out, "disk1"))),
                         sorted(["TSW.EX_", "READM_", "A._", "_", "USERDB.DO_", "TSW.TX_", "disk_1.lst", "CHECKSUM.LST",
                                 "SIZES.LST"]))
        self.assertEqual(sorted(os.listdir(os.path.join(self.out, "disk2", "LOOKUP"))),
                         ["ANTENNA.TB_", "disk_2e.lst"])
        self.assertEqual(read_list(os.path.join(self.out, "disk1", "disk_1.lst"))[1],
                         ["A.B", "README", "TSW.EXE", "TSW.TXT", "USERDB.DOC", "X"])
        # Each compressed file holds the file of its own entry.
        self.assertEqual(expand(os.path.join(self.out, "disk1", "READM_")), b"README" * 10)
        self.assertEqual(expand(os.path.join(self.out, "disk1", "TSW.TX_")), b"tsw.txt" * 10)

    def test_lists_count_entries_and_carry_titles(self):
        self.put("titles.txt", "TSW.EXE\tTessaryn 3.0\nRAINCALC.EXE\tRain Calculator\n\n# comment\n")
        for name in ("TSW.EXE", "TSW.HLP", "TSW.TXT", "helper.exe"):
            self.put("PROGRAM1/" + name, "content of %s\r\n" % name)
        self.put("PROGRAM2/RAINCALC.EXE", "rain calculator program")
        self.put("PROGRAM2/TSWDB.DLL", "database library")
        os.makedirs(os.path.join(self.release, "CRANE"))          # empty component
        self.build()

        count, entries = read_list(os.path.join(self.out, "disk1", "disk_1.lst"))
        self.assertEqual(count, 4)
        self.assertEqual(entries, ["HELPER.EXE", "TSW.EXE Tessaryn 3.0", "TSW.HLP", "TSW.TXT"])
        count, entries = read_list(os.path.join(self.out, "disk2", "disk_2.lst"))
        self.assertEqual((count, entries), (2, ["RAINCALC.EXE Rain Calculator", "TSWDB.DLL"]))
        self.assertEqual(read_list(os.path.join(self.out, "disk2", "CRANE", "disk_2a.lst")), (0, []))
        # Components without a folder leave nothing behind.
        self.assertEqual(sorted(os.listdir(os.path.join(self.out, "disk2"))),
                         ["CHECKSUM.LST", "CRANE", "RAINCALC.EX_", "TSWDB.DL_", "disk_2.lst"])
        # Every entry line fits the installer's 80-character line buffer.
        for line in entries:
            self.assertLessEqual(len(line), 78)

    def test_titles_that_cannot_be_listed_are_refused(self):
        self.put("PROGRAM1/TSW.EXE", "program")
        self.put("PROGRAM1/TSW.HLP", "help")
        cases = {
            "TSW.HLP\tHelp\n": "not a .EXE",
            "TSW.EXE Tessaryn 3.0\n": "NAME<TAB>Title",
            "TSW.EXE\t" + "T" * 80 + "\n": "longer than 78",
            "TSW.EXE\t\n": "empty title",
            'TSW.EXE\tTess"aryn\n': "disk1/disk_1.lst line 2: the installer refuses the title of TSW.EXE",
            "TSW.EXE\tTess\x01aryn\n": "disk1/disk_1.lst line 2: the installer refuses the title of TSW.EXE",
        }
        for text, message in cases.items():
            with self.subTest(titles=text):
                self.put("titles.txt", text)
                run = self.build(ok=False)
                self.assertIn(message, run.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.out, "disk1")))

    def test_expansion_gives_back_every_file_byte_for_byte(self):
        # Sizes around the points where compressors go wrong: empty, shorter
        # than a match, one flag group, the 4 KB window and beyond it.
        sizes = [0, 1, 2, 7, 8, 9, 15, 16, 17, 18, 100, 4095, 4096, 4097, 20000]
        state = 12345
        originals = {}
        for i, size in enumerate(sizes):
            data = bytearray()
            for j in range(size):
                state = (state * 1103515245 + 12345) & 0x7FFFFFFF
                # Half noise, half runs of text, so back-references are used.
                data.append((state >> 16) & 0xFF if (j // 64) % 2 else b"rain rate "[j % 10])
            name = "F%02d.BIN" % i
            originals[name] = bytes(data)
            self.put("TSDATA/" + name, bytes(data))
        # --no-verify: the check below is the test's own.
        self.build("--no-verify")
        folder = os.path.join(self.out, "disk2", "TSDATA")
        for name, data in originals.items():
            with self.subTest(size=len(data)):
                packed = os.path.join(folder, name[:-1] + "_")
                with open(packed, "rb") as f:
                    header = f.read(14)
                self.assertEqual(header[:4], b"SZDD")
                self.assertEqual(int.from_bytes(header[10:14], "little"), len(data))
                self.assertEqual(expand(packed), data)
        text = originals["F14.BIN"]
        self.assertLess(os.path.getsize(os.path.join(folder, "F14.BI_")), len(text))

    def test_colliding_non_dos_and_uninstallable_names_are_refused(self):
        cases = [
            (["TSW.EXE", "TSW.EXX"], "TSW.EX_"),
            (["README", "READM_"], "READM_"),     # an installed name that is another's compressed name
            (["tsw.exe", "TSW.EXE"], "same name"),
            (["LONGNAME1.TXT"], "more than 8"),
            (["TABLE.TEXT"], "extension longer"),
            (["A.B.C"], "more than one"),
            (["RAIN RAT.TBL"], "not allowed"),
            (["AUX.TBL"], "disk2/disk_2.lst line 2: the installer refuses the name AUX.TBL"),
            (["~TSW0001.TMP"], "disk2/disk_2.lst line 3: the installer refuses the name ~TSW0001.TMP"),
        ]
        for names, message in cases:
            with self.subTest(names=names):
                shutil.rmtree(self.release, ignore_errors=True)
                shutil.rmtree(self.out, ignore_errors=True)
                self.put("PROGRAM2/OTHER.DLL", "library")
                for name in names:
                    self.put("PROGRAM2/" + name, "data of " + name)
                run = self.build(ok=False)
                self.assertIn(message, run.stderr)
                for name in names:
                    self.assertIn(name, run.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.out, "disk2")))

    def test_what_cannot_be_built_is_one_line_each_and_leaves_no_output(self):
        def dated_1970():
            os.utime(self.put("PROGRAM1/OLD.DAT", "unpacked from an archive dated 0"), (0, 0))

        def linked_out():
            with open(os.path.join(self.tmp, "outside.dat"), "w") as f:
                f.write("not part of the release")
            os.symlink(f.name, os.path.join(self.release, "PROGRAM1", "OUT.DAT"))
        cases = [
            (dated_1970, "OLD.DAT is dated 1970-01-01 00:00:00 UTC, which a floppy cannot hold"),
            (lambda: self.put("titles.txt", "TSW.EXE\tT\xe9ssaryn\n".encode("cp1252")), "titles.txt:1: not UTF-8"),
            (lambda: os.symlink("nowhere", os.path.join(self.release, "PROGRAM1", "GONE.DAT")),
             "GONE.DAT: cannot be read"),
            (linked_out, "PROGRAM1/OUT.DAT: a link leading out of the release (to %s/outside.dat)" % self.tmp),
            (lambda: open(self.out, "w").close(), "out exists and is not a directory"),
            # Both disks' roots would hold TSW.EX_ in the point.
            (lambda: self.put("PROGRAM2/TSW.EXX", "another program"),
             "disk1 and disk2 both hold TSW.EX_, and not the same file", "--point"),
        ]
        for damage, message, *extra in cases:
            with self.subTest(message=message):
                for tree in (self.release, self.out):
                    shutil.rmtree(tree, ignore_errors=True)
                self.put("PROGRAM1/TSW.EXE", "program")
                damage()
                before = sorted(os.listdir(self.tmp))
                run = self.build(*extra, ok=False)
                self.assertEqual((1, 1), (run.returncode, len(run.stderr.splitlines())), run.stderr)
                self.assertIn(message, run.stderr)
                self.assertEqual(before, sorted(os.listdir(self.tmp)))
                if os.path.isfile(self.out):
                    os.remove(self.out)
        # A file that opens but cannot be read (the kernel's error names no file).
        make_disk_set = builder_module()
        with self.assertRaisesRegex(make_disk_set.DiskSetError, "^/proc/self/clear_refs: cannot be read: "):
            make_disk_set.compress_entries([(make_disk_set.Entry("/proc/self/clear_refs", "CLEAR.DAT"),
                                             os.path.join(self.tmp, "CLEAR.DA_"))], self.tmp, 1)

    def test_same_name_in_different_folders_is_fine(self):
        self.put("PROGRAM2/README", "program notes")
        self.put("LOOKUP/README", "lookup notes")
        self.put("LOOKUP/READMX", "another lookup file")
        run = self.build(ok=False)
        self.assertIn("READM_", run.stderr)          # README and READMX in LOOKUP collide
        os.remove(os.path.join(self.release, "LOOKUP", "READMX"))
        self.build()
        self.assertEqual(expand(os.path.join(self.out, "disk2", "READM_")), b"program notes")
        self.assertEqual(expand(os.path.join(self.out, "disk2", "LOOKUP", "READM_")), b"lookup notes")

    def test_rebuild_drops_files_of_the_previous_set(self):
        self.put("PROGRAM1/TSW.EXE", "version one of the program")
        self.put("PROGRAM2/OLD.DLL", "gone in the next release")
        self.build()
        os.remove(os.path.join(self.release, "PROGRAM1", "TSW.EXE"))
        shutil.rmtree(os.path.join(self.release, "PROGRAM2"))
        self.put("PROGRAM1/TSW2.EXE", "version two of the program")
        self.build()
        self.assertEqual(sorted(os.listdir(os.path.join(self.out, "disk1"))), ["CHECKSUM.LST", "SIZES.LST", "TSW2.EX_", "disk_1.lst"])
        self.assertFalse(os.path.exists(os.path.join(self.out, "disk2")))

    def test_each_disk_says_what_its_files_expand_to_and_a_wrong_line_is_refused(self):
        self.put("PROGRAM1/TSW.EXE", "program")
        self.put("LOOKUP/ITU.TBL", "itu table")
        self.put("PROGRAM2/README", "the same notes on both disks")
        self.put("PROGRAM1/README", "the same notes on both disks")
        self.build("--no-verify", "--point")
        crc = zlib.crc32(b"program")
        notes = b"%08X 28 READM_\r\n" % zlib.crc32(b"the same notes on both disks")
        self.assertEqual(read_bytes(os.path.join(self.out, "disk1", "CHECKSUM.LST")),
                         notes + b"%08X 7 TSW.EX_\r\n" % crc)
        self.assertEqual(read_bytes(os.path.join(self.out, "disk2", "CHECKSUM.LST")),
                         notes + b"%08X 9 LOOKUP\\ITU.TB_\r\n" % zlib.crc32(b"itu table"))
        # The point: every file of both disks in one tree, one list with both disks' lines.
        files = lambda top: {os.path.relpath(os.path.join(here, n), top) for here, _, names in os.walk(top)
                             for n in names}
        disks = [os.path.join(self.out, disk) for disk in ("disk1", "disk2")]
        self.assertEqual(files(disks[0]) | files(disks[1]), files(os.path.join(self.out, "point")))
        self.assertEqual(read_bytes(os.path.join(self.out, "point", "CHECKSUM.LST")),
                         b"".join(read_bytes(os.path.join(disk, "CHECKSUM.LST")) for disk in disks))
        checksums, path = builder_module(), os.path.join(self.tmp, "CHECKSUM.LST")
        for text in ("C 8 TSW.EX_\r\n", "C 7 TSW.EX_\r\nC 7 TSW.EX_\r\n", "", "C  7 TSW.EX_\r\n", "C 7 TSW.EX_\n"):
            with self.subTest(text=text), open(path, "wb") as f:
                f.write(text.replace("C", "%08X" % crc).encode())
            with self.subTest(text=text), self.assertRaisesRegex(checksums.DiskSetError, "CHECKSUM.LST"):
                checksums.check_checksum_list(path, {"TSW.EX_": (crc, 7)})
        # Disk 1 alone says what every list of the set expands to.
        self.assertEqual(read_bytes(os.path.join(self.out, "disk1", "SIZES.LST")),
                         b"28 disk_1.lst README\r\n7 disk_1.lst TSW.EXE\r\n28 disk_2.lst README\r\n"
                         b"9 disk_2e.lst ITU.TBL\r\n")
        self.assertFalse(os.path.exists(os.path.join(self.out, "disk2", "SIZES.LST")))
        path, written = os.path.join(self.tmp, "SIZES.LST"), ["7 disk_1.lst TSW.EXE"]
        for text in ("8 disk_1.lst TSW.EXE\r\n", "7 disk_1.lst TSW.EXE\r\n" * 2, "7 disk_9.lst TSW.EXE\r\n",
                     "7  disk_1.lst TSW.EXE\r\n", "7 disk_1.lst\r\n", "2147483648 disk_1.lst TSW.EXE\r\n"):
            with self.subTest(text=text), open(path, "wb") as f:
                f.write(text.encode())
            with self.subTest(text=text), self.assertRaisesRegex(checksums.DiskSetError, "SIZES.LST"):
                checksums.check_size_list(path, written)

    def test_update_set_is_one_directory_with_disk_1_list(self):
        self.put("titles.txt", "TSW.EXE\tTessaryn 3.0\nRAINCALC.EXE\tRain Calculator\n")
        self.put("PROGRAM1/TSW.EXE", "newer program")
        self.put("PROGRAM1/TSW.TXT", "newer revision notes\r\n")
        update = os.path.join(self.tmp, "update")
        self.build("--update", source=os.path.join(self.release, "PROGRAM1"), out=update)
        self.assertEqual(sorted(os.listdir(update)), ["CHECKSUM.LST", "SIZES.LST", "TSW.EX_", "TSW.TX_", "disk_1.lst"])
        self.assertEqual(read_list(os.path.join(update, "disk_1.lst")),
                         (2, ["TSW.EXE Tessaryn 3.0", "TSW.TXT"]))
        self.assertEqual(expand(os.path.join(update, "TSW.EX_")), b"newer program")

        # A directory that is not an update set is never replaced.
        precious = os.path.join(self.tmp, "precious")
        os.makedirs(precious)
        with open(os.path.join(precious, "notes.txt"), "w") as f:
            f.write("keep me")
        run = self.build("--update", source=os.path.join(self.release, "PROGRAM1"), out=precious,
                         ok=False)
        self.assertIn("refusing", run.stderr)
        self.assertEqual(os.listdir(precious), ["notes.txt"])


def mtool(*command):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, check=True,
                          env=dict(os.environ, MTOOLSRC=os.devnull, MTOOLS_SKIP_CHECK="1")).stdout


def mdir(image, folder):
    """(volume label, [NAME.EXT of each entry]) as mdir shows an image's folder."""
    label, names = None, []
    for line in mtool("mdir", "-i", image, "::/" + folder).splitlines():
        if line.startswith(" Volume in drive : is "):
            label = line[len(" Volume in drive : is "):].rstrip()
        elif line[:1].strip() and not line.startswith(("Directory for", " ", ".")):
            base, ext = line[:8].strip(), line[9:12].strip()
            names.append(base + ("." + ext if ext else ""))
    return label, names


def volume_serial(image):
    """The volume serial number in an image's boot sector (extended BPB, offset 39)."""
    return read_bytes(image)[39:43]


def first_cluster(image, path):
    """The first cluster of a file on an image, from mshowfat's "<first-last>" runs."""
    shown = mtool("mshowfat", "-i", image, "::/" + path)
    return int(shown[shown.index("<") + 1:].split(">")[0].split("-")[0])


def floppy_bytes_used(folder):
    """Bytes a FAT12 floppy with 512-byte clusters allocates for a folder's files and subfolders."""
    clusters = lambda size: -(-size // 512)
    used = 0
    for here, dirs, files in os.walk(folder):
        if here != folder:
            used += clusters((len(dirs) + len(files) + 2) * 32) * 512
        used += sum(clusters(os.path.getsize(os.path.join(here, f))) * 512 for f in files)
    return used


@unittest.skipUnless(HAVE_MSTOOLS and HAVE_MTOOLS, "mscompress/msexpand or mtools not installed")
class FloppyImageTest(BuilderTest):
    INSTALLER = {"tsinst95.exe": b"MZ windows 95 build" * 50, "tsinstnt.exe": b"MZ NT build" * 60,
                 "install.emf": b" EMF picture" * 30, "tsw_inst.hlp": b"?_\3\0 help file" * 40,
                 "tswremov.exe": b"MZ removal" * 30, "setup.exe": b"MZ launcher" * 40,
                 "tsinst95.dll": b"MZ windows 95 engine" * 70, "tsinstnt.dll": b"MZ NT engine" * 80}

    def installer(self):
        folder = os.path.join(self.tmp, "installer")
        os.makedirs(folder)
        for name, data in self.INSTALLER.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        return folder

    def test_sample_release_makes_two_labelled_floppies_read_in_list_order(self):
        subprocess.run([sys.executable, os.path.join(TOOLS, "make_sample_release.py"), self.release],
                       stdout=subprocess.DEVNULL, check=True)
        self.installer_folder = self.installer()
        self.build("--images", "--installer", self.installer_folder)
        disk1, disk2 = (os.path.join(self.out, name) for name in ("disk1.img", "disk2.img"))
        self.assertEqual([FLOPPY_BYTES, FLOPPY_BYTES], [os.path.getsize(disk1), os.path.getsize(disk2)])

        # Each folder with its files in the order the installer reads them:
        # the launcher and the installer's own files first on disk 1, then
        # each list and its files.
        def listed(disk, folder, list_name):
            entries = read_list(os.path.join(self.out, disk, folder, list_name))[1]
            return (folder, [list_name.upper()] + [e.split(" ")[0][:-1] + "_" for e in entries])
        with_checksums = lambda read: (read[0], read[1][:1] + ["CHECKSUM.LST"] + read[1][1:])
        subfolders = [("LOOKUP", "disk_2e.lst"), ("USER_DLL", "disk_2f.lst"), ("CRANE", "disk_2a.lst"),
                      ("CCIR", "disk_2b.lst"), ("CANADA", "disk_2c.lst"), ("TSDATA", "disk_2d.lst")]
        reads = {
            disk1: [("", ["SETUP.EXE"]), ("SETUP", ["CHECKSUM.LST", "TSINST95.EX_", "TSINSTNT.EX_", "INSTALL.EM_",
                                                  "TSINST95.DL_", "TSINSTNT.DL_", "TSW_INST.HL_", "TSWREMOV.EX_"]),
                    ("", ["SIZES.LST"]), with_checksums(listed("disk1", "", "disk_1.lst"))],
            disk2: [with_checksums(listed("disk2", "", "disk_2.lst"))] + [listed("disk2", d, l) for d, l in subfolders],
        }
        for image, label in ((disk1, "TSW30 DISK1"), (disk2, "TSW30 DISK2")):
            held = {}
            for folder, files in reads[image]:
                held.setdefault(folder, []).extend(files)
                if folder:
                    held.setdefault("", []).append(folder)
            for folder, files in held.items():
                with self.subTest(image=os.path.basename(image), folder=folder):
                    self.assertEqual((label, sorted(files)), (mdir(image, folder)[0], sorted(mdir(image, folder)[1])))
            # Laid out front to back in that order.
            paths = [folder + "/" + name if folder else name for folder, files in reads[image] for name in files]
            clusters = [first_cluster(image, path) for path in paths]
            self.assertEqual(sorted(clusters), clusters, list(zip(paths, clusters)))
        # The installer's files compressed, which the launcher expands; the launcher itself as it is.
        for name in ("tsinstnt.exe", "tsinstnt.dll", "tsw_inst.hlp", "tswremov.exe"):
            self.assertEqual(expand(os.path.join(self.out, "disk1", "SETUP", name.upper()[:-1] + "_")),
                             self.INSTALLER[name])
        self.assertEqual(mtool("mtype", "-i", disk1, "::/SETUP.EXE").encode(), self.INSTALLER["setup.exe"])

        # An update floppy that starts on its own: the launcher first, then the installer, then the list.
        update = os.path.join(self.tmp, "update")
        build_update = lambda: self.build("--update", "--images", "--installer", self.installer_folder,
                                          source=os.path.join(self.release, "PROGRAM1"), out=update)
        build_update()
        self.assertEqual(FLOPPY_BYTES, os.path.getsize(update + ".img"))
        # Each disk its own serial number, the same again when the set is rebuilt.
        serials = [volume_serial(image) for image in (disk1, disk2, update + ".img")]
        self.assertEqual(3, len(set(serials)), serials)
        build_update()
        self.assertEqual(serials[2], volume_serial(update + ".img"))
        self.assertEqual(("TSW30 UPD", sorted(os.listdir(update))),
                         (mdir(update + ".img", "")[0], sorted(n.lower() if n == "DISK_1.LST" else n
                                                               for n in mdir(update + ".img", "")[1])))
        self.assertIn("SETUP.EXE", os.listdir(update))
        self.assertEqual(mtool("mtype", "-i", update + ".img", "::/SETUP.EXE").encode(), self.INSTALLER["setup.exe"])
        clusters = [first_cluster(update + ".img", path) for path in ("SETUP.EXE", "SETUP/TSINST95.EX_", "DISK_1.LST")]
        self.assertEqual(sorted(clusters), clusters)

    def test_an_installer_folder_without_the_help_file_is_refused_unless_it_is_left_out(self):
        self.put("PROGRAM1/TSW.EXE", "program")
        folder = self.installer()
        os.remove(os.path.join(folder, "tsw_inst.hlp"))
        run = self.build("--installer", folder, ok=False)
        self.assertIn("lacks the installer's TSW_INST.HLP (--no-help-file leaves the help out)", run.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.out, "disk1")))
        self.build("--installer", folder, "--no-help-file")
        self.assertEqual(["CHECKSUM.LST", "INSTALL.EM_", "TSINST95.DL_", "TSINST95.EX_", "TSINSTNT.DL_", "TSINSTNT.EX_",
                          "TSWREMOV.EX_"],
                         sorted(os.listdir(os.path.join(self.out, "disk1", "SETUP"))))

    def test_an_image_read_back_with_another_date_or_that_fsck_faults_is_refused(self):
        self.put("PROGRAM1/TSW.EXE", "program")
        self.put("TSDATA/TABLE.DAT", "table")
        # fsck.fat checks every image written: one that notes each image before it checks it.
        fsck = shutil.which("fsck.fat", path=os.environ["PATH"] + os.pathsep + "/usr/sbin:/sbin")
        noting, checked = os.path.join(self.tmp, "bin", "fsck.fat"), os.path.join(self.tmp, "checked")
        os.makedirs(os.path.dirname(noting))
        with open(noting, "w") as f:
            f.write('#!/bin/sh\necho "${2##*/}" >>"%s"\nexec "%s" "$@"\n' % (checked, fsck))
        os.chmod(noting, 0o755)
        env = dict(os.environ, PATH=os.path.dirname(noting) + os.pathsep + os.environ["PATH"])
        self.build("--images", env=env)
        self.build("--update", "--images", source=os.path.join(self.release, "PROGRAM1"),
                   out=os.path.join(self.tmp, "update"), env=env)
        self.assertEqual(["disk1.img", "disk2.img", "update.img"], read_bytes(checked).decode().split())
        make_disk_set = builder_module()
        image, folder = os.path.join(self.out, "disk1.img"), os.path.join(self.out, "disk1")
        os.utime(os.path.join(folder, "TSW.EX_"), (86400 * 365 * 20, 86400 * 365 * 20))
        with self.assertRaisesRegex(make_disk_set.DiskSetError, "TSW.EX_: dated .*, not 1989-12-27"):
            make_disk_set.check_image(image, folder, "TSW30 DISK1", self.tmp)
        with open(image, "r+b") as f:
            f.seek(512 + 3)       # the first FAT: clusters 2 and 3, the first files', marked free
            f.write(b"\0\0")
        with self.assertRaisesRegex(make_disk_set.DiskSetError, "fsck.fat -n finds fault with"):
            make_disk_set.check_file_system(image)

    def test_a_disk_one_file_too_large_is_refused_with_its_overflow(self):
        noise = random.Random(14)
        self.put("PROGRAM1/TSW.EXE", "program")
        self.put("TSDATA/BIG.BIN", bytes(noise.getrandbits(8) for _ in range(1250000)))
        self.build("--images", "--no-verify")  # the round trip is not looked at here
        image = os.path.join(self.out, "disk2.img")
        free = [line for line in mtool("mdir", "-i", image, "::/").splitlines() if "bytes free" in line]
        free = int(free[0].split("bytes")[0].replace(" ", ""))
        self.assertEqual(FLOPPY_BYTES - 16896 - free, floppy_bytes_used(os.path.join(self.out, "disk2")),
                         "the test's own count of the space used agrees with mtools")
        images = lambda: [read_bytes(os.path.join(self.out, name)) for name in ("disk1.img", "disk2.img")]
        before = images()

        more = self.put("TSDATA/MORE.BIN", bytes(noise.getrandbits(8) for _ in range(60000)))
        subprocess.run(["mscompress", shutil.copy(more, self.tmp)], stdout=subprocess.DEVNULL, check=True)
        over = (floppy_bytes_used(os.path.join(self.out, "disk2")) - (FLOPPY_BYTES - 16896)
                + -(-os.path.getsize(os.path.join(self.tmp, "MORE.BIN_")) // 512) * 512)
        self.assertGreater(over, 0)
        # Refused with or without images, and nothing written: no folder, no image.
        for extra, out in ((["--images"], self.out), ([], os.path.join(self.tmp, "unchecked"))):
            with self.subTest(extra=extra):
                run = self.build(*extra, out=out, ok=False)
                self.assertEqual(1, run.returncode)
                self.assertIn("disk2 does not fit on a 1.44 MB floppy: %d bytes over" % over, run.stderr)
                self.assertNotIn("disk1", run.stderr)
        self.assertTrue(before == images(), "an image was written")
        self.assertFalse(os.path.exists(os.path.join(self.out, "disk2", "TSDATA", "MORE.BI_")))
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "unchecked")))

    def test_one_tree_gives_the_same_set_at_another_time_and_zone_with_the_release_dates(self):
        # OLD.DAT from an archive dated 0: a floppy's earliest date instead.
        for name, when in (("PROGRAM1/TSW.EXE", 981173106), ("PROGRAM2/TSWDATA.DLL", 946684800),
                           ("LOOKUP/ANTENNA.TBL", 915148800), ("TSDATA/OLD.DAT", 0)):
            os.utime(self.put(name, name * 10), (when, when))
        installer = self.installer()

        def build(out, zone):   # {file: (digest, date)}; an image file's own date is its making's
            env = dict(os.environ, TZ=zone)
            self.build("--images", "--installer", installer, "--clamp-dates", out=out, env=env)
            self.build("--update", "--images", source=os.path.join(self.release, "PROGRAM1"), out=out + "-upd", env=env)
            paths = [os.path.join(here, n) for top in (out, out + "-upd") for here, _, names in os.walk(top)
                     for n in names] + [out + "-upd.img"]
            return {os.path.relpath(path, self.tmp).replace(os.path.basename(out), "OUT", 1):
                    (hashlib.sha1(read_bytes(path)).hexdigest(), None if path.endswith(".img") else int(os.stat(path).st_mtime))
                    for path in paths}

        first = build(self.out, "UTC0")
        time.sleep(2.1)                       # a floppy's dates count in 2 seconds
        self.assertEqual(first, build(os.path.join(self.tmp, "again"), "JST-9"))
        # Each file its release file's date (the compressed one too); the rest the newest on its disk.
        self.assertEqual(946684800, first[os.path.join("OUT", "disk2", "TSWDATA.DL_")][1])
        self.assertEqual(981173106, first[os.path.join("OUT", "disk1", "SETUP", "TSINST95.EX_")][1])
        image = os.path.join(self.out, "disk2.img")
        self.assertRegex(mtool("mdir", "-i", image, "::/LOOKUP"), r"ANTENNA  TB_ .* 1999-01-01   0:00")
        self.assertRegex(mtool("mdir", "-i", image, "::/TSDATA"), r"OLD      DA_ .* 1980-01-01   0:00")
        self.assertRegex(mtool("mdir", "-i", image, "::/"), r"LOOKUP       <DIR>     2000-01-01   0:00")
        label = read_bytes(os.path.join(self.out, "disk1.img"))[19 * 512:19 * 512 + 32]
        self.assertEqual((b"TSW30 DISK1", (2001 - 1980) << 9 | 2 << 5 | 3), (label[:11], label[24] | label[25] << 8))
        # The update set's folder is made as the disk folders are.
        self.assertEqual(os.stat(os.path.join(self.out, "disk1")).st_mode, os.stat(self.out + "-upd").st_mode)
class ComponentTableTest(unittest.TestCase):
    """The builder's mapping against the installer's own table of lists."""

    # {Component, ListIndex, "list", disk, "subfolder" or nullptr, ...}
    ROW = re.compile(r'\{\s*Component\w+,\s*List\w+,\s*"([^"]+)",\s*(\d+),\s*(?:nullptr|"([^"]*)")')

    def test_builder_puts_each_list_where_the_installer_reads_it(self):
        with open(INSTALL_PLAN, encoding="utf-8") as f:
            source = f.read()
        opening = "kInstallSteps[] = {"
        table = source[source.index(opening) + len(opening):]
        table = table[:table.index("};")]
        steps = [(name, "disk" + disk, folder or "") for name, disk, folder in self.ROW.findall(table)]
        self.assertEqual(len(steps), table.count("{"), "a row of the installer's table was not understood")

        make_disk_set = builder_module()
        self.assertEqual([(list_name, disk, folder) for _, list_name, disk, folder in make_disk_set.COMPONENTS],
                         steps)
        self.assertEqual(make_disk_set.UPDATE_LIST, steps[0][0])


if __name__ == "__main__":
    unittest.main()
