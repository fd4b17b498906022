"""From the Resulting data view's chart pop-up menu ("ChartEditor") the chart editor opens; with the
keyboard alone the user goes to the Series page, where the series' own editor form shows in "Format",
and on to the Tools page (through the Data page, whose grid leaves Ctrl+Tab to the pages), where the
list of tools and the selected tool's form show. Each page's area is drawn, not left blank."""
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
    s.settle(0.6)


def colours_in(img, c, step=3):
    """The number of different colours inside the control's rectangle (a blank area has one or two)."""
    seen = set()
    for y in range(c.y + 2, c.y + c.h - 2, step):
        for x in range(c.x + 2, c.x + c.w - 2, step):
            seen.add(img.px(x, y))
    return len(seen)


def run(s):
    s.start()
    s.open_resulting_data()
    chart = s.wait_for(lambda m: m.get("Chart1"), 10, "the Resulting data chart")
    s.xdotool("mousemove", "--sync", str(chart.x + chart.w // 2), str(chart.y + chart.h // 2))
    s.xdotool("click", "3")
    s.settle()
    s.key("Down", "Return")  # the pop-up menu's "ChartEditor"
    dialog = s.child("ChartEditForm")
    title = dialog.caption

    # The series list has the focus: Tab twice reaches the page tabs, Right turns to Series.
    keys_to(s, title, "Tab", "Tab", "Right")
    pages = s.wait_for(lambda m: m.get("PageSeries"), 5, "the series page")
    s.settle()
    img = s.shot("series page")
    s.check(pages.x >= dialog.x and pages.x + pages.w <= dialog.x + dialog.w, "the series page leaves the dialog")
    s.check(colours_in(img, pages) > 6, "the series page's Format tab shows no form")
    controls = [c for name, c in s.windows().items()
                if c.x > pages.x and c.y > pages.y + 20 * s.scale and c.x + c.w <= pages.x + pages.w
                and c.y + c.h <= pages.y + pages.h and c.cls in ("TButton", "TCheckBox", "TButtonPen", "TButtonColor")]
    s.check(len(controls) >= 2, f"the Format tab holds {len(controls)} buttons and boxes, not the series' form")

    # Ctrl+Tab turns the main tabs from wherever the focus is: to Data, then to Tools.
    keys_to(s, title, "ctrl+Tab")
    s.wait_for(lambda m: m.get("ChartGrid1"), 5, "the data page")
    keys_to(s, title, "ctrl+Tab")
    s.wait_for(lambda m: m.get("LBTools"), 5, "the tools page")
    # Alt+A adds a tool: in the gallery Tab goes to the list, Down picks a kind, Return adds it.
    keys_to(s, title, "alt+a")
    s.settle()
    keys_to(s, "Chart Tools Gallery", "Tab", "Down", "Return")
    s.wait_for(lambda m: not m.get("caption:Chart Tools Gallery"), 5, "the gallery closing")
    s.settle()
    panel = s.wait_for(lambda m: m.get("PanelToolEditor"), 5, "the tool form's panel")
    img = s.shot("tools page")
    s.check(panel.x + panel.w <= dialog.x + dialog.w + 1, "the tool form's panel leaves the dialog")
    s.check(colours_in(img, panel) > 4, "the tools page shows no tool form")
    inside = [c for name, c in s.windows().items()
              if c.x >= panel.x and c.y >= panel.y and c.x + c.w <= panel.x + panel.w
              and c.y + c.h <= panel.y + panel.h and c is not panel]
    s.check(len(inside) >= 2, f"the tool form's panel holds {len(inside)} controls")
    keys_to(s, title, "Escape")
    s.wait_for(lambda m: not m.get("ChartEditForm"), 5, "the editor closing")
