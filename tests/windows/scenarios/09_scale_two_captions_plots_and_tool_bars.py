"""At scale 2: every tool-bar button lies inside the main window (none cut off at the right), the
child windows keep their caption bars below the bars, and Resulting Data after Maximize Special has its caption bar at its top and its plots fill it."""

SCALE = 2


def run(s):
    s.start()
    main = s.child("MainForm1")
    screen = s.shot("started")
    buttons = [c for k, c in s.windows().items() if k.startswith("action:")]
    s.check(len(buttons) >= 40, f"only {len(buttons)} tool-bar buttons show")
    outside = [c.action for c in buttons if c.x + c.w > min(main.x + main.w, screen.width)]
    s.check(not outside, f"tool-bar buttons beyond the window's right edge: {outside}")
    header = s.child("caption:Starting data")  # placed below the bars, which take two lines here
    band = s.caption_band(screen, header)
    s.check(28 <= band <= 80, f"the starting-data view's caption bar is hidden ({band} px)")
    s.open_resulting_data()
    s.maximize_special()
    form = s.child("caption:Resulting data")
    img = s.shot("maximized")
    band = s.caption_band(img, form)
    s.check(s.caption_is_active(img, form) and band >= 28, f"no active caption bar of scale 2 (band {band} px)")
    columns, rows = s.plot_frames(img, form)
    s.check(columns and columns[-1] > form.x + form.w * 0.6, "the plot frames do not follow the window")
    s.check(rows and rows[-1] > form.y + form.h * 0.8, "the plot frames do not reach the window's foot")
