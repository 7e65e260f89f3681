#!/usr/bin/env python3
"""Compiles the installer's help source into a Windows help file.

    make_help.py SOURCE OUT.hlp

Writes the Windows 3.1 variant of the help file format, which the help
viewers of Windows 3.1, Windows 95 and NT 3.51 and 4.0 read: the internal
file system with its directory, |SYSTEM (title, copyright, contents topic,
the main window's caption and place), |TOPIC, |CONTEXT (context names by
hash, the targets of jumps), |CTXOMAP (the context numbers that HELP_CONTEXT
asks for), |FONT, |KWBTREE, |KWDATA and |KWMAP (the search's keywords) and
|TTLBTREE (topic titles for the viewer's history and search).

The source is plain text:

    # a comment line
    title Tessaryn 3.0 Installation Help
    copyright Copyright ...
    topic NAME [NUMBER] Title of the topic
    keywords first keyword; second keyword

NUMBER, the context number HELP_CONTEXT asks for, is plain decimal digits,
0 to 2147483647; a word after the name that starts with a digit is taken as
one. The topic's paragraphs follow, separated by blank lines. The search
lists each topic under its title and its keywords. Lines of one
paragraph are joined with a space; a line starting with "- " starts a list
item. In a paragraph, **text** is bold and [text](NAME) jumps to topic NAME.
The topic's title is shown as its heading. The first topic is the contents.
The source is UTF-8 text without control characters (a tab included). A
fault is reported with the source's name and its line, and exit code 1; so is
a source the format has no room for (a paragraph longer than a topic block,
more than 32,767 topics under one keyword, a file over 64 KB). The file is
written beside OUT under a temporary name and takes its name once whole: a
failed write (a full disk) leaves no file.

Exit code: 0 when written; 1 for a fault in the source, a source that cannot
be read or an OUT that cannot be written; 2 for bad arguments.
"""

import argparse
import os
import re
import struct
import sys
import unicodedata

# Topic blocks of 4 KB, each a 12-byte header and LZ77 data that expands into a
# 16 KB space, which topic positions address. The data is stored as literals
# only (a flag byte of 0 before every 8 bytes): nothing is compressed, but the
# positions mean the same to every reader. Positions in uncompressed blocks
# are not read alike once the topics take more than one block.
TOPIC_BLOCK_SIZE = 4096
TOPIC_BLOCK_HEADER = 12
TOPIC_BLOCK_SPACE = 0x4000
TOPIC_BLOCK_DATA = (TOPIC_BLOCK_SIZE - TOPIC_BLOCK_HEADER) * 8 // 9
SYSTEM_FLAGS_LZ77_4K = 4
TOPIC_LINK_HEADER = 21
RECORD_TOPIC_HEADER = 0x02
RECORD_DISPLAY = 0x20

FILE_MAGIC = 0x00035F3F
FILE_HEADER = 9
BTREE_MAGIC = 0x293B
DIRECTORY_PAGE = 1024
BTREE_PAGE = 2048
# The file goes into SETUP on disk 1 beside the executables, which keep to 64 KB too.
MAX_HELP_FILE_BYTES = 65536
# |KWDATA counts a keyword's topics in a signed 16-bit number.
MAX_KEYWORD_TOPICS = 32767
SYSTEM_MAGIC = 0x036C
SYSTEM_MINOR_HC31 = 21

# Formatting commands of a display record.
CMD_FONT = 0x80
CMD_PARAGRAPH_END = 0x82
CMD_JUMP = 0xE3
CMD_HOTSPOT_END = 0x89
CMD_END = 0xFF

# |FONT: one face, three descriptors (half points, the viewer's font family 3 = swiss).
FACE_NAMES = ["Arial"]
FACE_NAME_SIZE = 32
FONT_FAMILY_SWISS = 3
FONT_NORMAL, FONT_BOLD, FONT_HEADING = 0, 1, 2
FONTS = [  # (bold, half points)
    (False, 20),
    (True, 20),
    (True, 24),
]

# Paragraph layout, in half points: space above, space below, left indent,
# first-line indent.
PARAGRAPH_STYLES = {
    "heading": (0, 12, 0, 0),
    "text": (0, 8, 0, 0),
    "text after list": (6, 8, 0, 0),
    "item": (0, 6, 24, -12),
}
BULLET = "\u2022 "

CONTEXT_NAME = re.compile(r"^[A-Za-z0-9_.]+$")
PLAIN_DECIMAL = re.compile(r"^[0-9]+$", re.ASCII)
HEX_NUMBER = re.compile(r"^0[xX]")
MAX_CONTEXT_NUMBER = 2 ** 31 - 1
INLINE = re.compile(r"\*\*(.+?)\*\*|\[(.+?)\]\(([A-Za-z0-9_.]+)\)")


class HelpSourceError(Exception):
    """A fault in the help source that stops the compilation."""


# --------------------------------------------------------------------------
# Source


class Topic:
    def __init__(self, name, number, title):
        self.name, self.number, self.title = name, number, title
        self.paragraphs = []  # (style, [(text, font, jump target or None)])
        self.keywords = []    # the search's keywords besides the title


def parse_runs(text, line_number):
    """Splits paragraph text into runs of (text, font, jump target)."""
    runs, at = [], 0
    for match in INLINE.finditer(text):
        if match.start() > at:
            runs.append((text[at:match.start()], FONT_NORMAL, None))
        if match.group(1) is not None:
            runs.append((match.group(1), FONT_BOLD, None))
        else:
            runs.append((match.group(2), FONT_NORMAL, match.group(3)))
        at = match.end()
    if at < len(text):
        runs.append((text[at:], FONT_NORMAL, None))
    for run_text, _, _ in runs:
        if "**" in run_text or "](" in run_text:
            raise HelpSourceError("line %d: unbalanced ** or jump" % line_number)
    return runs


def decode_source(data):
    """The source's text: UTF-8, with or without a byte order mark."""
    try:
        return data.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        raise HelpSourceError("line %d: not UTF-8 text" % (data[:e.start].count(b"\n") + 1))


def refuse_control_characters(line, line_number):
    """A control character (a NUL, a tab, a form feed, ...) would go into the file as text."""
    for ch in line:
        if unicodedata.category(ch) in ("Cc", "Zl", "Zp"):
            raise HelpSourceError("line %d: control character U+%04X" % (line_number, ord(ch)))


def looks_numeric(field):
    """Whether the field after a topic's name is meant as its context number (4097, -1, 0x1001, 4²97)."""
    digits = field.lstrip("+-")
    return bool(digits) and (digits.isnumeric() or digits[0].isdigit() or HEX_NUMBER.match(digits) is not None)


def context_number(field, line_number):
    """A context number: plain decimal digits, 0 to 2^31 - 1, as HELP_CONTEXT passes a signed 32-bit value."""
    if not PLAIN_DECIMAL.match(field) or int(field) > MAX_CONTEXT_NUMBER:
        raise HelpSourceError("line %d: context number %s is not a decimal number of 0 to %d"
                              % (line_number, field, MAX_CONTEXT_NUMBER))
    return int(field)


def parse_source(text):
    """Returns (title, copyright, [Topic]) from the help source."""
    title = copyright_text = None
    topics = []
    lines = []  # the open paragraph: (style, [line texts], first line number)

    def close_paragraph():
        if lines:
            style, parts, number = lines.pop()
            if not topics:
                raise HelpSourceError("line %d: text before the first topic" % number)
            if style == "text" and topics[-1].paragraphs and topics[-1].paragraphs[-1][0] == "item":
                style = "text after list"
            topics[-1].paragraphs.append((style, parse_runs(" ".join(parts), number)))

    # Only a line feed ends a line: the other breaks Python knows are control
    # characters here, refused with the line they stand in.
    for number, raw in enumerate(text.split("\n"), 1):
        raw = raw[:-1] if raw.endswith("\r") else raw
        refuse_control_characters(raw, number)
        line = raw.strip()
        if line.startswith("#"):
            continue
        if not line:
            close_paragraph()
            continue
        keyword, _, rest = line.partition(" ")
        if keyword == "title" and not topics:
            title = rest.strip()
        elif keyword == "copyright" and not topics:
            copyright_text = rest.strip()
        elif keyword == "keywords" and topics and not lines:
            topics[-1].keywords += [k.strip() for k in rest.split(";") if k.strip()]
        elif keyword == "topic":
            close_paragraph()
            fields = rest.split(None, 2)
            if len(fields) >= 2 and looks_numeric(fields[1]):
                name, topic_number, topic_title = fields[0], context_number(fields[1], number), " ".join(fields[2:])
            else:
                name, topic_number, topic_title = fields[0] if fields else "", None, " ".join(fields[1:])
            if not CONTEXT_NAME.match(name) or not topic_title:
                raise HelpSourceError("line %d: topic needs a name of A-Z, a-z, 0-9, _ or . and a title" % number)
            topics.append(Topic(name, topic_number, topic_title))
        elif line.startswith("- "):
            close_paragraph()
            lines.append(("item", [BULLET + line[2:].strip()], number))
        elif lines:
            lines[-1][1].append(line)
        else:
            lines.append(("text", [line], number))
    close_paragraph()

    if not title or not topics:
        raise HelpSourceError("the source needs a title line and at least one topic")
    names = [t.name.upper() for t in topics]
    if len(set(names)) != len(names):
        raise HelpSourceError("two topics share a name")
    numbers = [t.number for t in topics if t.number is not None]
    if len(set(numbers)) != len(numbers):
        raise HelpSourceError("two topics share a context number")
    for topic in topics:
        for _, runs in topic.paragraphs:
            for _, _, target in runs:
                if target is not None and target.upper() not in names:
                    raise HelpSourceError("topic %s jumps to %s, which is no topic" % (topic.name, target))
    return title, copyright_text or "", topics


# --------------------------------------------------------------------------
# Encodings


def encode_text(text):
    try:
        return text.encode("cp1252")
    except UnicodeEncodeError as e:
        raise HelpSourceError("text outside the Western code page: %r" % text[e.start:e.end])


def context_hash(name):
    """The viewer's hash of a context name (0-9, A-Z, a-z, _ and .), as a signed 32-bit value."""
    value = 0
    for ch in name.upper():
        if ch.isdigit():
            code = 0x0A if ch == "0" else ord(ch) - 0x30
        elif ch == ".":
            code = 0x0C
        elif ch == "_":
            code = 0x0D
        else:
            code = ord(ch) - 0x30
        value = (value * 43 + code) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


def compressed_unsigned_short(value):
    if value < 0x80:
        return bytes([value * 2])
    return struct.pack("<H", value * 2 + 1)


def compressed_signed_short(value):
    if -64 <= value < 64:
        return bytes([(value + 64) * 2])
    return struct.pack("<H", (value + 16384) * 2 + 1)


def compressed_signed_long(value):
    if -16384 <= value < 16384:
        return struct.pack("<H", (value + 16384) * 2)
    return struct.pack("<I", (value + 0x40000000) * 2 + 1)


def topic_offset(block, characters):
    """A TOPICOFFSET: the topic block and the characters before the position in it."""
    return (block << 15) + characters


def topic_position(block, offset):
    """A TOPICPOS: where a topic link starts in the stream of block data."""
    return TOPIC_BLOCK_HEADER + block * TOPIC_BLOCK_SPACE + offset


def literal_lz77(data):
    """LZ77 data that expands to data: every byte a literal."""
    return b"".join(b"\0" + data[i:i + 8] for i in range(0, len(data), 8))


# --------------------------------------------------------------------------
# |TOPIC


def display_record(style, runs):
    """LinkData1 and LinkData2 of one paragraph: its layout, then text and commands in turn."""
    space_above, space_below, left, first_line = PARAGRAPH_STYLES[style]
    layout_bits = (0x0002 if space_above else 0) | 0x0004 | (0x0010 if left else 0) | (0x0040 if first_line else 0)
    layout = bytes([0x00, 0x80]) + struct.pack("<HH", 0, layout_bits)
    if space_above:
        layout += compressed_signed_short(space_above)
    layout += compressed_signed_short(space_below)
    if left:
        layout += compressed_signed_short(left)
    if first_line:
        layout += compressed_signed_short(first_line)

    # Each string of LinkData2 is shown, then the next command is carried out.
    strings, commands = [b""], []
    for text, font, target in runs:
        if target is not None:
            commands.append(bytes([CMD_JUMP]) + struct.pack("<i", context_hash(target)))
            strings.append(encode_text(text))
            commands.append(bytes([CMD_HOTSPOT_END]))
            strings.append(b"")
        else:
            commands.append(bytes([CMD_FONT]) + struct.pack("<H", font))
            strings.append(encode_text(text))
    commands += [bytes([CMD_PARAGRAPH_END]), bytes([CMD_END])]
    strings.append(b"")
    data2 = b"".join(s + b"\0" for s in strings)
    if len(data2) > TOPIC_BLOCK_DATA:
        raise HelpSourceError("a paragraph of %d bytes is longer than a topic block" % len(data2))
    data1 = compressed_signed_long(len(data2)) + compressed_unsigned_short(len(data2)) + layout + b"".join(commands)
    return data1, data2, len(data2)


class Link:
    def __init__(self, record_type, data1, data2, characters, topic):
        self.record_type, self.data1, self.data2 = record_type, data1, data2
        self.characters, self.topic = characters, topic
        self.size = TOPIC_LINK_HEADER + len(data1) + len(data2)
        self.block = self.offset = None


def build_topic_file(topics):
    """Returns the |TOPIC file and each topic's TOPICOFFSET."""
    links = []
    for topic in topics:
        links.append(Link(RECORD_TOPIC_HEADER, b"\0" * 28, encode_text(topic.title) + b"\0", 0, topic))
        for style, runs in [("heading", [(topic.title, FONT_HEADING, None)])] + topic.paragraphs:
            data1, data2, characters = display_record(style, runs)
            links.append(Link(RECORD_DISPLAY, data1, data2, characters, topic))

    # Lay the links out; a link that does not fit the rest of a block starts the next one.
    block, used, characters = 0, 0, 0
    offsets = {}
    for link in links:
        if link.size > TOPIC_BLOCK_DATA:
            raise HelpSourceError("a paragraph of topic %s is longer than a topic block" % link.topic.name)
        if used + link.size > TOPIC_BLOCK_DATA:
            block, used, characters = block + 1, 0, 0
        link.block, link.offset = block, used
        if link.record_type == RECORD_TOPIC_HEADER:
            offsets[link.topic.name.upper()] = topic_offset(block, characters)
        used += link.size
        characters += link.characters
    positions = [topic_position(l.block, l.offset) for l in links]
    headers = [i for i, l in enumerate(links) if l.record_type == RECORD_TOPIC_HEADER]

    # The topic headers, now that every position is known.
    for number, index in enumerate(headers):
        end = headers[number + 1] if number + 1 < len(headers) else len(links)
        topic_size = sum(l.size for l in links[index:end])
        next_topic = positions[end] if end < len(links) else -1
        links[index].data1 = struct.pack("<iiiiiii", topic_size, -1, -1, number, -1,
                                         positions[index + 1], next_topic)

    blocks = [bytearray(TOPIC_BLOCK_DATA) for _ in range(block + 1)]
    last_link_of_block, last_header_of_block = {}, {}
    for i, link in enumerate(links):
        previous = positions[i - 1] if i else -1
        following = positions[i + 1] if i + 1 < len(links) else -1
        record = struct.pack("<iiiiiB", link.size, len(link.data2), previous, following,
                             TOPIC_LINK_HEADER + len(link.data1), link.record_type) + link.data1 + link.data2
        blocks[link.block][link.offset:link.offset + len(record)] = record
        last_link_of_block[link.block] = positions[i]
        if link.record_type == RECORD_TOPIC_HEADER:
            last_header_of_block[link.block] = positions[i]
    first_link_of_block = {}
    for i, link in enumerate(links):
        first_link_of_block.setdefault(link.block, positions[i])
    last_header, topic_file = -1, b""
    for number, data in enumerate(blocks):
        used = max(l.offset + l.size for l in links if l.block == number)
        header = struct.pack("<iii", last_link_of_block.get(number - 1, -1), first_link_of_block[number], last_header)
        topic_file += (header + literal_lz77(bytes(data[:used]))).ljust(TOPIC_BLOCK_SIZE, b"\0")
        last_header = last_header_of_block.get(number, last_header)
    return topic_file, offsets


# --------------------------------------------------------------------------
# Internal files and the container


def btree(structure, entries, page_size, directory=False):
    """A B+ tree of one leaf page holding the encoded entries (already sorted)."""
    body = b"".join(entries)
    if 8 + len(body) > page_size:
        raise HelpSourceError("%d entries do not fit one B+ tree page" % len(entries))
    flags = 0x0002 | (0x0400 if directory else 0)
    header = struct.pack("<HHH16shhhhhhi", BTREE_MAGIC, flags, page_size, structure.encode("ascii"),
                         0, 0, 0, -1, 1, 1, len(entries))
    page = struct.pack("<Hhhh", page_size - 8 - len(body), len(entries), -1, -1) + body
    return header + page.ljust(page_size, b"\0")


# The viewer's main window: x, y, width, height. Wine's viewer reads them as
# pixels, the viewers of Windows 3.1, 95 and NT as 1024ths of the screen's
# width and height. In both readings the window lies on a 640 x 480 screen, at
# its left, and at 1024 x 768 it ends left of the buttons of the dialogs,
# which are centred on the screen: the dialog the help is about can still be
# answered.
MAIN_WINDOW_PLACE = (8, 8, 352, 464)


def main_window_record(caption):
    """The viewer's main window, named "main", with the help file's title as its caption."""
    name_caption_and_place_valid = 0x0002 | 0x0004 | 0x0008 | 0x0010 | 0x0020 | 0x0040
    return struct.pack("<H10s9s51shhhhhII", name_caption_and_place_valid, b"", b"main", encode_text(caption)[:50],
                       *MAIN_WINDOW_PLACE, 0, 0, 0)


def system_file(title, copyright_text, contents):
    records = [(1, encode_text(title) + b"\0"), (2, encode_text(copyright_text) + b"\0"),
               (3, struct.pack("<I", contents)), (6, main_window_record(title))]
    data = struct.pack("<HHHiH", SYSTEM_MAGIC, SYSTEM_MINOR_HC31, 1, 0, SYSTEM_FLAGS_LZ77_4K)
    return data + b"".join(struct.pack("<HH", kind, len(value)) + value for kind, value in records)


def font_file():
    descriptors_at = 8 + FACE_NAME_SIZE * len(FACE_NAMES)
    data = struct.pack("<HHHH", len(FACE_NAMES), len(FONTS), 8, descriptors_at)
    data += b"".join(name.encode("ascii").ljust(FACE_NAME_SIZE, b"\0") for name in FACE_NAMES)
    for bold, half_points in FONTS:
        data += struct.pack("<BBBH3s3s", 0x01 if bold else 0, half_points, FONT_FAMILY_SWISS, 0,
                            b"\0\0\0", b"\xff\xff\xff")
    return data


def compile_help(title, copyright_text, topics):
    topic_data, offsets = build_topic_file(topics)
    by_name = {t.name.upper(): t for t in topics}
    contexts = sorted((context_hash(name), offset) for name, offset in offsets.items())
    numbered = [(t.number, offsets[t.name.upper()]) for t in topics if t.number is not None]
    titles = sorted((offsets[name], by_name[name].title) for name in offsets)
    keyword_topics = {}
    for topic in topics:
        for keyword in [topic.title] + topic.keywords:
            keyword_topics.setdefault(keyword, []).append(offsets[topic.name.upper()])
    keyword_entries, keyword_data = [], b""
    for keyword in sorted(keyword_topics, key=str.upper):
        targets = sorted(set(keyword_topics[keyword]))
        if len(targets) > MAX_KEYWORD_TOPICS:
            raise HelpSourceError("keyword %s names %d topics, more than the %d the format can count"
                                  % (keyword, len(targets), MAX_KEYWORD_TOPICS))
        keyword_entries.append(encode_text(keyword) + b"\0" + struct.pack("<hI", len(targets), len(keyword_data)))
        keyword_data += b"".join(struct.pack("<I", o) for o in targets)
    files = {
        "|CONTEXT": btree("L4", [struct.pack("<iI", h, o) for h, o in contexts], BTREE_PAGE),
        "|CTXOMAP": struct.pack("<H", len(numbered)) + b"".join(struct.pack("<iI", n, o) for n, o in numbered),
        "|FONT": font_file(),
        "|KWBTREE": btree("F24", keyword_entries, BTREE_PAGE),
        "|KWDATA": keyword_data,
        "|KWMAP": struct.pack("<iH", 0, 0),
        "|SYSTEM": system_file(title, copyright_text, offsets[topics[0].name.upper()]),
        "|TOPIC": topic_data,
        "|TTLBTREE": btree("Lz", [struct.pack("<I", o) + encode_text(t) + b"\0" for o, t in titles], BTREE_PAGE),
    }

    out = bytearray(16)
    where = {}
    for name in sorted(files):
        where[name] = len(out)
        out += struct.pack("<iiB", FILE_HEADER + len(files[name]), len(files[name]), 4) + files[name]
    directory = btree("z4", [name.encode("ascii") + b"\0" + struct.pack("<i", where[name]) for name in sorted(files)],
                      DIRECTORY_PAGE, directory=True)
    directory_at = len(out)
    out += struct.pack("<iiB", FILE_HEADER + len(directory), len(directory), 4) + directory
    out[0:16] = struct.pack("<iiii", FILE_MAGIC, directory_at, -1, len(out))
    if len(out) > MAX_HELP_FILE_BYTES:
        raise HelpSourceError("the help file takes %d bytes, more than %d" % (len(out), MAX_HELP_FILE_BYTES))
    return bytes(out)


def write_whole(path, data):
    """Writes data beside path under a temporary name, which takes path's name once the file is whole and on
    the disk (the system may hold written data back, and a rename of it may reach the disk first). An output
    that is a link is written through: the file it leads to is replaced, the link stays."""
    path = os.path.realpath(path)
    temporary = os.path.join(os.path.dirname(path), ".%s.%d.tmp" % (os.path.basename(path), os.getpid()))
    try:
        with open(temporary, "wb") as f:
            f.write(data)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        if os.path.lexists(temporary):
            os.remove(temporary)
        raise


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("source", help="help source text")
    ap.add_argument("out", help="help file to write")
    args = ap.parse_args(argv)
    if os.path.isdir(args.out):
        print("make_help: error: %s is a folder" % args.out, file=sys.stderr)
        return 1
    try:
        with open(args.source, "rb") as f:
            data = compile_help(*parse_source(decode_source(f.read())))
        fault = None
    except HelpSourceError as e:
        fault = "%s: %s" % (args.source, e)
    except struct.error as e:  # a value with no room in the format that no check above names
        fault = "%s: beyond the help format's limits (%s)" % (args.source, e)
    except OSError as e:
        fault = "cannot read %s: %s" % (args.source, e.strerror or e)
    if fault is None:
        try:
            write_whole(args.out, data)
        except OSError as e:
            fault = "cannot write %s: %s" % (args.out, e.strerror or e)
    if fault:
        print("make_help: error: %s" % fault, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
