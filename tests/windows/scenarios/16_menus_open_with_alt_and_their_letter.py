"""Menus work from the keyboard as on a desktop: Alt+W opens the Window menu (its caption marks the W),
and the letter of an entry runs it: T chooses "Tile Vertically", which puts the Starting data view and
the program log side by side. Alt pressed and released alone moves the keyboard into the menu bar,
where Down opens the first menu."""


def popups(s):
    return len(s.xdotool("search", "--onlyvisible", "--pid", str(s.proc.pid), check=False).split())


def run(s):
    s.start()
    main = s.child("MainForm1")
    view = s.child("caption:Starting data")
    s.child("STermWin1")
    s.settle()
    shown = popups(s)
    s.key("alt+w")
    s.settle(0.3)
    s.shot("window_menu")
    s.check(popups(s) == shown + 1, "Alt+W opens no menu")
    s.key("t")
    s.settle()
    view = s.child("caption:Starting data")
    log = s.child("STermWin1")
    s.shot("tiled")
    s.check(popups(s) == shown, "the menu stays open after its entry's letter")
    s.check(view.w < main.w * 0.6 and log.w < main.w * 0.6 and abs(view.y - log.y) < 4,
            f"T in the Window menu did not tile the windows side by side: {view}, {log}")
    s.key("alt")
    s.settle(0.3)
    s.key("Down")
    s.settle(0.3)
    s.shot("alt_then_down")
    s.check(popups(s) == shown + 1, "Alt alone and Down open no menu")
    s.key("Escape", "Escape")
    s.settle(0.3)
    s.check(popups(s) == shown, "Escape leaves the menu open")
