#!/usr/bin/env python3
"""Times shell commands side by side on the same photos, alternating the tools round by round so that a
noisy machine hurts them alike, and prints each tool's median time, its ratio to the first tool and its
peak memory (the largest resident size over the rounds).

    bench/compare.py ROUNDS PHOTO... -- NAME=COMMAND...

Each COMMAND is a shell command in which {photo} stands for the photo, {out} for an empty folder and
{factor} for the photo's longer edge divided by 960; photo names end in WIDTHxHEIGHT.jpg.
"""
import os
import re
import shlex
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(command, report):
    """Wall time in seconds and peak resident size in KiB of one run. GNU time measures the peak: a child
    forked from this interpreter would count the interpreter's own pages."""
    start = time.perf_counter()
    status = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", report, "/bin/sh", "-c", "exec " + command],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"failed: {command}")
    with open(report) as lines:
        return elapsed, int(lines.read().split()[-1])


def main():
    rounds = int(sys.argv[1])
    split = sys.argv.index("--")
    photos, tools = sys.argv[2:split], [t.split("=", 1) for t in sys.argv[split + 1:]]
    for photo in photos:
        with tempfile.TemporaryDirectory() as out:
            times = {name: [] for name, _ in tools}
            peaks = {name: 0 for name, _ in tools}
            width, height = map(int, re.search(r"(\d+)x(\d+)\.jpg$", photo).groups())
            factor = max(width, height) / 960
            commands = {name: command.format(photo=shlex.quote(photo), out=shlex.quote(out), factor=factor)
                        for name, command in tools}
            report = os.path.join(out, "peak")
            for name in commands:  # one warm-up run each: the photo is in the page cache from here on
                run_once(commands[name], report)
            for r in range(rounds):
                order = list(commands)[r % len(commands):] + list(commands)[:r % len(commands)]
                for name in order:
                    elapsed, peak = run_once(commands[name], report)
                    times[name].append(elapsed)
                    peaks[name] = max(peaks[name], peak)
        base = statistics.median(times[tools[0][0]])
        print(f"\n{os.path.basename(photo)}: median of {rounds} alternating rounds")
        for name, _ in tools:
            median = statistics.median(times[name])
            print(f"  {name:<24} {median * 1000:8.1f} ms  {median / base:5.2f} x  {peaks[name] / 1024:7.1f} MiB")


if __name__ == "__main__":
    main()
