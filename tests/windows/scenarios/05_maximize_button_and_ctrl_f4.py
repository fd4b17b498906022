"""A child's maximize button merges its caption into the frame's ("... - [Resulting data]") and its
client area takes the whole of the frame's; Ctrl+F4 then closes it, the frame's caption is its own
again and another window takes the active caption."""


def run(s):
    s.start()
    form = s.open_resulting_data()
    s.click(form.x + form.w - 30 * s.scale, form.y - 12 * s.scale)  # the caption's middle button
    title = s.xdotool("getwindowname", s.window).strip()
    s.check(title.endswith("- [Resulting data]"), f"the frame's caption is {title!r}")
    big = s.wait_for(lambda m: (f := m.get("caption:Resulting data")) and f.w >= form.w and f.y < form.y and f, 5,
                     "the maximized window")
    img = s.shot("maximized")
    s.check(not s.caption_is_active(img, big), "the maximized window keeps a caption bar of its own")
    s.key("ctrl+F4")
    s.wait_for(lambda m: "caption:Resulting data" not in m, 5, "Resulting data closing")
    title = s.xdotool("getwindowname", s.window).strip()
    s.check("[" not in title, f"the frame's caption is still {title!r}")
    img = s.shot("closed")
    s.check(s.caption_is_active(img, s.child("caption:Starting data")), "no other window took the active caption")
