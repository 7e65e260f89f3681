"""Every script in tools/ answers --help; bad use gets the exit code docs/release-tools.md lists."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.sax.saxutils

TOOLS = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
SCRIPTS = sorted(name for name in os.listdir(TOOLS) if name.endswith((".sh", ".py")))

# (script, arguments, exit code, text in the output); NOT_PE is the absolute path of a file that is no program,
# FIFO of a named pipe nothing writes to, MISSING of no file.
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
    ("make_help.py", ["NOT_PE", "."], 1, "make_help: error: . is a folder"),
    ("make_sample_release.py", ["OUT", "--scale", "0"], 2, "--scale"),
    ("make_sample_release.py", ["NOT_PE/OUT"], 1, "make_sample_release: error: cannot write"),
    ("run_fuzzers.sh", ["0"], 2, "usage"),
    ("run_tests.sh", ["-R", "no_such_test"], 1, "no test matches"),
    ("set_run_from_swap.py", [], 2, "usage"),
    ("set_run_from_swap.py", ["NOT_PE"], 1, "not a PE file"),
    ("wine-env.sh", [], 2, "usage"),
    ("wine-setup.sh", ["version", "98"], 2, "usage"),
    ("wine-setup.sh", ["insert", "NOT_PE"], 2, "is no floppy image"),
    ("wine-setup.sh", ["insert", "FIFO"], 2, "FIFO is no floppy image"),
    ("wine-setup.sh", ["insert", "MISSING"], 2, "MISSING: no such image or folder"),
    ("wine-setup.sh", ["map", "A", "."], 2, "usage"),  # drive A: is the floppy drive: insert
    ("wine-setup.sh", ["map", "T", "MISSING"], 2, "MISSING: no such folder"),
]

# Two test programs' output as a CTest JUnit file holds it, each with a failing case that prints another run's
# skip lines, and the skipped cases the test command lists from it: none of those.
QUOTED = ("\n[==========] 1 test\n[ RUN      ] O.Case\nx.cpp(3): Skipped\nnot here\n[  SKIPPED ] O.Case (0 ms)\n"
          "test_q (m.C.test_q) ... skipped 'not here'\n")
RUNS = [("tools", "test_s (m.C.test_s) ... skipped 'no <FUSE>'\ntest_f (m.C.test_f) ... FAIL\n" + "=" * 70 + QUOTED),
        ("unit", "[==========] 2 tests\n[ RUN      ] S.Skips\nx.cpp(9): Skipped\nno FUSE & no A:\n"
         "[  SKIPPED ] S.Skips (0 ms)\n[ RUN      ] S.Fails\nx.cpp(12): error: " + QUOTED + "[  FAILED  ] S.Fails\n")]
SKIPPED = "  tools test_s: no <FUSE>\n  unit S.Skips: no FUSE & no A:\n"


class ToolsAnswerTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="tools-answer-")
        self.addCleanup(shutil.rmtree, self.tmp)
        self.paths = {name: os.path.join(self.tmp, name) for name in ("NOT_PE", "FIFO", "MISSING")}
        with open(self.paths["NOT_PE"], "w") as f:
            f.write("plain text, no program\n")
        os.mkfifo(self.paths["FIFO"])

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

    def test_bad_use_gets_the_exit_code_the_tools_table_lists(self):
        for script, args, code, text in EXIT_CODES:
            with self.subTest(script=script, args=args):
                run = self.run_tool(script, [self.paths.get(a, a) for a in args])
                self.assertEqual(code, run.returncode, run.stdout + run.stderr)
                self.assertIn(re.sub("|".join(self.paths), lambda m: self.paths[m.group()], text),
                              run.stdout + run.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.tmp, "OUT")), "a refused run wrote OUT")

    def test_the_skipped_cases_are_the_runs_own(self):
        junit = os.path.join(self.tmp, "results.xml")
        with open(junit, "w") as f:
            f.write("<testsuite>\n" + "".join('\t<testcase name="%s" status="fail">\n\t\t<system-out>%s</system-out>\n'
                                              "\t</testcase>\n" % (test, xml.sax.saxutils.escape(output))
                                              for test, output in RUNS) + "</testsuite>\n")
        run = subprocess.run(["awk", "-f", os.path.join(TOOLS, "skipped_cases.awk"), junit], stdout=subprocess.PIPE,
                             text=True)
        self.assertEqual(SKIPPED, run.stdout)

    def test_the_test_command_lists_a_case_that_skipped_itself(self):
        # The run below runs this case again, which then skips itself, while the other cases here
        # list the suite's tests with a ctest of their own (run_tests.sh -R no_such_test).
        if os.environ.get("TSINST_NESTED_TEST_RUN"):
            self.skipTest("made to skip by the test of the test command")
        run = subprocess.run([os.path.join(TOOLS, "run_tests.sh"), "-R", "^disk_set_builder$"],
                             env=dict(os.environ, TSINST_NESTED_TEST_RUN="1", TSINST_TOOLS_TESTS=os.path.basename(__file__)), stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=900)
        self.assertEqual(0, run.returncode, run.stdout)
        self.assertIn("test cases skipped: 1\n  disk_set_builder test_the_test_command_lists_a_case_that_skipped_itself:"
                      " made to skip by the test of the test command\n", run.stdout)
