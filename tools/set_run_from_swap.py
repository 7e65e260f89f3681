#!/usr/bin/env python3
"""Marks a PE executable to be run from the swap file when it was started from
removable media (IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP in the file header), so
that Windows loads it whole and never pages it back in from a floppy that has
been swapped for the next disk. The linker has no option for it.

Usage: set_run_from_swap.py FILE.exe   (changes the file in place)
Exit code: 0 when marked; 1 when FILE is not a PE file; 2 for bad arguments.
"""
import argparse
import struct
import sys

REMOVABLE_RUN_FROM_SWAP = 0x0400


def pe_checksum(data, checksum_offset):
    """The image checksum as the platform computes it: the 16-bit one's
    complement style sum of the file, its own field counted as zero, plus the
    file's length."""
    total = 0
    padded = data + b"\0" * (len(data) % 2)
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
    # The checksum field's two words count as zero.
    total -= sum(struct.unpack_from("<HH", data, checksum_offset))
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def mark(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    pe_offset = struct.unpack_from("<I", data, 0x3C)[0] if len(data) >= 0x40 else 0
    if pe_offset == 0 or data[pe_offset:pe_offset + 4] != b"PE\0\0" or len(data) < pe_offset + 4 + 20 + 68:
        sys.exit(f"{path}: not a PE file")
    characteristics_offset = pe_offset + 4 + 18
    (characteristics,) = struct.unpack_from("<H", data, characteristics_offset)
    struct.pack_into("<H", data, characteristics_offset, characteristics | REMOVABLE_RUN_FROM_SWAP)
    # The optional header's checksum (the same place in PE32 and PE32+) is
    # recomputed when the linker wrote one.
    checksum_offset = pe_offset + 4 + 20 + 64
    (checksum,) = struct.unpack_from("<I", data, checksum_offset)
    if checksum:
        struct.pack_into("<I", data, checksum_offset, pe_checksum(bytes(data), checksum_offset))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("file", help="the PE executable to mark")
    path = parser.parse_args().file
    try:
        mark(path)
    except OSError as e:
        sys.exit(f"{path}: {e.strerror}")
