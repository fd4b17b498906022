"""The sample site opens into the Starting data view, a framed child window whose caption bar is at
its top in the highlight colour. The window manager gives the frame its size after it shows: the view
still takes the frame's whole free area above the program log, whose caption bar shows below it."""


def run(s):
    s.start()
    main = s.child("MainForm1")
    view = s.child("caption:Starting data")
    s.child("STermWin1")
    s.settle()
    main = s.child("MainForm1")  # read again: a slow start may have shown it before its maximized size
    view = s.child("caption:Starting data")
    log = s.child("STermWin1")
    img = s.shot("opened")
    s.check(s.caption_is_active(img, view), "the Starting data view does not show the active caption")
    band = s.caption_band(img, view)
    s.check(14 * s.scale <= band <= 40 * s.scale, f"{view.name} has no caption bar above it (band {band} px)")
    s.check(view.x + view.w > main.x + main.w * 0.95,
            f"the Starting data view keeps a first size ({view}) in the frame {main}")
    s.check(log.y - band > view.y + view.h, f"the program log {log} lies under the Starting data view {view}")
    s.check(log.y + log.h <= main.y + main.h, f"the program log {log} runs below the frame {main}")
    log_band = s.caption_band(img, log)
    s.check(14 * s.scale <= log_band <= 40 * s.scale, f"the program log shows no caption bar (band {log_band} px)")
