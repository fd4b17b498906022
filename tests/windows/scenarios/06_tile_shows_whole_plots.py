"""Tile with Resulting Data and the editing window open: the windows lie side by side, and each shows
its plot frames whole inside it."""


def run(s):
    s.start()
    s.open_resulting_data()
    s.open_editing()
    s.menu(6, 3)  # Window > Tile Vertically
    s.settle(1.0)
    m = s.windows()
    data, edit = m["caption:Resulting data"], m["Varo1"]
    img = s.shot("tiled")
    s.check(data.x + data.w <= edit.x or edit.x + edit.w <= data.x or
            data.y + data.h <= edit.y or edit.y + edit.h <= data.y, "the tiled windows overlap")
    for form in (data, edit):
        columns, rows = s.plot_frames(img, form)
        s.check(len(columns) >= 2 and len(rows) >= 2, f"{form.caption}: no whole plot frame")
        s.check(columns[-1] < form.x + form.w - 2 and rows[-1] < form.y + form.h - 2,
                f"{form.caption}: the plot frame is cut at the window's edge")
        s.check(columns[-1] - columns[0] > form.w * 0.4, f"{form.caption}: the plots keep a small size")
