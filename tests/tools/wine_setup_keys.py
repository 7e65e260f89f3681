"""tools/wine-setup.sh driven by keys on its private display, as a person runs A:\\SETUP.EXE by hand. Run by
CTest in a test lane (WINEPREFIX, TSINST_TEST_DATA)."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.environ["TSINST_TEST_DATA"]


class WineSetupByKeysTest(unittest.TestCase):
    def wine_setup(self, *args):
        run = subprocess.run([os.path.join(ROOT, "tools", "wine-setup.sh")] + list(args), env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
        self.assertEqual(0, run.returncode, run.stdout)
        return run.stdout

    def test_keys_reach_the_help_viewer_and_the_window_active_after_it(self):
        if os.path.exists(os.path.join(DATA, "pe32.unavailable")):
            self.skipTest("32-bit programs cannot start on this machine (%s/pe32.unavailable)" % DATA)
        tmp = tempfile.mkdtemp(prefix="wine-setup-keys-")
        self.addCleanup(shutil.rmtree, tmp, True)
        self.env = dict(os.environ, TSINST_BUILD=tmp)  # the script's notes and screenshots
        disk = os.path.join(tmp, "disk1")
        os.mkdir(disk)
        subprocess.run(["mcopy", "-s", "-m", "-i", os.path.join(DATA, "images", "disk1.img"), "::*", disk],
                       env=dict(os.environ, MTOOLSRC="/dev/null"), check=True)
        # stop ends every program of the prefix, and its server: the lane's later tests get one again.
        self.addCleanup(subprocess.run, ["bash", "-c", 'source "$0" && start_wine_server',
                                         os.path.join(ROOT, "tools", "wine-env.sh")])
        self.addCleanup(self.wine_setup, "stop")
        self.wine_setup("stop")
        self.wine_setup("insert", disk)
        self.wine_setup("run", "--private")
        for keys, active in (([], "Tessaryn 3.0 Installation"), (["alt+h"], "Tessaryn 3.0 Installation Help"),
                             (["alt+F4"], "Tessaryn 3.0 Installation")):
            shot = self.wine_setup("keys", *keys) if keys else ""
            for _ in range(60):
                if '(active window: "%s")' % active in shot:
                    break
                time.sleep(1)
                shot = self.wine_setup("shot")
            self.assertIn('(active window: "%s")' % active, shot, "after keys %s" % keys)


if __name__ == "__main__":
    unittest.main(verbosity=2)
