"""Without a window manager: the child windows have their caption bars, Maximize Special makes the
plots follow, and Ctrl+F4 closes the active window."""

WINDOW_MANAGER = False


def run(s):
    s.start()
    s.open_resulting_data()
    s.maximize_special()
    form = s.child("caption:Resulting data")
    img = s.shot("maximized")
    s.check(s.caption_is_active(img, form), "no active caption bar above Resulting data")
    columns, rows = s.plot_frames(img, form)
    s.check(columns and columns[-1] > form.x + form.w * 0.6, "the plot frames do not follow the window")
    s.key("ctrl+F4")
    s.wait_for(lambda m: "caption:Resulting data" not in m, 5, "Resulting data closing")
