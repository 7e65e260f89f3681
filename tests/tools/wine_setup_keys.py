"""tools/wine-setup.sh driven by keys on its private display, as a person runs A:\\SETUP.EXE by hand, and its
images and display server. Run by CTest in a test lane (WINEPREFIX, TSINST_TEST_DATA)."""

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

    def own_folder(self):
        """A folder for the script's notes, mounts and screenshots; stop ends every program of the prefix, and
        its server: the lane's later tests get one again."""
        tmp = tempfile.mkdtemp(prefix="wine-setup-")
        self.addCleanup(shutil.rmtree, tmp, True)
        self.env = dict(os.environ, TSINST_BUILD=tmp)
        self.addCleanup(subprocess.run, ["bash", "-c", 'source "$1" && start_wine_server', "restart",
                                         os.path.join(ROOT, "tools", "wine-env.sh")])
        return tmp

    def test_insert_shows_an_image_rebuilt_at_its_path_and_stop_unmounts_it(self):
        if not (os.path.exists("/dev/fuse") and shutil.which("fusermount")):
            self.skipTest("no FUSE on this machine")
        tmp = self.own_folder()
        os.symlink(os.path.join(os.environ.get("TSINST_BUILD", os.path.join(ROOT, "build")), "native"),
                   os.path.join(tmp, "native"))
        image, drive = os.path.join(tmp, "disk.img"), os.path.join(os.environ["WINEPREFIX"], "dosdevices", "a:")
        self.addCleanup(self.wine_setup, "stop")
        # Rebuilt in place: the same file, size and inode, only its time changes.
        for built, held in (("disk1.img", "SETUP.EXE"), ("disk2.img", "DISK_2.LST")):
            shutil.copyfile(os.path.join(DATA, "images", built), image)
            self.wine_setup("insert", image)
            self.assertIn(held, os.listdir(drive), built)
        self.wine_setup("stop")
        with open("/proc/mounts") as mounts:
            self.assertNotIn(os.path.join(tmp, "wine-setup", "mnt"), mounts.read())

    def test_stop_ends_only_the_display_server_of_its_own_run(self):
        if not shutil.which("Xvfb"):
            self.skipTest("no Xvfb on this machine")
        tmp = self.own_folder()
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"], pass_fds=(write,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        self.addCleanup(xvfb.wait)
        self.addCleanup(xvfb.kill)
        with os.fdopen(read) as answer:  # the number, then a line end: the pipe stays open for both
            display = ":" + answer.readline().strip()
        sleeper = subprocess.Popen(["sleep", "600"])
        self.addCleanup(sleeper.wait)
        self.addCleanup(sleeper.kill)
        os.makedirs(os.path.join(tmp, "wine-setup"))
        # (the note of a run --private, the process that must end or live on)
        for note, process, ends in (("%s %d" % (display, sleeper.pid), sleeper, False),
                                    (":%d %d" % (int(display[1:]) + 1, xvfb.pid), xvfb, False),
                                    ("%s %d" % (display, xvfb.pid), xvfb, True)):
            with self.subTest(note=note):
                with open(os.path.join(tmp, "wine-setup", "private"), "w") as f:
                    f.write(note + "\n")
                self.assertIn("private display %s" % note.split()[0], self.wine_setup("stop"))
                try:
                    process.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    pass
                self.assertEqual(ends, process.poll() is not None)

    def test_keys_reach_the_help_viewer_and_the_window_active_after_it(self):
        if os.path.exists(os.path.join(DATA, "pe32.unavailable")):
            self.skipTest("32-bit programs cannot start on this machine (%s/pe32.unavailable)" % DATA)
        disk = os.path.join(self.own_folder(), "disk1")
        os.mkdir(disk)
        subprocess.run(["mcopy", "-s", "-m", "-i", os.path.join(DATA, "images", "disk1.img"), "::*", disk],
                       env=dict(os.environ, MTOOLSRC="/dev/null"), check=True)
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
