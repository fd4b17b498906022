"""The reference commands refresh every view: with the editing window and the polar view open, Reference >
Local E (chosen with Alt+R and L) changes the values both show, and Remote H (Alt+R, E) brings the
values of the site's own reference back, as the window map's chart notes tell."""
import re


def values(s, form):
    """The sum of the values shown by the charts of the form, and how many charts show points."""
    total, charts = 0.0, 0
    with open(s.map_file) as f:
        for line in f:
            m = re.search(r" " + form + r"\.\S+ left=\S+ points=(\d+) sum=(\S+)$", line.rstrip("\n"))
            if m and int(m.group(1)) > 0:
                total += float(m.group(2))
                charts += 1
    return round(total, 6), charts


def run(s):
    s.start()
    s.child("caption:Starting data")
    s.open_editing()
    s.menu(2, 3)  # Show > Polar diagrams
    s.child("Polar1")
    s.settle(1.5)
    own = values(s, "Varo1"), values(s, "Polar1")
    s.check(own[0][1] >= 2 and own[1][1] >= 10, f"the views show no curves to compare: {own}")
    s.key("alt+r", "l")  # Local E
    s.settle(1.5)
    local = values(s, "Varo1"), values(s, "Polar1")
    s.shot("local_e")
    s.check(local[0][0] != own[0][0], f"Local E left the editing window's values as they were ({own[0]})")
    s.check(local[1][0] != own[1][0], f"Local E left the polar view's values as they were ({own[1]})")
    s.key("alt+r", "e")  # Remote H, the site's own reference
    s.settle(1.5)
    back = values(s, "Varo1"), values(s, "Polar1")
    s.check(back == own, f"Remote H does not bring the site's values back: {back} against {own}")
