"""Started in Russian (the language stored as 11): the main window, the data views, the editing
window and the options window show Russian captions, and the data views' plots still fill them."""
import os

SCALE = 1


def speak_russian(s):
    """Stores the language number where the program reads it: the current user's registry file."""
    folder = os.path.join(s.dir, "config", "varomark")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "registry.ini"), "w") as f:
        f.write("[Software\\Varomark\\Chart\\Editor]\nLanguage=d:11\n")


def run(s):
    speak_russian(s)
    s.start()
    s.child("caption:Начальные данные")  # the starting-data view opens with the site
    s.shot("main")
    s.menu(2, 2)  # Вид > Отредактированные данные
    form = s.child("caption:Отредактированные данные")
    s.maximize_special()
    img = s.shot("resulting")
    columns, rows = s.plot_frames(img, form)
    s.check(columns and columns[-1] > form.x + form.w * 0.6, "the plot frames do not follow the window")
    s.open_editing()
    s.maximize_special()
    s.shot("editing")
    s.menu(4, 10)  # Обработка > Параметры
    s.child("Options1")
    s.settle()
    s.shot("options")
