"""At scale 2 the editing window after Maximize Special: caption bar at its top, the four charts in
their quarters, drawn at the screen's pixels (not doubled from half as many)."""

SCALE = 2


def run(s):
    s.start()
    s.open_editing()
    s.maximize_special()
    form = s.child("Varo1")
    img = s.shot("maximized")
    s.check(s.caption_is_active(img, form), "no active caption bar above the editing window")
    columns, rows = s.plot_frames(img, form)
    s.check(columns and form.x + form.w - columns[-1] < 120, "the right charts do not reach the window's edge")
    s.check(rows and form.y + form.h - rows[-1] < 160, "the lower charts do not reach the window's foot")
    # Inside the upper right plot frame: a picture drawn at half the resolution and doubled is made
    # of uniform two-by-two blocks; one drawn at the screen's pixels has slanted lines and round
    # points that split many of them.
    quarter = (form.x + form.w // 2, form.y, form.x + form.w, form.y + form.h // 2)
    cols = img.vertical_lines(quarter, min_len=80)
    rows = img.horizontal_lines(quarter, min_len=80)
    s.check(len(cols) >= 2 and len(rows) >= 2, "no plot frame in the upper right chart")
    split = blocks = 0
    for y in range(rows[0] + 4, rows[-1] - 4, 2):
        for x in range(cols[0] + 4, cols[-1] - 4, 2):
            a, b, c, d = img.px(x, y), img.px(x + 1, y), img.px(x, y + 1), img.px(x + 1, y + 1)
            blocks += 1
            split += not (a == b == c == d)
    s.check(split > blocks // 500, f"the chart is drawn at half the screen's pixels ({split} of {blocks} blocks split)")
