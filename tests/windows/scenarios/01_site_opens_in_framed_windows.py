"""The sample site opens in framed child windows: each has a caption bar above its client area, the
active one in the highlight colour, the others not."""


def run(s):
    s.start()
    header = s.child("caption:Starting data")
    log = s.child("STermWin1")
    s.settle()
    img = s.shot("opened")
    active = [f for f in (header, log) if s.caption_is_active(img, f)]
    s.check(len(active) == 1, f"one window shows the active caption, not {len(active)}")
    for form in (header, log):
        band = s.caption_band(img, form)
        s.check(14 * s.scale <= band <= 40 * s.scale, f"{form.name} has no caption bar above it (band {band} px)")
