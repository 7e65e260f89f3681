"""Every script in tools/ answers --help; bad use gets the exit code the README lists."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
SCRIPTS = sorted(name for name in os.listdir(TOOLS) if name.endswith((".sh", ".py")))

# (script, arguments, exit code, text in the output); NOT_PE is the absolute path of a file that is no program.
EXIT_CODES = [
    ("build_all.sh", ["extra"], 2, "usage"),
    ("check_deliverables.sh", ["--bogus"], 2, "usage"),
    ("check_deliverables.sh", ["NOT_PE"], 1, "FAIL: NOT_PE"),
    ("demo.sh", ["--bogus"], 2, "usage"),
    ("ensure_packages.sh", ["extra"], 2, "usage"),
    ("make_disk_set.py", [], 2, "usage"),
    ("make_disk_set.py", ["NOT_PE", "OUT"], 1, "not a directory"),
    ("make_disk_set.py", [".", "NOT_PE"], 1, "NOT_PE exists and is not a directory"),
    ("make_help.py", ["NOT_PE", "OUT"], 1, "make_help: error"),
    ("make_sample_release.py", ["OUT", "--scale", "0"], 2, "--scale"),
    ("make_sample_release.py", ["NOT_PE/OUT"], 1, "make_sample_release: error: cannot write"),
    ("run_fuzzers.sh", ["0"], 2, "usage"),
    ("run_tests.sh", ["-R", "no_such_test"], 1, "no test matches"),
    ("set_run_from_swap.py", [], 2, "usage"),
    ("set_run_from_swap.py", ["NOT_PE"], 1, "not a PE file"),
    ("wine-env.sh", [], 2, "usage"),
    ("wine-setup.sh", ["version", "98"], 2, "usage"),
    ("wine-setup.sh", ["insert", "NOT_PE"], 2, "is no floppy image"),
]

# What check_deliverables.sh must name in a copy of the shipped tsinst95.exe with faults planted (a PE field
# set, an imported name renamed in place, instructions written over the entry point's code).
SHIPPED = os.path.join(TOOLS, "..", "build", "i686", "tsinst95.exe")
PLANTED_FAULTS = [
    ("field", 70, struct.pack("<H", 0x0140), "DllCharacteristics 00000140"),
    ("field", 96, struct.pack("<II", 0x1000, 0x28), "an export directory"),
    ("import", b"GetProcAddress", b"GetTickCount64", "GetTickCount64, which is not on the platform floor"),
    ("import", b"GetWindowsDirectoryA", b"VirtualUnlock\0\0\0\0\0\0\0", 'VirtualUnlock: Windows 95 "no"'),
    ("code", 0, b"\xd9\xe8", "fld1"),
    ("code", 2, b"\xf3\x0f\x1e\xfb", "endbr32"),
    ("code", 6, b"\x0f\x1f\x40\x00", "nop    DWORD PTR [eax+0x0]"),
    ("code", 10, b"\x0f\x44\xc1", "cmove"),
    ("code", 13, b"\x0f\x0b", "ud2"),
]


def plant(image, kind, where, value):
    pe = struct.unpack_from("<I", image, 60)[0]
    optional = pe + 24
    if kind == "field":
        image[optional + where:optional + where + len(value)] = value
    elif kind == "import":
        at = image.index(where + b"\0")
        image[at:at + len(value)] = value
    else:
        entry = struct.unpack_from("<I", image, optional + 16)[0]
        sections = optional + struct.unpack_from("<H", image, pe + 20)[0]
        for i in range(struct.unpack_from("<H", image, pe + 6)[0]):
            size, address, _, raw = struct.unpack_from("<IIII", image, sections + 40 * i + 8)
            if address <= entry < address + size:
                at = raw + entry - address + where
                image[at:at + len(value)] = value


class ToolsAnswerTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="tools-answer-")
        self.addCleanup(shutil.rmtree, self.tmp)
        self.not_pe = os.path.join(self.tmp, "NOT_PE")
        with open(self.not_pe, "w") as f:
            f.write("plain text, no program\n")

    def run_tool(self, script, args, path=os.environ["PATH"]):
        # Started by its own "#!" line, as a person or env and timeout start it.
        command = [os.path.join(TOOLS, script)] + args
        return subprocess.run(command, cwd=self.tmp, env=dict(os.environ, PATH=path), stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, timeout=120)

    def test_every_script_answers_help_with_its_usage_and_starts_nothing(self):
        # A PATH of the interpreters and sed only: starting anything else (a build, Wine) fails loudly.
        for name, path in (("bash", shutil.which("bash")), ("python3", sys.executable), ("sed", shutil.which("sed"))):
            os.symlink(path, os.path.join(self.tmp, name))
        for script in SCRIPTS:
            with self.subTest(script=script):
                run = self.run_tool(script, ["--help"], path=self.tmp)
                self.assertEqual((0, ""), (run.returncode, run.stderr))
                self.assertIn("usage", run.stdout.lower())

    def test_bad_use_gets_the_exit_code_the_readme_lists(self):
        for script, args, code, text in EXIT_CODES:
            with self.subTest(script=script, args=args):
                run = self.run_tool(script, [self.not_pe if a == "NOT_PE" else a for a in args])
                self.assertEqual(code, run.returncode, run.stdout + run.stderr)
                self.assertIn(text.replace("NOT_PE", self.not_pe), run.stdout + run.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.tmp, "OUT")), "a refused run wrote OUT")

    def test_deliverables_check_names_each_fault_planted_in_a_shipped_file(self):
        if not os.path.exists(SHIPPED):
            self.skipTest("no build/i686/tsinst95.exe (tools/build_all.sh builds it)")
        with open(SHIPPED, "rb") as f:
            image = bytearray(f.read())
        for fault in PLANTED_FAULTS:
            plant(image, *fault[:3])
        planted = os.path.join(self.tmp, "TSINST95.EXE")
        with open(planted, "wb") as f:
            f.write(image)
        run = self.run_tool("check_deliverables.sh", [planted])
        self.assertEqual(1, run.returncode, run.stdout + run.stderr)
        failures = "\n".join(line for line in run.stdout.splitlines() if "FAIL" in line or line.startswith("    "))
        for fault in PLANTED_FAULTS:
            with self.subTest(fault=fault[3]):
                self.assertIn(fault[3], failures)

    def test_the_test_command_lists_a_case_that_skipped_itself(self):
        # The run below runs this case again, which then skips itself, while the other cases here
        # list the suite's tests with a ctest of their own (run_tests.sh -R no_such_test).
        if os.environ.get("TSINST_NESTED_TEST_RUN"):
            self.skipTest("made to skip by the test of the test command")
        run = subprocess.run([os.path.join(TOOLS, "run_tests.sh"), "-R", "^disk_set_builder$"],
                             env=dict(os.environ, TSINST_NESTED_TEST_RUN="1"), stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=900)
        self.assertEqual(0, run.returncode, run.stdout)
        self.assertIn("test cases skipped: 1\n  disk_set_builder test_the_test_command_lists_a_case_that_skipped_itself:"
                      " made to skip by the test of the test command\n", run.stdout)
