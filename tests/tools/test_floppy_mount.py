"""The floppy image reader (tools/native/floppy_mount) on damaged images: each refused whole, the reason naming
the file or folder at fault, never shown as if it were sound."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
READER = os.path.join(os.environ.get("TSINST_BUILD", os.path.join(ROOT, "build")), "native", "floppy_mount")
ROOT_FOLDER, DATA = 19 * 512, 33 * 512   # where a 1.44 MB floppy's root folder and cluster 2 begin
END = 0xFFF


class Floppy:
    """A 1.44 MB FAT12 floppy written entry by entry: /A.TXT, 3000 bytes in clusters 2-7, and /SUB (cluster 8)
    holding B.TXT (cluster 9)."""

    def __init__(self):
        self.data = bytearray(1474560)
        struct.pack_into("<HBHBHHBH", self.data, 11, 512, 1, 1, 2, 224, 2880, 0xF0, 9)
        self.data[510:512] = b"\x55\xaa"
        self.link(0, 0xFF0)
        self.link(1, END)
        self.chain(*range(2, 8))
        self.entry(None, 0, "A.TXT", 2, 3000)
        self.data[DATA:DATA + 3000] = bytes(i % 251 for i in range(3000))
        self.chain(8)
        self.entry(None, 1, "SUB", 8, folder=True)
        self.entry(8, 0, ".", 8, folder=True)
        self.entry(8, 1, "..", 0, folder=True)
        self.chain(9)
        self.entry(8, 2, "B.TXT", 9, 100)

    def link(self, cluster, to):
        """Cluster's entry in both FATs (12 bits each, two in three bytes)."""
        for fat in (512, 10 * 512):
            at = fat + cluster * 3 // 2
            pair = int.from_bytes(self.data[at:at + 2], "little")
            pair = (pair & 0xF000 | to) if cluster % 2 == 0 else (pair & 0x000F | to << 4)
            self.data[at:at + 2] = pair.to_bytes(2, "little")

    def chain(self, *clusters):
        for cluster, to in zip(clusters, clusters[1:] + (END,)):
            self.link(cluster, to)

    def entry(self, within, index, name, cluster, size=0, folder=False, date=(1995, 6, 1), time=(10, 0, 0)):
        """The index-th entry of the root folder (within None) or of the folder at cluster within."""
        at = (ROOT_FOLDER if within is None else DATA + (within - 2) * 512) + 32 * index
        base, _, extension = name.partition(".") if name not in (".", "..") else (name, "", "")
        (year, month, day), (hour, minute, second) = date, time
        self.data[at:at + 11] = base.ljust(8).encode("latin-1") + extension.ljust(3).encode("latin-1")
        self.data[at + 11] = 0x10 if folder else 0x20
        struct.pack_into("<HHHI", self.data, at + 22, hour << 11 | minute << 5 | second // 2,
                         (year - 1980) << 9 | month << 5 | day, cluster, size)

    def nest(self, depth):
        """Folders /SUB/D/D/... depth deep, in clusters 10 on."""
        for level in range(depth):
            self.chain(10 + level)
            self.entry(9 + level if level else 8, 0 if level else 3, "D", 10 + level, folder=True)


# (what is wrong, how the floppy is damaged, the reason given)
DAMAGED = [
    ("a chain that loops", lambda f: f.link(3, 2), "/A.TXT has a cluster chain that loops back to cluster 2"),
    ("a chain shorter than the size", lambda f: f.link(2, END),
     "/A.TXT is 3000 bytes long, but its cluster chain holds 512"),
    ("a chain longer than the size", lambda f: f.entry(8, 2, "B.TXT", 9, 0),
     "/SUB/B.TXT is 0 bytes long, but its cluster chain holds 512"),
    ("a folder holding itself", lambda f: f.entry(8, 3, "SELF", 8, folder=True),
     "/SUB/SELF refers back to /SUB, a folder above it"),
    ("a folder holding the root", lambda f: f.entry(8, 3, "TOP", 0, folder=True),
     "/SUB/TOP refers back to the root folder above it"),
    ("a cross-link", lambda f: f.entry(8, 2, "B.TXT", 7, 100), "/SUB/B.TXT shares cluster 7 with /A.TXT"),
    ("a chain leaving the disk", lambda f: f.link(4, 3000),
     "/A.TXT has cluster 4 leading to cluster 3000, outside the disk's data"),
    ("a chain into a free cluster", lambda f: f.link(4, 0), "/A.TXT has cluster 4 leading to cluster 0, outside"),
    ("a chain starting at cluster 1", lambda f: f.entry(8, 2, "B.TXT", 1, 100), "/SUB/B.TXT starts at cluster 1,"),
    ("month 15", lambda f: f.entry(None, 0, "A.TXT", 2, 3000, date=(1995, 15, 3)),
     "/A.TXT is dated 1995-15-03 10:00:00, a date no FAT driver writes"),
    ("31 February", lambda f: f.entry(8, 2, "B.TXT", 9, 100, date=(2000, 2, 31)), "/SUB/B.TXT is dated 2000-02-31"),
    ("29 February 1995", lambda f: f.entry(8, 2, "B.TXT", 9, 100, date=(1995, 2, 29)), "/SUB/B.TXT is dated 1995-02-29"),
    ("hour 24", lambda f: f.entry(8, 2, "B.TXT", 9, 100, time=(24, 0, 0)), "/SUB/B.TXT is dated 1995-06-01 24:00:00"),
    ("a name with a backslash", lambda f: f.entry(8, 2, "B\\X.TXT", 9, 100),
     "/SUB/B\\X.TXT has a name Windows cannot open"),
    ("a name with a star", lambda f: f.entry(8, 2, "B*.TXT", 9, 100), "/SUB/B*.TXT has a name Windows cannot open"),
    ("a name with a question mark", lambda f: f.entry(8, 2, "B?.TXT", 9, 100), "/SUB/B?.TXT has a name Windows"),
    ("two entries of one name", lambda f: f.entry(None, 2, "A.TXT", 9, 100), "/A.TXT is a second entry of that name"),
    ("a path longer than Windows opens", lambda f: f.nest(127),
     "/SUB" + "/D" * 127 + " lies deeper than the longest path Windows opens"),
]


@unittest.skipUnless(os.path.exists(READER), "%s is not built (it needs Debian's libfuse3-dev)" % READER)
class DamagedFloppyTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="floppy-mount-")
        self.addCleanup(shutil.rmtree, self.tmp)
        self.image = os.path.join(self.tmp, "disk.img")

    def mount(self, floppy, folder):
        with open(self.image, "wb") as f:
            f.write(floppy.data)
        return subprocess.run([READER, self.image, folder], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              text=True, timeout=60)

    def test_the_sound_floppy_shows_its_files_whole(self):
        if not (os.path.exists("/dev/fuse") and shutil.which("fusermount3")):
            self.skipTest("no FUSE on this machine")
        folder = os.path.join(self.tmp, "a")
        os.mkdir(folder)
        floppy = Floppy()
        floppy.nest(126)        # A:\SUB\D\...\D, the longest path Windows opens
        run = self.mount(floppy, folder)
        self.assertEqual(0, run.returncode, run.stderr)
        self.addCleanup(subprocess.run, ["fusermount3", "-u", folder])
        with open(os.path.join(folder, "A.TXT"), "rb") as f:
            self.assertEqual(bytes(i % 251 for i in range(3000)), f.read())
        self.assertEqual((100, ["B.TXT", "D"]), (os.path.getsize(os.path.join(folder, "SUB", "B.TXT")),
                                                 sorted(os.listdir(os.path.join(folder, "SUB")))))
        self.assertTrue(os.path.isdir(os.path.join(folder, "SUB", *["D"] * 126)))

    def test_a_damaged_floppy_is_refused_naming_what_is_damaged(self):
        for what, damage, reason in DAMAGED:
            with self.subTest(what=what):
                floppy = Floppy()
                damage(floppy)
                run = self.mount(floppy, os.path.join(self.tmp, "never-mounted"))
                self.assertEqual(1, run.returncode, run.stderr)
                self.assertIn(self.image + " is damaged: " + reason, run.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
