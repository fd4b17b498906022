"""A main-window placement kept at scale 1 on this screen (1480 by 900 pixels) is brought onto the
screen whole when the program starts at scale 2, where the screen holds half as many pixels."""

SCALE = 2

INI = """[TMainForm1]
Flags=0
ShowCmd=1
PixelsPerInch=96
NormPos=100,60,1580,960
"""


def run(s):
    s.start(ini=INI)
    main = s.child("MainForm1")
    img = s.shot("started")
    s.check(main.x >= 0 and main.y >= 0, f"the window starts off the screen at {main.x},{main.y}")
    s.check(main.x + main.w <= img.width and main.y + main.h <= img.height,
            f"the window reaches beyond the screen: {main.rect} on {img.width}x{img.height}")
