"""Resulting Data after Maximize Special: its caption bar is at its top and its plot frames follow the
window (the lower plot's frame reaches into the right part and the bottom of the window)."""


def run(s):
    s.start()
    s.open_resulting_data()
    s.maximize_special()
    form = s.child("caption:Resulting data")
    main = s.child("MainForm1")
    s.check(form.w > main.w * 0.9, f"Maximize Special left the window {form.w} px wide in a {main.w} px frame")
    img = s.shot("maximized")
    s.check(s.caption_is_active(img, form), "no active caption bar above Resulting data")
    columns, rows = s.plot_frames(img, form)
    s.check(columns and columns[-1] > form.x + form.w * 0.6,
            f"the plot frames end at x={columns[-1] if columns else None}, left of 60% of the window")
    s.check(rows and rows[-1] > form.y + form.h * 0.8,
            f"the plot frames end at y={rows[-1] if rows else None}, above 80% of the window")
