#!/usr/bin/env python3
"""Prints the benchmark's table from the rounds run_bench.sh recorded.

    bench_table.py RESULTS

RESULTS holds one line per program and round: "ROUND PROGRAM key=value ...",
PROGRAM one of installer, baseline, durable, window; round 0 holds the one msexpand
run, what SETUP.EXE reads from disk 1 before the main window (disk1_95,
disk1_NT), and the source reads of a fresh installation, a repair of one
removed file and a run again (fresh, repair, rerun) with the sizes they are
held to (sizes). Each figure is shown as the median over the rounds with the minimum and
maximum beside it.
"""
import statistics
import sys

TARGET_TIME_RATIO = 1.5
# The installation's time inside its progress windows against the durable
# floor: the bare loop with a repaint before and a flush after each file.
TARGET_DURABLE_RATIO = 1.3
TARGET_STARTUP_MS = 300.0
TARGET_MEMORY_RATIO = 1.2
# The check of each expanded file against its disk's CHECKSUM.LST may make an
# installation this much slower.
TARGET_CHECK_RATIO = 1.15
# Disk 1's start: bytes read off the floppy before the main window, at a floppy's 45,000 bytes a second.
TARGET_DISK1_BYTES = 54000
FLOPPY_BYTES_PER_SECOND = 45000


def load(path):
    rounds = {}
    with open(path) as results:
        for line in results:
            fields = line.split()
            if len(fields) < 2:
                continue
            values = dict(field.split("=", 1) for field in fields[2:] if "=" in field)
            rounds.setdefault(int(fields[0]), {})[fields[1]] = values
    return rounds


def series(rounds, program, key, scale=1.0):
    return [float(r[program][key]) * scale for r in rounds.values() if program in r and key in r[program]]


def ratios(rounds, top, top_key, bottom, bottom_key):
    out = []
    for r in rounds.values():
        try:
            out.append(float(r[top][top_key]) / float(r[bottom][bottom_key]))
        except (KeyError, ZeroDivisionError):
            pass
    return out


def row(label, values, unit, digits=1, note=""):
    if not values:
        print(f"  {label:<46} {'(no data)':>10}")
        return None
    median = statistics.median(values)
    text = (f"  {label:<46} {median:>10.{digits}f} {unit:<3} "
            f"[min {min(values):.{digits}f}, max {max(values):.{digits}f}]")
    print(text + (f"  {note}" if note else ""))
    return median


def verdict(ok):
    return "target met" if ok else "TARGET MISSED"


def reads_table(rounds, reference):
    """What the installer read from the source, as each run's log counts it."""
    print(" Read from the source (each run's own count, the last note of its log; seconds at 45 KB/s)")
    fresh = series(rounds, "installer", "reads")
    if not fresh or "sizes" not in reference:
        print("  (no data)")
        return
    sizes = reference["sizes"]
    lists = int(statistics.median(fresh)) - int(sizes["compressed"])

    def show(label, read, left, target):
        note = f"target <= {target}: {verdict(read <= target)}" if target is not None else ""
        print(f"  {label:<46} {read:>10} B   {read / FLOPPY_BYTES_PER_SECOND:6.2f} s  {left:>4} left as they were  {note}")

    show("fresh installation", int(statistics.median(fresh)),
         int(statistics.median(series(rounds, "installer", "left"))), None)
    print(f"  {'  of it the lists (all but the compressed files)':<46} {lists:>10} B")
    for run, label, target in (("repair", f"repair, {sizes['name']} missing", lists + int(sizes["removed"])),
                               ("rerun", "run again over the whole installation", lists)):
        if run in reference and "reads" in reference[run]:
            show(label, int(reference[run]["reads"]), int(reference[run]["left"]), target)
    print(f"  {'  the missing file compressed':<46} {int(sizes['removed']):>10} B")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    rounds = load(sys.argv[1])
    reference = rounds.pop(0, {})
    mb = 1.0 / (1024 * 1024)
    print(f"Benchmark: {len(rounds)} rounds (median [min, max])")
    print()
    print(" Installation time")
    installer = row("installer: menu command -> completion question",
                    series(rounds, "installer", "run_ms"), "ms")
    baseline = row("baseline: bare LZOpenFile/CopyLZFile loop",
                   series(rounds, "baseline", "expand_ms"), "ms")
    row("window program: command -> completion question", series(rounds, "window", "run_ms"), "ms")
    if "msexpand" in reference:
        print(f"  {'msexpand, native, 1 run (cross-check only)':<46} "
              f"{float(reference['msexpand']['expand_ms']):>10.1f} ms   not a speed reference")
    if installer and baseline:
        ratio = installer / baseline
        print(f"  {'ratio installer/baseline (of the medians)':<46} {ratio:>10.2f}     "
              f"target <= {TARGET_TIME_RATIO}: {verdict(ratio <= TARGET_TIME_RATIO)}")
    row("ratio installer/baseline (per round)", ratios(rounds, "installer", "run_ms", "baseline", "expand_ms"),
        "", 2)
    check = row("check: every expanded file read back, CRC-32", series(rounds, "baseline", "check_ms"), "ms", 1,
                "in the baseline's process, after its loop")
    if installer and check is not None and installer > check:
        ratio = installer / (installer - check)
        print(f"  {'installer with / without the check (share)':<46} {ratio:>10.2f}     "
              f"target <= {TARGET_CHECK_RATIO}: {verdict(ratio <= TARGET_CHECK_RATIO)}")
    floor = row("durable floor: bare loop, repaint and flush per file", series(rounds, "durable", "durable_ms"),
                "ms")
    inside = row("installer: inside its progress windows", series(rounds, "installer", "progress_ms"), "ms")
    durable = row("ratio inside progress windows/durable floor", ratios(rounds, "installer", "progress_ms", "durable",
                                                                         "durable_ms"), "", 2, "per round")
    if durable is not None:
        print(f"  {'':<46} {'':>10}     target <= {TARGET_DURABLE_RATIO}: "
              f"{verdict(durable <= TARGET_DURABLE_RATIO)}")
    row("baseline as a whole process (Wine start to exit)", series(rounds, "baseline", "process_ms"), "ms", 1,
        "for information")
    print()
    print(" Start-up (process creation -> visible main window)")
    startup = row("installer", series(rounds, "installer", "startup_ms"), "ms")
    if startup is not None:
        print(f"  {'':<46} {'':>10}     target < {TARGET_STARTUP_MS:.0f} ms: "
              f"{verdict(startup < TARGET_STARTUP_MS)}")
    row("window program", series(rounds, "window", "startup_ms"), "ms")
    print()
    print(" Peak working set (read at the completion question)")
    inst_ws = row("installer", series(rounds, "installer", "peak_ws", mb), "MB", 2)
    win_ws = row("window program", series(rounds, "window", "peak_ws", mb), "MB", 2)
    row("baseline (console program, its own reading)", series(rounds, "baseline", "peak_ws", mb), "MB", 2)
    if inst_ws and win_ws:
        ratio = inst_ws / win_ws
        print(f"  {'ratio installer/window program (of the medians)':<46} {ratio:>10.2f}     "
              f"target <= {TARGET_MEMORY_RATIO}: {verdict(ratio <= TARGET_MEMORY_RATIO)}")
    print()
    print(" Start from disk 1 (SETUP.EXE, the installer, its picture: read before the main window)")
    for build in ("95", "NT"):
        if "disk1_" + build not in reference:
            continue
        read = int(reference["disk1_" + build]["bytes"])
        print(f"  {'tsinst' + build.lower():<46} {read:>10} B   {read / FLOPPY_BYTES_PER_SECOND:.2f} s at 45 KB/s  "
              f"target <= {TARGET_DISK1_BYTES}: {verdict(read <= TARGET_DISK1_BYTES)}")
    print()
    reads_table(rounds, reference)
    print()
    files = series(rounds, "baseline", "files")
    size = series(rounds, "baseline", "bytes")
    if files and size:
        print(f" Files per installation: {int(files[0])}, {int(size[0])} bytes expanded. Every tree of every"
              f" round matched msexpand's\n byte for byte, and msexpand's matched the release tree.")


if __name__ == "__main__":
    main()
