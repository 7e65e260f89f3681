"""tools/wine-setup.sh as a person drives it by keys on a private display: A:\\SETUP.EXE from a copy of
disk 1, Help from the main window's menu, the help viewer closed by its keys, the installer closed by its
keys. Run by CTest in a test lane (WINEPREFIX, TSINST_TEST_DATA)."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_SETUP = os.path.join(ROOT, "tools", "wine-setup.sh")
MAIN_WINDOW = "Tessaryn 3.0 Installation"
HELP_VIEWER = "Tessaryn 3.0 Installation Help"


class WineSetupByKeysTest(unittest.TestCase):
    def setUp(self):
        data = os.environ["TSINST_TEST_DATA"]
        unavailable = os.path.join(data, "pe32.unavailable")
        if os.path.exists(unavailable):
            with open(unavailable) as f:
                self.skipTest("32-bit programs cannot start on this machine: " + f.read().strip())
        self.tmp = tempfile.mkdtemp(prefix="wine-setup-keys-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        # The script's notes and screenshots in a folder of the test's own, not in build/.
        self.env = dict(os.environ, TSINST_BUILD=self.tmp)
        self.disk = os.path.join(self.tmp, "disk1")
        os.mkdir(self.disk)
        subprocess.run(["mcopy", "-s", "-m", "-i", os.path.join(data, "images", "disk1.img"), "::*", self.disk],
                       env=dict(os.environ, MTOOLSRC="/dev/null"), check=True)
        # Whatever ran in the prefix before ends; so does, at the end, all the script started. The
        # prefix's own server, which stop ends too, is started again for the lane's later tests.
        self.addCleanup(subprocess.run, ["bash", "-c", 'source "$1" && start_wine_server', "-",
                                         os.path.join(ROOT, "tools", "wine-env.sh")])
        self.addCleanup(self.wine_setup, "eject")
        self.addCleanup(self.wine_setup, "stop")
        self.wine_setup("stop")

    def wine_setup(self, *args):
        run = subprocess.run([WINE_SETUP] + list(args), env=self.env, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=120)
        self.assertEqual(0, run.returncode, run.stdout)
        return run.stdout

    def assert_active_window_becomes(self, title, seconds=60):
        deadline = time.monotonic() + seconds
        while True:
            shot = self.wine_setup("shot")
            if '(active window: "%s")' % title in shot or time.monotonic() > deadline:
                break
            time.sleep(1)
        self.assertIn('(active window: "%s")' % title, shot)

    def test_keys_reach_the_help_viewer_and_the_window_active_after_it(self):
        self.wine_setup("insert", self.disk)
        self.wine_setup("run", "--private")
        self.assert_active_window_becomes(MAIN_WINDOW)
        self.wine_setup("keys", "alt+h")
        self.assert_active_window_becomes(HELP_VIEWER)
        self.wine_setup("keys", "alt+F4")
        self.assert_active_window_becomes(MAIN_WINDOW)
        self.wine_setup("keys", "alt+F4")
        deadline = time.monotonic() + 60
        while not os.path.exists(os.path.join(self.tmp, "wine-setup", "setup.exit")) and time.monotonic() < deadline:
            time.sleep(1)
        self.assertIn("A:\\SETUP.EXE ended with exit code 0\n", self.wine_setup("stop"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
