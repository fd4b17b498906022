"""The six selection tools used one after the other in the editing window: only the last one shows
down on the tool bar."""

TOOLS = ["AcPointer", "AcHand", "AcTwoVert", "AcCircle", "AcLasso", "AcTwoHorl"]


def run(s):
    s.start()
    s.open_editing()
    for name in TOOLS:
        button = s.child("action:" + name)
        s.click(button.x + button.w // 2, button.y + button.h // 2)
    s.xdotool("mousemove", "0", "0")  # away from the bar, so that no button shows hot
    s.settle()
    img = s.shot("tools")
    m = s.windows()
    down = [name for name in TOOLS if s.button_is_down(img, m["action:" + name])]
    s.check(down == TOOLS[-1:], f"the buttons shown down are {down}, not only {TOOLS[-1]}")
