"""The floppy image reader (tools/native/floppy_mount) refuses a damaged image whole, naming what is damaged."""

import os
import resource
import struct
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
READER = os.path.join(os.environ.get("TSINST_BUILD", os.path.join(ROOT, "build")), "native", "floppy_mount")
END = 0xFFF
LIMIT = 256 << 20  # bytes of memory a run of the reader may take


class Floppy:
    """A 1.44 MB FAT12 floppy: /A.TXT, 3000 bytes in clusters 2-7, and /SUB (cluster 8) holding B.TXT (cluster 9)."""

    def __init__(self):
        self.data = bytearray(1474560)
        struct.pack_into("<HBHBHHBH", self.data, 11, 512, 1, 1, 2, 224, 2880, 0xF0, 9)
        self.chain(*range(2, 8))
        self.chain(8)
        self.chain(9)
        self.entry(None, 0, "A.TXT", 2, 3000)
        self.entry(None, 1, "SUB", 8, folder=True)
        self.entry(8, 0, ".", 8, folder=True)
        self.entry(8, 1, "..", 0, folder=True)
        self.entry(8, 2, "B.TXT", 9, 100)

    def link(self, cluster, to):
        """Cluster's entry in both FATs (12 bits each, two in three bytes)."""
        for at in (512 + cluster * 3 // 2, 10 * 512 + cluster * 3 // 2):
            pair = int.from_bytes(self.data[at:at + 2], "little")
            pair = (pair & 0xF000 | to) if cluster % 2 == 0 else (pair & 0x000F | to << 4)
            self.data[at:at + 2] = pair.to_bytes(2, "little")

    def chain(self, *clusters):
        for cluster, to in zip(clusters, clusters[1:] + (END,)):
            self.link(cluster, to)

    def entry(self, within, index, name, cluster, size=0, folder=False, date=(1995, 6, 1), time=(10, 0, 0)):
        """The index-th entry of the root folder (within None) or of the folder at cluster within."""
        at = (19 * 512 if within is None else (33 + within - 2) * 512) + 32 * index
        base, _, extension = name.partition(".") if name.strip(".") else (name, "", "")
        (year, month, day), (hour, minute, second) = date, time
        self.data[at:at + 12] = (base.ljust(8) + extension.ljust(3)).encode("latin-1") + (b"\x10" if folder else b" ")
        struct.pack_into("<HHHI", self.data, at + 22, hour << 11 | minute << 5 | second // 2,
                         (year - 1980) << 9 | month << 5 | day, cluster, size)

    def nest(self, depth):
        """Folders /SUB/D/D/... depth deep, in clusters 10 on."""
        for level in range(depth):
            self.chain(10 + level)
            self.entry(9 + level if level else 8, 0 if level else 3, "D", 10 + level, folder=True)


# (what is wrong, how the floppy is damaged, the reason given)
DAMAGED = [
    ("a loop", lambda f: f.link(3, 2), "/A.TXT has a cluster chain that loops back to cluster 2"),
    ("a short chain", lambda f: f.link(2, END), "/A.TXT is 3000 bytes long, but its cluster chain holds 512"),
    ("a long chain", lambda f: f.entry(8, 2, "B.TXT", 9, 0), "/SUB/B.TXT is 0 bytes long, but its cluster chain"),
    ("a folder in itself", lambda f: f.entry(8, 3, "SELF", 8, folder=True), "/SUB/SELF refers back to /SUB, a folder"),
    ("the root in a folder", lambda f: f.entry(8, 3, "UP", 0, folder=True), "/SUB/UP refers back to the root folder"),
    ("a cross-link", lambda f: f.entry(8, 2, "B.TXT", 7, 100), "/SUB/B.TXT shares cluster 7 with /A.TXT"),
    ("off the disk", lambda f: f.link(4, 3000), "/A.TXT has cluster 4 leading to cluster 3000, outside the disk"),
    ("into cluster 0", lambda f: f.link(4, 0), "/A.TXT has cluster 4 leading to cluster 0, outside"),
    ("from cluster 1", lambda f: f.entry(8, 2, "B.TXT", 1, 100), "/SUB/B.TXT starts at cluster 1, outside"),
    ("month 15", lambda f: f.entry(8, 2, "B.TXT", 9, 100, date=(1995, 15, 3)),
     "/SUB/B.TXT is dated 1995-15-03 10:00:00, a date no FAT driver writes"),
    ("31 February", lambda f: f.entry(8, 2, "B.TXT", 9, 100, date=(2000, 2, 31)), "/SUB/B.TXT is dated 2000-02-31"),
    ("29 February 1995", lambda f: f.entry(8, 2, "B.TXT", 9, 100, date=(1995, 2, 29)), "/SUB/B.TXT is dated 1995-02"),
    ("hour 24", lambda f: f.entry(8, 2, "B.TXT", 9, 100, time=(24, 0, 0)), "/SUB/B.TXT is dated 1995-06-01 24:00"),
    ("a backslash", lambda f: f.entry(8, 2, "B\\X.TXT", 9, 100), "/SUB/B\\X.TXT has a name Windows cannot open"),
    ("a star", lambda f: f.entry(8, 2, "B*.TXT", 9, 100), "/SUB/B*.TXT has a name Windows cannot open"),
    ("a question mark", lambda f: f.entry(8, 2, "B?.TXT", 9, 100), "/SUB/B?.TXT has a name Windows cannot open"),
    ("control bytes", lambda f: f.entry(8, 2, "B\x1b\x00.TXT", 9, 100), "/SUB/B\\x1B\\x00.TXT has a name Windows cannot"),
    ("one name twice", lambda f: f.entry(None, 2, "A.TXT", 9, 100), "/A.TXT is a second entry of that name"),
    ("a path too long", lambda f: f.nest(127), "/SUB" + "/D" * 127 + " lies deeper than the longest path Windows"),
]


@unittest.skipUnless(os.path.exists(READER), "%s is not built (it needs Debian's libfuse3-dev)" % READER)
class DamagedFloppyTest(unittest.TestCase):
    def test_a_damaged_floppy_is_refused_naming_what_is_damaged(self):
        with tempfile.TemporaryDirectory() as tmp:
            image = os.path.join(tmp, "disk.img")
            for what, damage, reason in [("none: the longest path Windows opens", lambda f: f.nest(126), "")] + DAMAGED:
                with self.subTest(what=what):
                    floppy = Floppy()
                    damage(floppy)
                    with open(image, "wb") as f:
                        f.write(floppy.data)
                    # Refused before a mount is tried; the sound one then fails at the folder that is not there.
                    # A reader that stops bounding what it reads runs out of time or memory, never on.
                    run = subprocess.run([READER, image, os.path.join(tmp, "none")], stderr=subprocess.PIPE, text=True,
                                         timeout=30, preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_AS, (LIMIT,) * 2))
                    self.assertEqual(1, run.returncode, run.stderr)
                    if reason:
                        self.assertIn(image + " is damaged: " + reason, run.stderr)
                    else:
                        self.assertIn("mount", run.stderr)
