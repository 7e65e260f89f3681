#!/usr/bin/env python3
"""Writes a small, deterministic release tree of Tessaryn for demos and tests.

    make_sample_release.py DIR [--scale N] [--version V]

The tree has the layout that make_disk_set.py reads: one folder per component
(PROGRAM1, PROGRAM2, LOOKUP, USER_DLL, CRANE, CCIR, CANADA, TSDATA) and
titles.txt. The program files are stand-ins (pseudo-random bytes mixed with
strings and tables, so that they compress about as well as real programs);
the lookup, rain and example files are numeric text tables in the style of
the application's own data, with a few binary files among them. The same
arguments always give the same bytes and the same dates, so a disk set made
from the tree is the same again: the files of each folder, in name order,
are dated 10:30:00 UTC, 10:32:00, 10:34:00 and so on, on 1996-11-04 for
version 3.0 and on 1997-03-10 for any other version (the newer files of a
maintenance update); titles.txt is dated 10:30:00 of that day. Component
folders already in DIR are replaced; anything else there is left alone.

--version V (default 3.0) makes the files of a maintenance update of
Tessaryn 3.0: every file's bytes change (each names V in its first line,
"TSW.EXE stand-in file, Tessaryn V", and its seeded contents differ), the
files are dated 1997-03-10 instead of 1996-11-04, and TSW.TXT gains a
section "Version V (maintenance update)" after its "Version 3.0". What names
the product stays 3.0, as an update leaves it: the item titles of titles.txt
("Tessaryn 3.0"), and so the group, the folder and the Add/Remove Programs
entry the installer makes. A tree made with another version serves as the
"newer files" of an update.

--scale N multiplies the amount of data. Scale 1 (the default) gives 66
small files, about 100 KB in all: quick to compress and install. Scale 20 is
the benchmark set: 351 files, 4.2 MB, text tables and binary files mixed;
compressed, disk 1 takes 1.37 MB and disk 2 1.38 MB (root and subdirectories)
of a 1.44 MB floppy. Above scale 20 the disks no longer fit floppies, and the
disk set builder refuses them.

Exit code: 0 when written; 1 when DIR cannot be written (nothing new is left
there); 2 for bad arguments.
"""

import argparse
import calendar
import math
import os
import random
import shutil
import struct
import sys
import tempfile
import zlib

BENCH_SCALE = 20
# Share of a stand-in binary that is incompressible; with it the program files
# compress to about 73 % of their size.
RANDOM_SHARE = 0.30
# Program overlays (disk 1) and map sheets (disk 2): 2 x (scale - 1) and
# scale - 1 of them, of a fixed size, so that the two program disks grow alike.
OVL_SIZE = 40000
MAP_SIZE = 40000
TITLES = [("TSW.EXE", "Tessaryn 3.0"), ("RAINCALC.EXE", "Rain Calculator")]
# The first file's date in each folder, by version; each further file is
# FILE_DATE_STEP seconds later.
FIRST_DATE = {"3.0": calendar.timegm((1996, 11, 4, 10, 30, 0))}
NEWER_FIRST_DATE = calendar.timegm((1997, 3, 10, 10, 30, 0))
FILE_DATE_STEP = 120
FOLDERS = ["PROGRAM1", "PROGRAM2", "LOOKUP", "USER_DLL", "CRANE", "CCIR", "CANADA", "TSDATA"]


def rng_for(version, *parts):
    """A pseudo-random generator seeded from the version and the file's identity."""
    key = "/".join((version,) + parts).encode("utf-8")
    return random.Random(zlib.crc32(key) ^ (len(key) << 32))


def dos_text(lines):
    return "".join(line + "\r\n" for line in lines).encode("ascii")


# --------------------------------------------------------------------------
# Stand-in program files


PROGRAM_STRINGS = [
    "Path loss", "Free space loss", "Fresnel zone clearance", "Rain attenuation",
    "Fade margin", "Availability", "Antenna gain", "Waveguide loss", "Diffraction loss",
    "Earth bulge", "K factor", "Multipath outage", "Receiver threshold",
    "Transmit power", "Cannot open data file", "Invalid frequency", "Out of memory",
    "Link budget", "Site A", "Site B", "Latitude", "Longitude", "Elevation",
    "Polarization", "Horizontal", "Vertical", "Rain region", "Percent of time",
]


def stand_in_binary(rng, label, version, size):
    """size bytes that look like a program: code, strings, tables and padding."""
    out = bytearray(("%s stand-in file, Tessaryn %s\r\n\x1a" % (label, version)).encode("ascii"))
    # Instruction sequences that recur through the file, as compiled code does.
    idioms = [rng.getrandbits(8 * k).to_bytes(k, "little")
              for k in (rng.randint(3, 9) for _ in range(160))]
    while len(out) < size:
        kind = rng.random()
        n = rng.randint(64, 768)
        if kind < RANDOM_SHARE:                # code with no visible structure
            out += rng.getrandbits(8 * n).to_bytes(n, "little")
        elif kind < 0.62:                    # code built from recurring idioms
            end = len(out) + n
            while len(out) < end:
                out += rng.choice(idioms)
                k = rng.randint(1, 4)
                out += rng.getrandbits(8 * k).to_bytes(k, "little")
        elif kind < 0.80:                    # string table
            while n > 0:
                s = rng.choice(PROGRAM_STRINGS).encode("ascii") + b"\0"
                out += s
                n -= len(s)
        elif kind < 0.93:                    # table of small integers
            base = rng.randint(0, 5000)
            for i in range(n // 4):
                out += struct.pack("<I", base + i * rng.randint(1, 9))
        else:                                # section padding
            out += bytes(n)
    return bytes(out[:size])


def help_file(rng, title, version, topics, size):
    """A stand-in help file: a binary header followed by topic text."""
    out = bytearray(b"?_\x03\x00" + struct.pack("<III", size, topics, rng.getrandbits(32)))
    topic = 0
    while len(out) < size:
        topic += 1
        words = [rng.choice(PROGRAM_STRINGS).lower() for _ in range(rng.randint(30, 60))]
        text = "%s %s - topic %d: %s.\r\n" % (title, version, topic, " ".join(words))
        out += text.encode("ascii") + struct.pack("<H", topic)
    return bytes(out[:size])


def revision_notes(version):
    lines = [
        "Tessaryn 3.0 - Revision Notes",
        "=============================",
        "",
        "Version 3.0",
        "  - Rain attenuation after the Crane, CCIR and Canadian rain models.",
        "  - Link budgets for both directions of a hop in one pass.",
        "  - Antenna, cable and waveguide lookup tables moved to LOOKUP.",
        "  - The rain calculator is a program of its own (RAINCALC.EXE).",
        "  - Example links in TSDATA.",
    ]
    if version != "3.0":
        rng = rng_for(version, "notes")
        fixes = [
            "Fresnel zone clearance is computed for the lowest K factor given.",
            "Rain region boundaries of the CCIR tables corrected.",
            "Printing of profiles on wide carriage printers.",
            "Availability figures are rounded to four decimals.",
            "Waveguide loss is interpolated between table frequencies.",
            "Site coordinates accept seconds with decimals.",
        ]
        rng.shuffle(fixes)
        lines += ["", "Version %s (maintenance update)" % version]
        lines += ["  - " + f for f in fixes[:3]]
    lines += ["", "Open this file again from the Program Manager item \"Revisions\"."]
    return dos_text(lines)


# --------------------------------------------------------------------------
# Tables

PERCENTS = [1.0, 0.3, 0.1, 0.03, 0.01, 0.003, 0.001]
CCIR_ZONES = "ABCDEFGHJKLMNPQ"
CRANE_REGIONS = ["A", "B1", "B2", "B3", "C", "D1", "D2", "D3", "E", "F", "G", "H"]
PROVINCES = ["BC", "ALBERTA", "SASKATCH", "MANITOBA", "ONTARIO", "QUEBEC",
             "NBRUNSWK", "NOVASCOT", "PEI", "NFLD", "YUKON", "NWT"]
SYLLABLES = ["ash", "bel", "cor", "dun", "el", "fair", "glen", "hal", "ing", "kel",
             "lor", "mar", "nor", "ock", "port", "ridge", "sal", "ton", "vale", "wick"]


def rain_rates(r001, rng):
    """Rain rate (mm/h) exceeded for each of PERCENTS, given the 0.01 % value."""
    # The distribution flattens towards the rarest, heaviest rain.
    common, rare = rng.uniform(0.55, 0.7), rng.uniform(0.33, 0.42)
    return [max(0.1, r001 * (p / 0.01) ** -(common if p >= 0.01 else rare)) for p in PERCENTS]


def place_name(rng):
    return "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 3))).capitalize()


def region_table(rng, model, region, version):
    r001 = rng.uniform(8.0, 120.0)
    lines = [
        "; Tessaryn %s rain table - %s model, region %s" % (version, model, region),
        "; rain rate (mm/h) exceeded for the given percent of an average year",
        ";",
        "REGION %s" % region,
        "POINTS %d" % len(PERCENTS),
        ";   percent    rate",
    ]
    for p, r in zip(PERCENTS, rain_rates(r001, rng)):
        lines.append("%10.3f %8.1f" % (p, r))
    lines += [";", "; attenuation coefficients k, alpha by frequency (GHz), H and V polarization",
              ";  GHz      kH       aH       kV       aV"]
    for f in (2, 4, 6, 7, 8, 10, 12, 15, 18, 20, 23, 25, 30, 35, 40):
        kh = 0.0000387 * f ** 2.6 * rng.uniform(0.97, 1.03)
        kv = kh * rng.uniform(0.85, 0.95)
        ah = 0.9 + 0.3 * math.tanh((f - 8) / 10.0)
        av = ah * rng.uniform(0.95, 0.99)
        lines.append("%5d %9.6f %8.4f %9.6f %8.4f" % (f, kh, ah, kv, av))
    return dos_text(lines)


# Where each model's stations lie: latitude and longitude ranges.
STATION_AREAS = {"Crane": ((25.0, 49.0), (-124.0, -67.0)),
                 "CCIR": ((-40.0, 65.0), (-120.0, 150.0)),
                 "Canadian": ((42.0, 69.0), (-139.0, -53.0))}


def station_table(rng, model, version, name, rows):
    (lat0, lat1), (lon0, lon1) = STATION_AREAS[model]
    lat = rng.uniform(lat0, lat1)
    lon = rng.uniform(lon0, lon1)
    lines = [
        "; Tessaryn %s station rain statistics (%s)" % (version, model),
        "STATION %s" % name,
        "LAT %.3f LON %.3f ELEV %d" % (lat, lon, rng.randint(0, 1800)),
        "YEARS %d-%d" % (rng.randint(1950, 1965), rng.randint(1980, 1993)),
        ";  mm/h   " + " ".join("%6s" % m for m in
                                 ("JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                  "JUL", "AUG", "SEP", "OCT", "NOV", "DEC", "YEAR")),
    ]
    rate = 2.0
    for _ in range(rows):
        monthly = [max(0.0, rng.gauss(1.0, 0.5)) * 120.0 / rate ** 1.4 for _ in range(12)]
        lines.append("%7.1f   " % rate + " ".join("%6.2f" % m for m in monthly)
                     + " %6.2f" % (sum(monthly) / 12.0))
        rate *= 1.18
    return dos_text(lines)


def lookup_tables(rng, version, scale):
    files = {}
    lines = ["; Tessaryn %s antenna table" % version,
             ";  model        GHz   diam.m   gain dBi   beam deg   F/B dB"]
    for i in range(40 * scale):
        f = rng.choice([2.0, 4.0, 6.0, 6.7, 7.5, 8.0, 11.0, 13.0, 15.0, 18.0, 23.0, 38.0])
        d = rng.choice([0.3, 0.6, 1.2, 1.8, 2.4, 3.0, 3.7, 4.6])
        gain = 20.4 + 20 * math.log10(f) + 20 * math.log10(d) + 10 * math.log10(0.55)
        lines.append("  PA%04d-%02d  %6.1f  %6.1f  %9.1f  %9.2f  %7.0f"
                     % (i + 100, int(f), f, d, gain, 21.0 / (f * d), 30 + rng.randint(0, 30)))
    files["ANTENNA.TBL"] = dos_text(lines)

    lines = ["; Tessaryn %s feeder loss, dB per 100 m" % version,
             ";  type         " + " ".join("%7s" % ("%gG" % f) for f in (0.5, 1, 2, 4, 6, 8, 11))]
    for i in range(25 * scale):
        base = rng.uniform(0.6, 4.0)
        lines.append("  FDR-%04d    " % (i + 1) +
                     " ".join("%7.2f" % (base * math.sqrt(f) * rng.uniform(0.98, 1.02))
                              for f in (0.5, 1, 2, 4, 6, 8, 11)))
    files["FEEDER.TBL"] = dos_text(lines)

    lines = ["; Tessaryn %s frequency bands" % version, ";  band     low MHz    high MHz   spacing MHz"]
    for low in (1700, 1900, 3700, 5925, 6425, 7125, 7725, 10700, 12700, 14500, 17700, 21200, 37000):
        lines.append("  %-7s %9d %11d %10.1f" % ("B%d" % (low // 100), low,
                                                 low + rng.choice([300, 400, 500, 700, 1000]),
                                                 rng.choice([10.0, 20.0, 28.0, 29.65, 40.0])))
    files["FREQBAND.TBL"] = dos_text(lines)

    # Channel plans, one per band, grow with the scale.
    for i in range(scale):
        lines = ["; Tessaryn %s channel plan %d" % (version, i + 1), ";  ch   go MHz     return MHz"]
        low = rng.uniform(1700, 38000)
        step = rng.choice([7.0, 14.0, 28.0, 29.65, 40.0])
        for ch in range(rng.randint(16, 48)):
            lines.append("  %3d  %10.2f  %10.2f" % (ch + 1, low + ch * step, low + 266 + ch * step))
        files["PLAN%03d.TBL" % (i + 1)] = dos_text(lines)

    # Earth radius factor statistics, binary: records of (month, percent, k).
    out = bytearray(b"KFAC" + struct.pack("<HH", 1, 12 * 9 * scale))
    for _ in range(scale):
        for month in range(12):
            for p in range(9):
                out += struct.pack("<HHf", month + 1, p, rng.uniform(0.6, 1.6))
    files["KFACTOR.BIN"] = bytes(out)
    return files


def user_document(rng, version, scale):
    fields = ["SITE_NAME", "LATITUDE", "LONGITUDE", "GROUND_ELEV", "ANT_HEIGHT", "ANT_MODEL",
              "FEEDER", "FEEDER_LEN", "TX_POWER", "RX_THRESH", "FREQ_MHZ", "POLARIZ",
              "RAIN_MODEL", "RAIN_REGION", "K_FACTOR", "NOTES"]
    lines = ["Tessaryn %s - User Database" % version, "",
             "The user database keeps your own sites, antennas and feeders beside the",
             "tables that come with Tessaryn. Each record is one line of fields,",
             "separated by commas; text fields are in double quotes.", ""]
    for chapter in range(1, 3 + 4 * scale):
        lines += ["%d. Record type %d" % (chapter, chapter), ""]
        for f in rng.sample(fields, 8):
            lines.append("   %-12s %-8s %s" % (f, rng.choice(["TEXT", "REAL", "INT"]),
                                               " ".join(rng.choice(PROGRAM_STRINGS).lower()
                                                        for _ in range(3))))
        lines.append("")
    return dos_text(lines)


def example_link(rng, version, number):
    name_a, name_b = place_name(rng), place_name(rng)
    lines = ["[Tessaryn %s link]" % version,
             "Name=Example %d, %s - %s" % (number, name_a, name_b),
             "FrequencyMHz=%d" % rng.choice([2000, 4000, 6175, 7500, 11200, 18700, 23000]),
             "Polarization=%s" % rng.choice(["H", "V"]),
             "RainModel=%s" % rng.choice(["CRANE", "CCIR", "CANADA"]),
             "Availability=%.4f" % rng.choice([99.99, 99.995, 99.999]),
             ""]
    for side, name in (("A", name_a), ("B", name_b)):
        lines += ["[Site%s]" % side, "Name=%s" % name,
                  "Latitude=%.5f" % rng.uniform(42.0, 55.0),
                  "Longitude=%.5f" % rng.uniform(-125.0, -60.0),
                  "GroundElevation=%d" % rng.randint(10, 900),
                  "AntennaHeight=%d" % rng.randint(15, 90),
                  "Antenna=PA%04d" % rng.randint(100, 139),
                  "FeederLength=%d" % rng.randint(20, 110), ""]
    return dos_text(lines)


def terrain_profile(rng, points):
    out = bytearray(b"PRF1" + struct.pack("<Hf", points, rng.uniform(0.05, 0.25)))
    h = rng.uniform(50, 400)
    for _ in range(points):
        h = max(0.0, round(h + rng.gauss(0, 6.0), 1))
        out += struct.pack("<f", h)
    return bytes(out)


# --------------------------------------------------------------------------
# The tree


def release_files(scale, version):
    """{folder: {name: bytes}} for the whole release."""
    tree = {folder: {} for folder in FOLDERS}

    p1 = tree["PROGRAM1"]
    p1["TSW.EXE"] = stand_in_binary(rng_for(version, "TSW.EXE"), "TSW.EXE", version, 6000 * scale)
    p1["TSW.HLP"] = help_file(rng_for(version, "TSW.HLP"), "Tessaryn", version, 40, 4000 * scale)
    p1["TSW.TXT"] = revision_notes(version)
    for name, size in (("TSWCALC.DLL", 3000), ("TSWPLOT.DLL", 2500), ("TSWPRINT.DLL", 1500)):
        p1[name] = stand_in_binary(rng_for(version, name), name, version, size * scale)
    for i in range(1, 2 * scale - 1):
        name = "TSWOV%03d.OVL" % i
        p1[name] = stand_in_binary(rng_for(version, name), name, version, OVL_SIZE)

    p2 = tree["PROGRAM2"]
    p2["RAINCALC.EXE"] = stand_in_binary(rng_for(version, "RAINCALC.EXE"), "RAINCALC.EXE", version,
                                         4000 * scale)
    p2["RAINCALC.HLP"] = help_file(rng_for(version, "RAINCALC.HLP"), "Rain Calculator", version, 12,
                                   1500 * scale)
    for name, size in (("TSWDB.DLL", 2500), ("TSWMAP.DLL", 2000), ("TSWUNITS.DLL", 800)):
        p2[name] = stand_in_binary(rng_for(version, name), name, version, size * scale)
    for i in range(1, scale):
        name = "MAP%03d.SHT" % i
        p2[name] = stand_in_binary(rng_for(version, name), name, version, MAP_SIZE)

    tree["LOOKUP"] = lookup_tables(rng_for(version, "LOOKUP"), version, scale)
    tree["USER_DLL"]["USERDB.DOC"] = user_document(rng_for(version, "USERDB.DOC"), version, scale)

    # Rain tables: one per region of each model, and station statistics whose
    # number grows with the scale.
    stations_per_region = scale // 4
    for folder, model, regions, prefix in (("CRANE", "Crane", CRANE_REGIONS, "CR"),
                                           ("CCIR", "CCIR", list(CCIR_ZONES), "CC"),
                                           ("CANADA", "Canadian", PROVINCES, "CA")):
        files = tree[folder]
        for region in regions:
            fname = region + ".TBL" if folder == "CANADA" else "RGN_%s.TBL" % region
            files[fname] = region_table(rng_for(version, folder, region), model, region, version)
        for i in range(max(2, len(regions) * stations_per_region)):
            rng = rng_for(version, folder, "station", str(i))
            files["%s%05d.STN" % (prefix, i + 1)] = station_table(rng, model, version, place_name(rng),
                                                                  12 + 2 * scale)

    ex = tree["TSDATA"]
    for i in range(1, 3 + scale // 2):
        rng = rng_for(version, "TSDATA", str(i))
        ex["LINK%03d.TSL" % i] = example_link(rng, version, i)
        ex["LINK%03d.PRF" % i] = terrain_profile(rng, 200 + 40 * scale)
    return tree


def write_file(path, data, when):
    with open(path, "wb") as f:
        f.write(data)
    os.utime(path, (when, when))


def write_release(root, scale=1, version="3.0"):
    """Writes the tree into root, each folder made whole beside it first; on a failure nothing new is left
    in root."""
    tree = release_files(scale, version)
    first = FIRST_DATE.get(version, NEWER_FIRST_DATE)
    made_root = not os.path.lexists(root)
    os.makedirs(root, exist_ok=True)
    staging = tempfile.mkdtemp(prefix=".sample-release-", dir=root)
    try:
        for folder in FOLDERS:
            os.makedirs(os.path.join(staging, folder))
            for number, (name, data) in enumerate(sorted(tree[folder].items())):
                write_file(os.path.join(staging, folder, name), data, first + number * FILE_DATE_STEP)
        write_file(os.path.join(staging, "titles.txt"),
                   "".join("%s\t%s\n" % item for item in TITLES).encode("ascii"), first)
        for name in FOLDERS + ["titles.txt"]:
            path = os.path.join(root, name)
            if os.path.isdir(path) and not os.path.islink(path):
                shutil.rmtree(path)
            os.replace(os.path.join(staging, name), path)
    except BaseException:
        if made_root:
            shutil.rmtree(root, ignore_errors=True)
        raise
    finally:
        shutil.rmtree(staging, ignore_errors=True)
    return tree


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("dir", help="directory to write the release tree into")
    ap.add_argument("--scale", type=int, default=1,
                    help="amount of data, 1 and up (default 1; %d is the benchmark set)" % BENCH_SCALE)
    ap.add_argument("--version", default="3.0", help="version of the files' contents, dates and revision notes; the product stays "
                         "Tessaryn 3.0 (default 3.0)")
    args = ap.parse_args(argv)
    if args.scale < 1:
        ap.error("--scale must be 1 or more")
    try:
        tree = write_release(args.dir, args.scale, args.version)
    except OSError as e:
        print("make_sample_release: error: cannot write %s: %s" % (e.filename or args.dir, e.strerror or e),
              file=sys.stderr)
        return 1
    files = sum(len(v) for v in tree.values())
    size = sum(len(d) for v in tree.values() for d in v.values())
    print("make_sample_release: wrote %s: %d files, %d bytes (scale %d, version %s)"
          % (args.dir, files, size, args.scale, args.version))
    return 0


if __name__ == "__main__":
    sys.exit(main())
