"""Dragging the lower right corner of Resulting Data (which opens over the whole free area) makes the
window smaller and its plot frames follow at once."""


def run(s):
    s.start()
    form = s.open_resulting_data()
    s.settle()
    before = s.plot_frames(s.shot("before"), form)
    corner_x, corner_y = form.x + form.w + 2 * s.scale, form.y + form.h + 2 * s.scale
    s.drag(corner_x, corner_y, corner_x - 400, corner_y - 250)
    s.wait_for(lambda m: (f := m.get("caption:Resulting data")) and f.w < form.w - 300 and f, 5, "the smaller window")
    s.settle()
    after_form = s.child("caption:Resulting data")
    img = s.shot("after")
    after = s.plot_frames(img, after_form)
    s.check(after_form.h < form.h - 150, f"the window shrank by {form.h - after_form.h} px in height only")
    s.check(s.caption_is_active(img, after_form), "no active caption bar above the window after the drag")
    s.check(after[0] and before[0] and after[0][-1] <= before[0][-1] - 300,
            f"the plot frames' right edge went from {before[0][-1:]} to {after[0][-1:]}")
    s.check(after[1] and before[1] and after[1][-1] <= before[1][-1] - 150,
            f"the plot frames' foot went from {before[1][-1:]} to {after[1][-1:]}")
