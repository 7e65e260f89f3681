"""Tests of tools/make_icon.py."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "tools"))


class IconTest(unittest.TestCase):
    @unittest.skipUnless(shutil.which("identify"), "ImageMagick not installed")
    def test_icon_holds_32_and_16_pixel_images(self):
        with tempfile.TemporaryDirectory() as tmp:
            ico = os.path.join(tmp, "t.ico")
            subprocess.run([sys.executable, os.path.join(TOOLS, "make_icon.py"), ico], check=True)
            run = subprocess.run(["identify", "-format", "%m %wx%h %[opaque]\n", ico],
                                 check=True, stdout=subprocess.PIPE, text=True)
        images = run.stdout.split("\n")[:-1]
        self.assertEqual([i.split()[:2] for i in images], [["ICO", "32x32"], ["ICO", "16x16"]])
        # Each image has a transparent background around the mast.
        self.assertEqual([i.split()[2].lower() for i in images], ["false", "false"])


if __name__ == "__main__":
    unittest.main()
