#!/usr/bin/env python3
"""Start-up to the first painted window, timed as whole processes.

Runs the program on the sample site (with VAROMARK_FIRST_PAINT set it writes "first-paint" once
its main window has painted, and ends) and the bare Qt window beside it, in turn, and prints the
median, minimum and maximum of each in milliseconds from the start of the process to that line.

    bench/first_paint.py [--build build] [--runs 15]

Both run headless (QT_QPA_PLATFORM=offscreen unless set) with a profile folder of their own, so
the user's settings are neither read nor written.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def first_paint_ms(command, env):
    start = time.perf_counter()
    p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    for line in p.stdout:
        if line.strip() == b"first-paint":
            elapsed = (time.perf_counter() - start) * 1000
            break
    else:
        p.wait()
        raise RuntimeError(f"{command[0]} ended without a first paint (exit {p.returncode})")
    p.stdout.close()
    p.wait(timeout=30)
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()

    samples = os.path.join(ROOT, "samples")
    programs = {
        "varomark (sample site)": [os.path.join(args.build, "app", "varomark")] +
        [os.path.join(samples, n) for n in ("S107.AMT", "S107.MT1", "S107.MT2")],
        "bare Qt window": [os.path.join(args.build, "bench", "first_paint_bare")],
    }
    with tempfile.TemporaryDirectory(prefix="vm_first_paint_") as profile:
        env = dict(os.environ)
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        env["XDG_CONFIG_HOME"] = profile
        env["VAROMARK_FIRST_PAINT"] = "1"
        times = {name: [] for name in programs}
        # One unmeasured run each warms the file cache; then the two take turns.
        for command in programs.values():
            first_paint_ms(command, env)
        for _ in range(args.runs):
            for name, command in programs.items():
                times[name].append(first_paint_ms(command, env))
    for name, t in times.items():
        print(f"{name:24s} median {statistics.median(t):7.1f} ms   min {min(t):7.1f}   max {max(t):7.1f}   runs {len(t)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
