"""tools/wine-env.sh's prefixes: each new one a copy of one booted prefix per Wine and set-up, with a stand-in Wine
that records its boots."""

import glob
import os
import subprocess
import tempfile
import unittest

WINE_ENV = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools", "wine-env.sh"))

# wineboot leaves what a copy must treat apart: the system libraries, the registry, the server's own name.
FAKE_WINE = """#!/bin/sh
case "$1" in
--version) echo "$FAKE_WINE_VERSION" ;;
wineboot) echo boot >>"$FAKE_LOG"
          mkdir -p "$WINEPREFIX/drive_c/windows/system32" "$WINEPREFIX/drive_c/windows/syswow64"
          echo dll >"$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
          echo dll >"$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll"
          echo reg >"$WINEPREFIX/system.reg"; echo id >"$WINEPREFIX/wineserver" ;;
esac
"""


class BootedPrefix(unittest.TestCase):
    def test_new_prefixes_are_copies_of_one_boot_per_wine_version(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name, text in (("wine64", FAKE_WINE), ("wine", FAKE_WINE), ("wineserver64", "#!/bin/sh\n")):
                with open(os.path.join(tmp, name), "w") as f:
                    f.write(text)
                os.chmod(os.path.join(tmp, name), 0o755)
            log = os.path.join(tmp, "boots")

            def ensure(prefix, version):
                env = dict(os.environ, XDG_CACHE_HOME=os.path.join(tmp, "cache"), TSINST_BUILD=os.path.join(tmp, "build"),
                           WINELOADER=os.path.join(tmp, "wine64"), WINESERVER=os.path.join(tmp, "wineserver64"),
                           WINEPREFIX=os.path.join(tmp, prefix), FAKE_WINE_VERSION=version, FAKE_LOG=log)
                subprocess.run(["bash", "-c", 'source "$1" && wine_ensure_prefix', "sh", WINE_ENV], env=env, check=True)

            boots = lambda: os.path.getsize(log) // len("boot\n")  # noqa: E731
            templates = lambda: glob.glob(os.path.join(tmp, "cache", "tsinst-wine", "prefix-*"))  # noqa: E731

            ensure("one", "wine-8.0")
            ensure("two", "wine-8.0")
            self.assertEqual(1, boots())
            [template] = templates()
            two = os.path.join(tmp, "two")
            self.assertTrue(os.path.samefile(os.path.join(template, "drive_c/windows/system32/kernel32.dll"),
                                             os.path.join(two, "drive_c/windows/system32/kernel32.dll")))
            self.assertTrue(all(os.path.isfile(os.path.join(two, name)) for name in ("system.reg", ".tsinst-ready")))
            self.assertFalse(os.path.exists(os.path.join(two, "wineserver")))
            self.assertEqual(os.path.join(two, "no-disk"), os.readlink(os.path.join(two, "dosdevices", "a:")))

            # Another Wine boots its own, and the old one goes.
            ensure("three", "wine-9.0")
            self.assertEqual(2, boots())
            self.assertEqual(1, len(templates()))
            self.assertNotEqual([template], templates())

            # A folder that holds a prefix already (one's own) is set up where it is, not replaced by a copy.
            own = os.path.join(tmp, "own")
            os.makedirs(own)
            with open(os.path.join(own, "system.reg"), "w") as f:
                f.write("mine")
            ensure("own", "wine-9.0")
            self.assertEqual(3, boots())
            self.assertTrue(os.path.isfile(os.path.join(own, ".tsinst-ready")))


class WineRun(unittest.TestCase):
    def test_programs_start_with_address_randomization_off(self):
        # Debian's Wine 8 has no preloader: with randomization on, about one start in 5,000 fails.
        with tempfile.TemporaryDirectory() as prefix:
            loader, system = os.path.join(prefix, "wine64"), os.path.join(prefix, "drive_c", "windows", "syswow64")
            os.makedirs(system)
            for path in (os.path.join(system, "kernel32.dll"), os.path.join(prefix, ".tsinst-ready"), loader):
                with open(path, "w") as f:
                    f.write("#!/bin/sh\ncat /proc/self/personality\n")
            os.chmod(loader, 0o755)
            env = dict(os.environ, WINEPREFIX=prefix, WINELOADER=loader, TSINST_TEST_DATA="")
            run = subprocess.run([os.path.join(os.path.dirname(WINE_ENV), "wine-run.sh"), "PROGRAM.EXE"], env=env,
                                 stdout=subprocess.PIPE, text=True, check=True)
            self.assertTrue(int(run.stdout.split()[-1], 16) & 0x0040000, "ADDR_NO_RANDOMIZE not set: " + run.stdout)

if __name__ == "__main__":
    unittest.main()
