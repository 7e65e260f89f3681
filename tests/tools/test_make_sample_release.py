"""Tests of tools/make_sample_release.py."""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools"))


def run_tool(*args):
    return subprocess.run([sys.executable] + [str(a) for a in args], check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def same_tree(a, b):
    cmp = filecmp.dircmp(a, b)
    if cmp.left_only or cmp.right_only or cmp.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, cmp.common_files, shallow=False)
    return not mismatch and not errors and all(same_tree(os.path.join(a, d), os.path.join(b, d))
                                               for d in cmp.common_dirs)


class SampleReleaseTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="sample-release-test-")

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def make(self, name, *args):
        path = os.path.join(self.tmp, name)
        run_tool(os.path.join(TOOLS, "make_sample_release.py"), path, *args)
        return path

    def test_same_arguments_give_the_same_bytes_and_a_version_changes_them(self):
        first, again = self.make("a", "--scale", "2"), self.make("b", "--scale", "2")
        self.assertTrue(same_tree(first, again))
        newer = self.make("c", "--scale", "2", "--version", "3.01")
        for rel in ("PROGRAM1/TSW.EXE", "PROGRAM2/RAINCALC.EXE", "CCIR/RGN_K.TBL"):
            with self.subTest(file=rel):
                self.assertFalse(filecmp.cmp(os.path.join(first, rel), os.path.join(newer, rel),
                                             shallow=False))
        with open(os.path.join(newer, "PROGRAM1", "TSW.TXT"), "rb") as f:
            self.assertIn(b"Version 3.01", f.read())
        # Dated by the version, not the time of making: 10:30 UTC of its day, 2 minutes a file.
        dated = lambda tree, name: os.stat(os.path.join(tree, "LOOKUP", name)).st_mtime
        self.assertEqual([847103400, 847103520, 857989800],
                         [dated(first, "ANTENNA.TBL"), dated(first, "FEEDER.TBL"), dated(newer, "ANTENNA.TBL")])

    @unittest.skipUnless(shutil.which("mscompress") and shutil.which("msexpand"),
                         "mscompress/msexpand not installed")
    def test_sample_release_makes_a_complete_disk_set(self):
        release = self.make("release")
        out = os.path.join(self.tmp, "disks")
        run_tool(os.path.join(TOOLS, "make_disk_set.py"), release, out, "--strict", "-q")
        expected = {"disk1/disk_1.lst": "TSW.EXE Tessaryn 3.0",
                    "disk2/disk_2.lst": "RAINCALC.EXE Rain Calculator",
                    "disk2/LOOKUP/disk_2e.lst": None, "disk2/USER_DLL/disk_2f.lst": None,
                    "disk2/CRANE/disk_2a.lst": None, "disk2/CCIR/disk_2b.lst": None,
                    "disk2/CANADA/disk_2c.lst": None, "disk2/TSDATA/disk_2d.lst": None}
        for rel, titled in expected.items():
            with self.subTest(list=rel):
                with open(os.path.join(out, rel), "rb") as f:
                    lines = f.read().decode("ascii").split("\r\n")
                self.assertGreater(int(lines[0]), 0)
                if titled:
                    self.assertIn(titled, lines)
        # The Program Manager group's "Revisions" item opens tsw.txt.
        with open(os.path.join(out, "disk1", "disk_1.lst")) as f:
            self.assertIn("TSW.TXT", f.read().split())


if __name__ == "__main__":
    unittest.main()
