"""From the editing window's chart pop-up menu the chart editor opens over the window on its chart;
Ctrl+Tab walks the chart pages to Axis, the maximum of the left axis is raised there, and after
Close the chart shows the new range: its curves sit lower in the plot."""
import time


def window_of(s, title):
    """The X window of the program's top-level window of that title."""
    deadline = time.time() + 10
    while time.time() < deadline:
        ids = s.xdotool("search", "--onlyvisible", "--name", title, check=False).split()
        if ids:
            return ids[-1]
        time.sleep(0.1)
    raise AssertionError(f"no window titled {title}")


def keys_to(s, title, *keys):
    """Keys to the program's dialog of that title, as the user types into it."""
    wid = window_of(s, title)
    if s.display.wm:
        s.xdotool("windowactivate", "--sync", wid, check=False)
    s.xdotool("windowfocus", "--sync", wid, check=False)
    s.xdotool("key", "--delay", "80", *keys)
    s.settle(0.5)


def top_of_curves(s, img, chart):
    """The highest row inside the chart's plot frame that holds a curve's colour (a saturated pixel)."""
    cols = img.vertical_lines(chart.rect, min_len=60 * s.scale)
    rows = img.horizontal_lines(chart.rect, min_len=60 * s.scale)
    if len(cols) < 2 or len(rows) < 2:
        return None
    for y in range(rows[0] + 2, rows[-1] - 1):
        for x in range(cols[0] + 2, cols[-1] - 1):
            r, g, b = img.px(x, y)
            if max(r, g, b) - min(r, g, b) > 80:
                return y - rows[0], rows[-1] - rows[0]
    return None


def run(s):
    s.start()
    s.open_editing()
    chart = s.wait_for(lambda m: m.get("Chart2"), 10, "the upper right chart")
    before = top_of_curves(s, s.shot("before"), chart)
    s.check(before is not None, "no curve in the upper right chart's plot")

    s.xdotool("mousemove", "--sync", str(chart.x + chart.w // 2), str(chart.y + chart.h // 2))
    s.xdotool("click", "3")
    s.settle()
    s.key("Down", "Return")  # the pop-up menu's "ChartEditor"
    dialog = s.child("ChartEditForm")
    s.check(dialog.x < chart.x + chart.w and chart.x < dialog.x + dialog.w, "the editor opened away from its view")
    s.shot("editor")
    keys_to(s, "Editing Chart2", "ctrl+Tab", "ctrl+Tab")  # Series list, General, Axis
    button = s.wait_for(lambda m: m.get("BAxisMax"), 5, "the axis page's maximum button")
    s.shot("axis page")
    s.click(button.x + button.w // 2, button.y + button.h // 2)
    limit = s.child("AxisMaxMin")
    keys_to(s, limit.caption, "ctrl+a", *"100000", "Return")
    s.wait_for(lambda m: not m.get("AxisMaxMin"), 5, "the limit dialog closing")
    keys_to(s, "Editing Chart2", "Escape")
    s.wait_for(lambda m: not m.get("ChartEditForm"), 5, "the editor closing")
    s.settle()
    after = top_of_curves(s, s.shot("after"), chart)
    s.check(after is not None, "the curves left the plot")
    s.check(after[0] > before[0] + after[1] // 10,
            f"the curves did not move down under the new maximum (top row {before[0]} -> {after[0]} of {after[1]})")
