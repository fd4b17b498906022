"""At scale 2: the main window (larger than the screen as the program lays it out) opens maximized
with the window manager's caption on the screen; every tool-bar button lies inside the main window
(none cut off at the right), the
child windows keep their caption bars below the bars, and Resulting Data after Maximize Special has its caption bar at its top and its plots fill it:
its two charts share its height (the lower one does not squeeze the upper one out) and its lists all
show inside it."""

import re
import subprocess

import harness

SCALE = 2


def run(s):
    s.start()
    main = s.child("MainForm1")
    harness.need("xprop")
    harness.need("xwininfo")
    env = s.display.env()
    props = subprocess.run(["xprop", "-id", str(s.window), "_NET_WM_STATE", "_NET_FRAME_EXTENTS"], env=env,
                           capture_output=True, text=True).stdout
    info = subprocess.run(["xwininfo", "-id", str(s.window)], env=env, capture_output=True, text=True).stdout
    extents = re.search(r"_NET_FRAME_EXTENTS\(CARDINAL\) = (\d+), (\d+), (\d+), (\d+)", props)
    top = re.search(r"Absolute upper-left Y:\s+(-?\d+)", info)
    s.check("_NET_WM_STATE_MAXIMIZED_VERT" in props, f"the main window is not maximized: {props!r}")
    s.check(extents and top and int(top.group(1)) - int(extents.group(3)) >= 0,
            f"the main window's caption lies above the screen: {props!r} {info!r}")
    screen = s.shot("started")
    buttons = [c for k, c in s.windows().items() if k.startswith("action:")]
    s.check(len(buttons) >= 40, f"only {len(buttons)} tool-bar buttons show")
    outside = [c.action for c in buttons if c.x + c.w > min(main.x + main.w, screen.width)]
    s.check(not outside, f"tool-bar buttons beyond the window's right edge: {outside}")
    header = s.child("caption:Starting data")  # placed below the bars, which take two lines here
    band = s.caption_band(screen, header)
    s.check(28 <= band <= 80, f"the starting-data view's caption bar is hidden ({band} px)")
    s.open_resulting_data()
    s.maximize_special()
    form = s.child("caption:Resulting data")
    img = s.shot("maximized")
    band = s.caption_band(img, form)
    s.check(s.caption_is_active(img, form) and band >= 28, f"no active caption bar of scale 2 (band {band} px)")
    columns, rows = s.plot_frames(img, form)
    s.check(columns and columns[-1] > form.x + form.w * 0.6, "the plot frames do not follow the window")
    s.check(rows and rows[-1] > form.y + form.h * 0.8, "the plot frames do not reach the window's foot")
    charts = {c.caption.split(" ")[0]: c for k, c in s.windows().items() if k.startswith("caption:GrView1.Chart")}
    upper, lower = charts.get("GrView1.Chart1"), charts.get("GrView1.Chart2")
    s.check(upper and lower and min(upper.h, lower.h) > form.h * 0.3,
            f"the Resulting data charts do not share the window's height: {upper}, {lower} in {form}")
    with open(s.map_file) as f:  # both data views have one: the lowest is checked
        processing = sorted((harness.Control(line.rstrip("\n")) for line in f if line.startswith("clbProcessing ")),
                            key=lambda c: -(c.y + c.h))
    s.check(processing and processing[0].y + processing[0].h <= form.y + form.h,
            f"the Processing list lies below the window's foot: {processing} in {form}")
