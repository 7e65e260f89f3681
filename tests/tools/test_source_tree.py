"""Rules of the source tree that no compiler checks."""

import os
import re
import subprocess
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# Lowest first; a layer includes only its own and lower ones.
LAYERS = {"framework": 0, "shell": 1, "engine": 2, "progman": 2, "dialogs": 3, "front": 3}


def stored_files(folder):
    """[(mode, path)] of the files git stores below folder."""
    run = subprocess.run(["git", "-C", ROOT, "ls-files", "-s", "--", folder], stdout=subprocess.PIPE, text=True)
    return [(line.split()[0], line.split("\t", 1)[1]) for line in run.stdout.splitlines()]


class SourceTreeTest(unittest.TestCase):
    def setUp(self):
        if not stored_files("tools"):
            self.skipTest("not a git checkout")

    def test_scripts_in_tools_are_stored_executable(self):
        # The documented commands run as written from a fresh clone.
        scripts = {}
        for mode, path in stored_files("tools"):
            with open(os.path.join(ROOT, path), "rb") as f:
                if f.read(2) == b"#!":
                    scripts[path] = mode
        self.assertIn("tools/make_disk_set.py", scripts)
        self.assertEqual([], sorted(path for path, mode in scripts.items() if mode != "100755"))

    def test_no_include_runs_up_a_layer(self):
        upward = []
        for layer, level in LAYERS.items():
            for _, path in stored_files(layer):
                with open(os.path.join(ROOT, path), encoding="latin-1") as f:
                    for included in re.findall(r'^\s*#\s*include\s+"(\w+)/', f.read(), re.M):
                        if LAYERS.get(included, -1) > level:
                            upward.append("%s includes %s/" % (path, included))
        self.assertEqual([], upward)
