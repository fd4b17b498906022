#!/usr/bin/env python3
"""The program used as a person uses it: started in a virtual X server (Xvfb), under the openbox
window manager and without one, at scale 1 and 2, driven with the keyboard and the mouse (xdotool),
checked from screenshots by the pixels that carry meaning (a caption bar's colour band, a plot
frame's edges where they belong), never by whole pictures.

Adding a scenario: put one small file in scenarios/, named NN_what_it_shows.py, holding
    SCALE = 1                # the program's QT_SCALE_FACTOR (optional, 1 by default)
    WINDOW_MANAGER = True    # openbox runs (optional, True by default)
    def run(s):              # s is a harness.Session with the program not yet started
        s.start()            # the sample site, a fresh settings folder
        form = s.open_resulting_data()
        img = s.shot("resulting")
        s.check(s.caption_is_active(img, form), "the window has no active caption bar")
A scenario fails by raising (s.check raises harness.Failure with its message and saves the screenshot
as PNG). Keep each to a few steps and a few checks; the whole suite should stay near a minute.

Usage: run_suite.py --program PATH --grab PATH --samples DIR --out DIR [--only TEXT] [--png]
When no X server can start the suite says so and fails.
"""
import argparse
import glob
import importlib.util
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


def load(path):
    found = importlib.util.spec_from_file_location(os.path.basename(path)[:-3], path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--grab", required=True)
    ap.add_argument("--samples", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--only", default="")
    ap.add_argument("--png", action="store_true", help="keep every screenshot as PNG too")
    options = ap.parse_args()
    for key in ("program", "grab", "samples", "out"):
        setattr(options, key, os.path.abspath(getattr(options, key)))
    os.makedirs(options.out, exist_ok=True)
    for old in glob.glob(os.path.join(options.out, "*.p[np][gm]")):
        os.remove(old)
    here = os.path.dirname(os.path.abspath(__file__))
    scenarios = [load(p) for p in sorted(glob.glob(os.path.join(here, "scenarios", "*.py")))
                 if options.only in os.path.basename(p)]
    # Those without the window manager run together, after the others.
    scenarios.sort(key=lambda m: not getattr(m, "WINDOW_MANAGER", True))
    try:
        harness.need("xdotool")
        display = harness.Display()
    except harness.Failure as e:
        print(f"real-window suite: {e}; nothing was tested", file=sys.stderr)
        return 1
    failed = []
    start = time.time()
    try:
        for module in scenarios:
            name = module.__name__
            display.window_manager(getattr(module, "WINDOW_MANAGER", True))
            session = harness.Session(display, options, name, getattr(module, "SCALE", 1))
            t0 = time.time()
            try:
                module.run(session)
                print(f"ok      {name} ({time.time() - t0:.1f} s)")
            except Exception as e:  # a failed check or anything else that went wrong
                failed.append(name)
                print(f"FAILED  {name} ({time.time() - t0:.1f} s): {e}")
                if not isinstance(e, harness.Failure):
                    traceback.print_exc()
            finally:
                session.stop()
    finally:
        display.stop()
    print(f"{len(scenarios) - len(failed)} of {len(scenarios)} scenarios passed in {time.time() - start:.0f} s")
    return 1 if failed or not scenarios else 0


if __name__ == "__main__":
    sys.exit(main())
