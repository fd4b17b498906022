"""The editing window after Maximize Special: its four charts take their quarters, so the plot
frames reach the window's right and bottom edges (no empty space left by the charts)."""


def run(s):
    s.start()
    s.open_editing()
    s.maximize_special()
    form = s.child("Varo1")
    img = s.shot("maximized")
    s.check(s.caption_is_active(img, form), "no active caption bar above the editing window")
    columns, rows = s.plot_frames(img, form)
    right, bottom = form.x + form.w, form.y + form.h
    s.check(columns and right - columns[-1] < 60 * s.scale,
            f"the right plot frame ends at x={columns[-1] if columns else None}, far from the window's edge {right}")
    s.check(rows and bottom - rows[-1] < 80 * s.scale,
            f"the lower plot frame ends at y={rows[-1] if rows else None}, far from the window's foot {bottom}")
    # The left charts take half the window.
    middle = [x for x in columns if form.x + form.w * 0.35 < x < form.x + form.w * 0.5]
    s.check(middle, "the left charts do not reach the middle of the window")
