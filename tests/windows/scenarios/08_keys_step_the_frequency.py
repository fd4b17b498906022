"""In the editing window the arrow keys step through the frequencies: the selection line of the
upper left chart moves to the next frequency with Right and back with Left."""


def selection_line(s, img, form):
    """The column of the selection line in the upper left chart: the tallest upright white line."""
    quarter = (form.x, form.y, form.x + form.w // 2, form.y + form.h // 2)
    frame = img.vertical_lines(quarter, min_len=60 * s.scale)  # the plot's left and right edges
    if len(frame) < 2:
        return None
    best, where = 0, None
    for x in range(frame[0] + 1, frame[-1]):
        run = top = 0
        for y in range(form.y, form.y + form.h // 2):
            run = run + 1 if img.px(x, y) == (255, 255, 255) else 0
            top = max(top, run)
        if top > best:
            best, where = top, x
    return where if best >= 100 * s.scale else None


def run(s):
    s.start()
    form = s.open_editing()
    s.key("Right")  # from the first frequency, whose line lies on the plot's edge
    first = selection_line(s, s.shot("first"), form)
    s.check(first is not None, "no selection line in the upper left chart")
    s.key("Right", "Right")
    second = selection_line(s, s.shot("right"), form)
    s.check(second is not None and second > first, f"Right moved the selection line from {first} to {second}")
    s.key("Left")
    third = selection_line(s, s.shot("left"), form)
    s.check(third is not None and first < third < second, f"Left moved it from {second} to {third}")
