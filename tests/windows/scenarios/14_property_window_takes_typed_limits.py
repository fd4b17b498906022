"""The property window of the Resulting data view's upper chart, worked with real keys: "25" typed into
the ZMax value cell (the upper limit) and "0.01" into ZMin stay whole, Apply sets the chart's left axis to 0.01..25; a
value typed and given up with Escape changes nothing. The window opens with its title bar below the
frame's tool bars (not over them)."""
import re


def chart(s, name):
    """The chart's note in the window map: (axis minimum, axis maximum, points, sum)."""
    c = s.wait_for(lambda m: next((v for k, v in m.items() if k.startswith("caption:" + name + " ")), None), 10,
                   name)
    m = re.search(r"left=(\S+):(\S+) points=(\d+) sum=(\S+)", c.caption)
    return float(m.group(1)), float(m.group(2)), int(m.group(3)), float(m.group(4))


def inspector_rows(s):
    insp = s.wait_for(lambda m: next((c for c in m.values() if c.caption.startswith("divider=")), None), 10,
                      "the property window's rows")
    m = re.match(r"divider=(\d+) rows=(.*)", insp.caption)
    rows = dict((r.rsplit(":", 1)[0], int(r.rsplit(":", 1)[1])) for r in m.group(2).split(",") if ":" in r)
    return insp, int(m.group(1)), rows


def type_into(s, caption, keys, end="Return"):
    insp, divider, rows = inspector_rows(s)
    s.check(caption in rows, f"no row {caption} in the property window: {sorted(rows)}")
    s.click(insp.x + (divider + 20) * s.scale, insp.y + rows[caption] * s.scale)
    s.xdotool("key", "--delay", "120", "ctrl+a", *keys, end)
    s.settle(0.4)


def run(s):
    s.start()
    view = s.open_resulting_data()
    s.maximize_special()
    before = chart(s, "GrView1.Chart1")
    c1 = s.windows()["caption:" + next(k[8:] for k in s.windows() if k.startswith("caption:GrView1.Chart1 "))]
    s.xdotool("mousemove", "--sync", str(c1.x + c1.w // 3), str(c1.y + c1.h // 2))
    s.xdotool("click", "3")
    s.settle(0.5)
    s.xdotool("key", "p")  # "Properties" in the chart's pop-up menu
    s.settle(0.8)
    insp = s.wait_for(lambda m: m.get("ObjInsp1"), 10, "the property window")
    main, bars = s.windows()["MainForm1"], s.windows()["ControlBar1"]
    title = main.y  # the frame is maximized: its title bar is all there is above its client area
    s.check(insp.y - title >= bars.y + bars.h, f"the property window {insp} opens over the tool bars {bars}")
    type_into(s, "ZMax", ["2", "5"])
    type_into(s, "ZMin", ["0", "period", "0", "1"])
    type_into(s, "ZMax", ["7"], end="Escape")
    s.shot("typed")
    s.click(*(lambda b: (b.x + b.w // 2, b.y + b.h // 2))(s.windows()["BitBtn3"]))  # Apply
    s.settle(0.8)
    after = chart(s, "GrView1.Chart1")
    s.shot("applied")
    s.check(abs(after[0] - 0.01) < 1e-9 and abs(after[1] - 25) < 1e-9,
            f"the left axis shows {after[0]}..{after[1]} after 0.01 and 25 were typed (before {before[0]}..{before[1]})")
