"""Ctrl+F4 closes the active child window; the next one becomes active with its caption."""


def run(s):
    s.start()
    s.open_resulting_data()
    s.key("ctrl+F4")
    s.wait_for(lambda m: "caption:Resulting data" not in m, 5, "Resulting data closing")
    s.settle()
    img = s.shot("closed")
    forms = [s.child("HeadFmNf1"), s.child("STermWin1")]
    s.check(sum(s.caption_is_active(img, f) for f in forms) == 1, "no other window took the active caption")
