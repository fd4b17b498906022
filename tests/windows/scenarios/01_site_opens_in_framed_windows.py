"""The sample site opens into the Starting data view, a framed child window whose caption bar is at
its top in the highlight colour."""


def run(s):
    s.start()
    view = s.child("caption:Starting data")
    s.child("STermWin1")
    s.settle()
    img = s.shot("opened")
    s.check(s.caption_is_active(img, view), "the Starting data view does not show the active caption")
    band = s.caption_band(img, view)
    s.check(14 * s.scale <= band <= 40 * s.scale, f"{view.name} has no caption bar above it (band {band} px)")
