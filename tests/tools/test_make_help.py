"""Tests of tools/make_help.py: the help file read back by a reader of its own."""

import os
import re
import resource
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
COMPILER = os.path.join(ROOT, "tools", "make_help.py")
SOURCE = os.path.join(ROOT, "help", "tsw_inst.txt")

# The topics the installer's windows ask for, with the titles the viewer shows.
INSTALLER_TOPICS = {
    4096: "Installing Tessaryn 3.0",
    4097: "Local installation",
    4098: "Network installation",
    4101: "Maintenance update",
}
REPORTS_TITLE = "When something goes wrong"


def lz77_expand(data):
    """Expands the help format's LZ77: a flag byte, then 8 literals or back references."""
    out, at = bytearray(), 0
    while at < len(data):
        flags = data[at]
        at += 1
        for bit in range(8):
            if at >= len(data):
                break
            if flags & (1 << bit):
                word = data[at] | data[at + 1] << 8
                at += 2
                for _ in range((word >> 12) + 3):
                    out.append(out[-(word & 0xFFF) - 1])
            else:
                out.append(data[at])
                at += 1
    return bytes(out)


class HelpFile:
    """What a viewer needs of a help file, read from its bytes."""

    def __init__(self, data):
        self.data = data
        magic, directory, _, size = struct.unpack_from("<IiiI", data, 0)
        assert magic == 0x00035F3F and size == len(data), "not a help file"
        self.directory = {name.decode(): struct.unpack("<i", value)[0]
                          for name, value in self.btree(self.internal(directory), self.string_key, 4)}

    def internal(self, offset):
        _, used, _ = struct.unpack_from("<iiB", self.data, offset)
        return self.data[offset + 9:offset + 9 + used]

    def file(self, name):
        return self.internal(self.directory[name])

    @staticmethod
    def string_key(page, at):
        end = page.index(b"\0", at)
        return page[at:end], end + 1

    @staticmethod
    def long_key(page, at):
        return page[at:at + 4], at + 4

    @staticmethod
    def btree(data, key, value_size):
        """[(key bytes, value bytes)] of every leaf, first leaf to last; value_size None: a string."""
        page_size, = struct.unpack_from("<H", data, 4)
        root, _, pages, levels, _ = struct.unpack_from("<hhhhi", data, 26)
        page_at = lambda number: 38 + number * page_size
        number = root
        for _ in range(levels - 1):
            number, = struct.unpack_from("<h", data, page_at(number) + 4)
        entries = []
        while number != -1:
            base = page_at(number)
            page = data[base:base + page_size]
            _, count, _, number = struct.unpack_from("<Hhhh", page, 0)
            at = 8
            for _ in range(count):
                k, at = key(page, at)
                if value_size is None:
                    v, at = HelpFile.string_key(page, at)
                else:
                    v, at = page[at:at + value_size], at + value_size
                entries.append((k, v))
        return entries

    def context_numbers(self):
        """{context number: topic offset} of |CTXOMAP."""
        data = self.file("|CTXOMAP")
        count, = struct.unpack_from("<H", data, 0)
        return dict(struct.unpack_from("<iI", data, 2 + 8 * i) for i in range(count))

    def system_records(self):
        data = self.file("|SYSTEM")
        magic, minor, _, _, flags = struct.unpack_from("<HHHiH", data, 0)
        assert magic == 0x036C and minor > 16
        records, at = {}, 12
        while at < len(data):
            kind, size = struct.unpack_from("<HH", data, at)
            records[kind] = data[at + 4:at + 4 + size]
            at += 4 + size
        return flags, records

    def topics(self):
        """{topic offset: (title, [jump hashes], text)} by walking the topic links."""
        flags, _ = self.system_records()
        raw = self.file("|TOPIC")
        blocks = [raw[i:i + 4096] for i in range(0, len(raw), 4096)]
        if flags in (4, 8):
            space, blocks = 0x4000, [b[:12] + lz77_expand(b[12:]) for b in blocks]
        else:
            space = 4096 - 12
        topics, position, counted = {}, 12, {}
        current = None
        while position not in (0, -1):
            block, offset = (position - 12) // space, (position - 12) % space
            data = blocks[block][12:]
            size, length2, _, following, length1, kind = struct.unpack_from("<iiiiiB", data, offset)
            data1 = data[offset + 21:offset + length1]
            data2 = data[offset + length1:offset + size]
            assert len(data2) == length2, "a topic link crosses its block"
            characters = counted.get(block, 0)
            if kind == 0x02:
                current = (block << 15) + characters
                topics[current] = (data2.split(b"\0")[0].decode("cp1252"), [], "")
            elif kind == 0x20:
                jumps, text, shown = self.display_record(data1, data2)
                title, known, before = topics[current]
                topics[current] = (title, known + jumps, before + text)
                counted[block] = characters + shown
            position = following
        return topics

    @staticmethod
    def display_record(data1, data2):
        """The jump hashes, text and character count of a display record."""
        def compressed(at, wide):
            """(unsigned value, next position) of a compressed short (or long when wide)."""
            step = 2 if wide else 1
            value = int.from_bytes(data1[at:at + step], "little")
            if value & 1:
                return int.from_bytes(data1[at:at + 2 * step], "little") >> 1, at + 2 * step
            return value >> 1, at + step
        _, at = compressed(0, True)                          # size
        shown, at = compressed(at, False)                    # characters
        at += 4                                              # two bytes, paragraph id
        bits, = struct.unpack_from("<H", data1, at)
        at += 2
        for bit in (0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040):
            if bits & bit:
                _, at = compressed(at, bit == 0x0001)
        assert not bits & 0x0300, "borders and tabs are not written"
        jumps, strings = [], data2.split(b"\0")
        text = strings.pop(0)
        while data1[at] != 0xFF:
            command = data1[at]
            at += {0x80: 3, 0x81: 1, 0x82: 1, 0x83: 1, 0x89: 1, 0xE3: 5, 0xE7: 5}[command]
            if command in (0xE3, 0xE7):
                jumps.append(struct.unpack_from("<i", data1, at - 4)[0])
            text += (b" " if command in (0x81, 0x82) else b"") + strings.pop(0)
        return jumps, text.decode("cp1252"), shown


def compile_source(text):
    with tempfile.TemporaryDirectory() as tmp:
        source, out = os.path.join(tmp, "help.txt"), os.path.join(tmp, "help.hlp")
        with open(source, "w", encoding="utf-8") as f:
            f.write(text)
        run = subprocess.run([sys.executable, COMPILER, "help.txt", "help.hlp"], cwd=tmp, stderr=subprocess.PIPE,
                             text=True)
        data = None
        if run.returncode == 0:
            with open(out, "rb") as f:
                data = f.read()
    return run, data


def dialog_buttons():
    """[(width, x of the leftmost push button)] of each dialog in the installer's resources, in dialog units."""
    with open(os.path.join(ROOT, "resources", "tsinst.rc"), encoding="utf-8") as f:
        dialogs = f.read().split(" DIALOG ")[1:]
    return [(int(d.split(",")[2]), min(map(int, re.findall(r"PUSHBUTTON.*, (\d+), \d+, \d+, \d+", d))))
            for d in dialogs]


class InstallerHelpFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(SOURCE, encoding="utf-8") as f:
            run, data = compile_source(f.read())
        assert run.returncode == 0, run.stderr
        cls.data = data
        cls.help = HelpFile(data)

    def test_directory_lists_the_internal_files_and_the_file_fits_the_setup_folder(self):
        self.assertEqual(["|CONTEXT", "|CTXOMAP", "|FONT", "|KWBTREE", "|KWDATA", "|KWMAP", "|SYSTEM", "|TOPIC",
                          "|TTLBTREE"],
                         sorted(self.help.directory))
        self.assertLessEqual(len(self.data), 65536)
        _, records = self.help.system_records()
        self.assertEqual(b"Tessaryn 3.0 Installation Help\0", records[1])
        self.assertIn(2, records, "a copyright record")

    def test_each_context_number_opens_its_topic_by_title(self):
        topics = self.help.topics()
        numbers = self.help.context_numbers()
        titles = {struct.unpack("<I", k)[0]: v.decode("cp1252")
                  for k, v in self.help.btree(self.help.file("|TTLBTREE"), HelpFile.long_key, None)}
        self.assertEqual(sorted(INSTALLER_TOPICS), sorted(numbers))
        for number, title in INSTALLER_TOPICS.items():
            with self.subTest(context=number):
                self.assertIn(numbers[number], sorted(topics), "the number maps to no topic header")
                self.assertEqual(title, topics[numbers[number]][0])
                self.assertEqual(title, titles[numbers[number]], "the title the history and search show")
                self.assertTrue(topics[numbers[number]][2].startswith(title), "the page starts with its heading")

    def test_every_jump_and_keyword_lands_on_a_topic_and_each_installer_topic_leads_to_the_reports(self):
        topics = self.help.topics()
        keywords = self.help.btree(self.help.file("|KWBTREE"), HelpFile.string_key, 6)
        found = self.help.file("|KWDATA")
        for keyword, value in keywords:
            count, at = struct.unpack("<hI", value)
            for offset in struct.unpack_from("<%dI" % count, found, at):
                self.assertIn(offset, sorted(topics), "keyword %s" % keyword)
        self.assertIn(b"INSTALL.OPT", [k for k, _ in keywords])
        contexts = {struct.unpack("<i", k)[0]: struct.unpack("<I", v)[0]
                    for k, v in self.help.btree(self.help.file("|CONTEXT"), HelpFile.long_key, 4)}
        reports = [offset for offset, (title, _, _) in topics.items() if title == REPORTS_TITLE]
        self.assertEqual(1, len(reports))
        for offset, (title, jumps, _) in topics.items():
            with self.subTest(topic=title):
                targets = [contexts.get(h) for h in jumps]
                self.assertTrue(all(t in topics for t in targets), "a jump to %s lands nowhere" % targets)
                if title in INSTALLER_TOPICS.values():
                    self.assertIn(reports[0], targets)
        self.assertIn("Insufficient Disk Space", topics[reports[0]][2])

    def test_the_viewer_window_lies_on_a_small_screen_and_beside_the_centred_dialogs_buttons(self):
        x, y, width, height = struct.unpack_from("<hhhh", self.help.system_records()[1][6], 72)
        for screen_x, screen_y in ((640, 480), (1024, 768)):
            for scale_x, scale_y in ((1, 1), (screen_x / 1024, screen_y / 1024)):  # pixels, 1024ths
                self.assertTrue((x + width) * scale_x <= screen_x and (y + height) * scale_y <= screen_y)
        # At 1024 x 768 both readings give one x: left of the buttons at 1.5 to 2 pixels a dialog unit.
        for dialog_width, button_x in dialog_buttons():
            for unit in (1.5, 2.0):
                self.assertLessEqual(x + width, (1024 - dialog_width * unit) / 2 + button_x * unit)

    def test_topics_spread_over_several_blocks_keep_their_places(self):
        # Each topic of 60 paragraphs takes more than one 4 KB topic block.
        body = "\n\n".join("Paragraph %d of a long topic, with some words in it." % i for i in range(60))
        text = "title Long\n" + "".join("topic t%d %d Topic %d\n%s [next](t%d)\n\n" % (i, 100 + i, i, body, (i + 1) % 4)
                                        for i in range(4))
        run, data = compile_source(text)
        self.assertEqual(0, run.returncode, run.stderr)
        help_file = HelpFile(data)
        topics = help_file.topics()
        self.assertEqual(["Topic %d" % i for i in range(4)], [t[0] for _, t in sorted(topics.items())])
        self.assertGreater(max(topics) >> 15, 2)
        numbers = help_file.context_numbers()
        self.assertEqual(["Topic %d" % i for i in range(4)], [topics[numbers[100 + i]][0] for i in range(4)])


class SourceFaultTest(unittest.TestCase):
    def test_bad_context_numbers_and_control_characters_are_refused_with_their_line(self):
        for body, fault in (("topic a 4\u00b297 T\n", "line 2: context number 4\u00b297"),
                            ("topic a \u0664\u0660\uff19\uff17 T\n", "line 2: context number \u0664\u0660\uff19\uff17"),
                            ("topic a 2147483648 T\n", "line 2: context number 2147483648"),
                            ("topic a 1 T\nA NUL \0\n", "line 3: control character U+0000"),
                            ("topic a 1 T\nA form feed \f breaks no line\nText\n", "line 3: control character U+000C")):
            run, data = compile_source("title T\n" + body)
            fault = "make_help: error: help.txt: " + fault
            self.assertEqual((1, None, fault), (run.returncode, data, run.stderr[:len(fault)]))
        run, data = compile_source("title T\ntopic a 2147483647 T\nText\n")
        self.assertEqual([2147483647], list(HelpFile(data).context_numbers()), run.stderr)

    def test_a_full_disk_leaves_no_file(self):
        # The file may grow to 12 KB, as on a disk that fills up there.
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (12288, 12288))
        with tempfile.TemporaryDirectory() as tmp:
            run = subprocess.run([sys.executable, COMPILER, SOURCE, os.path.join(tmp, "full.hlp")], preexec_fn=limit,
                                 stderr=subprocess.PIPE, text=True)
            self.assertEqual((1, []), (run.returncode, os.listdir(tmp)), run.stderr)

    def test_an_output_that_is_a_link_is_written_through(self):
        with tempfile.TemporaryDirectory() as tmp:
            os.symlink("shared.hlp", os.path.join(tmp, "tsw_inst.hlp"))
            run = subprocess.run([sys.executable, COMPILER, SOURCE, os.path.join(tmp, "tsw_inst.hlp")],
                                 stderr=subprocess.PIPE, text=True)
            with open(os.path.join(tmp, "shared.hlp"), "rb") as f:
                magic = f.read(4)
            self.assertEqual((0, "shared.hlp", b"?_\3\0", ["shared.hlp", "tsw_inst.hlp"]),
                             (run.returncode, os.readlink(os.path.join(tmp, "tsw_inst.hlp")), magic,
                              sorted(os.listdir(tmp))), run.stderr)


if __name__ == "__main__":
    unittest.main()
