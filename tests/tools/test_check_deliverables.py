"""check_deliverables.sh names each fault planted in a copy of a shipped program."""

import os
import random
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SHIPPED = os.path.join(ROOT, "build", "i686", "tsinst95.exe")

# (where, offset, bytes, what the check must name): a header field at its offset in the optional header, an
# imported name renamed in place, instructions written at an offset from the entry point, bytes that do not
# compress added at the file's end (within 80 KB, over what disk 1 may give before the main window).
PLANTED_FAULTS = [
    ("tail", 0, random.Random(61).randbytes(24000), "over the limit: TSINST95.EXE"),
    ("field", 70, (0x0140).to_bytes(2, "little"), "DllCharacteristics 00000140"),
    ("field", 96, (0x1000 | 0x28 << 32).to_bytes(8, "little"), "an export directory"),
    ("import", b"GetProcAddress", b"GetTickCount64", "GetTickCount64, which is not on the platform floor"),
    ("import", b"GetCurrentDirectoryA", b"VirtualUnlock\0\0\0\0\0\0\0", 'VirtualUnlock: Windows 95 "no"'),
    ("code", 0, b"\xd9\xe8", "fld1"),
    ("code", 2, b"\xf3\x0f\x1e\xfb", "endbr32"),
    ("code", 6, b"\x0f\x1f\x40\x00", "nop    DWORD PTR [eax+0x0]"),
    ("code", 10, b"\x0f\x44\xc1", "cmove"),
    ("code", 13, b"\x0f\x0b", "ud2"),
]


def word(image, at, size=4):
    return int.from_bytes(image[at:at + size], "little")


def plant(image, kind, where, value):
    pe = word(image, 60)
    optional = pe + 24
    if kind == "tail":
        at = len(image)
    elif kind == "field":
        at = optional + where
    elif kind == "import":
        at = image.index(where + b"\0")
    else:
        entry = word(image, optional + 16)
        sections = optional + word(image, pe + 20, 2)
        for i in range(word(image, pe + 6, 2)):
            size, address, raw = (word(image, sections + 40 * i + o) for o in (8, 12, 20))
            if address <= entry < address + size:
                at = raw + entry - address + where
    image[at:at + len(value)] = value


class CheckDeliverablesTest(unittest.TestCase):
    def test_each_planted_fault_is_named(self):
        if not os.path.exists(SHIPPED):
            self.skipTest("no build/i686/tsinst95.exe (tools/build_all.sh builds it)")
        with open(SHIPPED, "rb") as f:
            image = bytearray(f.read())
        for fault in PLANTED_FAULTS:
            plant(image, *fault[:3])
        folder = tempfile.mkdtemp(prefix="check-deliverables-")
        self.addCleanup(shutil.rmtree, folder)
        planted = os.path.join(folder, "TSINST95.EXE")
        with open(planted, "wb") as f:
            f.write(image)
        run = subprocess.run([os.path.join(ROOT, "tools", "check_deliverables.sh"), planted], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=300)
        self.assertEqual(1, run.returncode, run.stdout)
        failures = "\n".join(line for line in run.stdout.splitlines() if "FAIL" in line or line.startswith("    "))
        for fault in PLANTED_FAULTS:
            with self.subTest(fault=fault[3]):
                self.assertIn(fault[3], failures)
