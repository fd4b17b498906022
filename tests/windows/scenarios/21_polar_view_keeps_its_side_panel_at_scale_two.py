"""At scale 2 the polar diagrams view, dragged by its corner far smaller than it can show, stops where
its side panel is still whole: the last of its controls lies inside the window and the grid keeps a
column of charts beside the panel."""

import harness

SCALE = 2


def run(s):
    s.start()
    s.menu(2, 3)  # Show > Polar diagrams
    polar = s.child("Polar1")
    s.settle(1.0)
    cx, cy = polar.x + polar.w + 2 * s.scale, polar.y + polar.h + 2 * s.scale
    s.drag(cx, cy, cx - 400 * s.scale, cy - 300 * s.scale)
    s.settle(1.0)
    s.shot("dragged")
    polar = s.child("Polar1")
    with open(s.map_file) as f:  # names repeat between windows: the polar view's own lie inside it
        mine = [harness.Control(line.rstrip("\n")) for line in f]
    mine = {c.name: c for c in mine if polar.x <= c.x < polar.x + polar.w and polar.y <= c.y < polar.y + polar.h}
    last, side = mine.get("CheckBox1"), mine.get("Panel1")  # "Normalize Zxx", the side panel
    s.check(last and last.y + last.h <= polar.y + polar.h,
            f"the side panel's last control lies below the window's foot: {last} in {polar}")
    s.check(side and side.x - polar.x >= 100 * s.scale,
            f"no column of charts is left beside the side panel: {side} in {polar}")
