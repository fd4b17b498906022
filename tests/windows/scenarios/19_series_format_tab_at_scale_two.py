"""At scale 2, the chart editor opened on a resulting-data chart, a curve chosen in its series list: the curve's
own editor form fills the "Format" tab, every one of its controls inside the dialog and none over
another."""

SCALE = 2

FORM = ["BLineBorder", "BLineColor", "CBColorEach", "CBStack", "CBClick", "CheckBox1", "GBStair", "CBStairs",
        "CBInvStairs", "CBDark3D", "LHeight", "EHeight", "UDHeight", "BOutline", "BBrush"]
# Controls inside a group, measured against the group instead of the form.
GROUPED = {"CBStairs", "CBInvStairs"}


def run(s):
    s.start()
    view = s.open_resulting_data()
    # The first chart of the view: its pop-up menu's first entry opens the editor.
    s.xdotool("mousemove", "--sync", str(view.x + view.w // 3), str(view.y + view.h // 4))
    s.xdotool("click", "3")
    s.settle(0.5)
    s.xdotool("key", "Down", "Return")
    dialog = s.child("ChartEditForm")
    series_list = s.child("LBSeries")
    # A double click on the first curve of the list opens it on the series page.
    x, y = series_list.x + series_list.w // 3, series_list.y + 8 * SCALE
    s.xdotool("mousemove", "--sync", str(x), str(y))
    s.xdotool("click", "--repeat", "2", "--delay", "80", "1")
    s.wait_for(lambda m: m.get("BLineBorder"), 10, "the curve's editor form")
    s.settle()
    m = s.windows()
    s.shot("format tab")
    missing = [n for n in FORM if n not in m]
    s.check(not missing, f"controls of the curve's form not shown: {missing}")
    outside = [n for n in FORM if n in m and not inside(m[n].rect, dialog.rect)]
    s.check(not outside, f"controls cut off by the dialog's edge: {outside}")
    group = m.get("GBStair")
    stray = [n for n in GROUPED if group and n in m and not inside(m[n].rect, group.rect)]
    s.check(not stray, f"controls outside their group: {stray}")
    flat = [n for n in FORM if n in m and n not in GROUPED]
    over = [(a, b) for i, a in enumerate(flat) for b in flat[i + 1:] if overlap(m[a].rect, m[b].rect)]
    s.check(not over, f"controls over one another: {over}")


def inside(r, outer):
    return r[0] >= outer[0] and r[1] >= outer[1] and r[2] <= outer[2] and r[3] <= outer[3]


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]
