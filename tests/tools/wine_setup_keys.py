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
        os.makedirs(os.path.join(self.own_folder(), "wine-setup"))
        read, write = os.pipe()
        processes = [subprocess.Popen(command, pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                     for command in (["sleep", "600"], ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"])]
        for process in processes:
            self.addCleanup(process.wait)
            self.addCleanup(process.kill)
        os.close(write)
        with os.fdopen(read) as answer:  # the number, then a line end: the pipe stays open for both
            display = int(answer.readline())
        # (the display and the process a note of run --private names, whether stop ends that process)
        for number, process, ends in ((display, processes[0], False), (display + 1, processes[1], False),
                                      (display, processes[1], True)):
            with self.subTest(display=number, process=process.args[0]):
                with open(os.path.join(self.env["TSINST_BUILD"], "wine-setup", "private"), "w") as f:
                    f.write(":%d %d\n" % (number, process.pid))
                self.assertIn("private display :%d" % number, self.wine_setup("stop"))
                time.sleep(2)  # a process sent a signal has ended by then
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
