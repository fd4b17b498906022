"""What the real-window scenarios use: an X server, a window manager, the program, the keyboard and
the mouse (xdotool), screenshots (screen_grab) and the pixels that carry meaning in them.

Coordinates are the X screen's pixels (device pixels), as xdotool and the window map give them.
"""
import os
import shutil
import signal
import subprocess
import tempfile
import time
import zlib
import struct

# The colours the program's windows show on an X screen without a desktop theme: the caption bar of
# the active child window is the palette's highlight; plot frames are black.
ACTIVE_CAPTION = (48, 140, 198)
FRAME = (0, 0, 0)


class Failure(Exception):
    """A scenario found the window other than a person expects it."""


def need(tool):
    path = shutil.which(tool)
    if not path:
        raise Failure(f"{tool} is not installed (build.sh installs it)")
    return path


class Display:
    """A virtual X server of its own (Xvfb picks a free display number)."""

    def __init__(self, width=1600, height=1000):
        need("Xvfb")
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        os.close(write)
        number = b""
        deadline = time.time() + 15
        while time.time() < deadline and not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        if not number.strip():
            err = self.proc.stderr.read().decode(errors="replace") if self.proc.poll() is not None else ""
            self.stop()
            raise Failure("no X server could start (Xvfb): " + err.strip()[-300:])
        self.name = ":" + number.decode().strip()
        self.wm = None

    def env(self):
        e = dict(os.environ)
        e["DISPLAY"] = self.name
        return e

    def window_manager(self, on):
        if on and not self.wm:
            need("openbox")
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env(), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(0.8)
            if self.wm.poll() is not None:
                raise Failure("openbox did not start")
        elif not on and self.wm:
            self.wm.terminate()
            self.wm.wait(5)
            self.wm = None

    def stop(self):
        if self.wm:
            self.wm.terminate()
            self.wm.wait(5)
            self.wm = None
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(5)


class Image:
    """A screenshot: pixels as (r, g, b)."""

    def __init__(self, path):
        data = open(path, "rb").read()
        fields = []
        pos = 0
        while len(fields) < 4:  # "P6", width, height, maximum, comments skipped
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = data[pos + 1:]
        self.path = path

    def px(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def save_png(self, path):
        rows = b"".join(b"\0" + self.data[y * self.width * 3:(y + 1) * self.width * 3] for y in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(rows, 1)) + chunk(b"IEND", b""))

    def vertical_lines(self, rect, color=FRAME, min_len=60):
        """The columns in rect that hold a run of color at least min_len pixels tall."""
        x0, y0, x1, y1 = rect
        found = []
        for x in range(max(0, x0), min(self.width, x1)):
            run = best = 0
            for y in range(max(0, y0), min(self.height, y1)):
                run = run + 1 if self.px(x, y) == color else 0
                best = max(best, run)
            if best >= min_len:
                found.append(x)
        return found

    def horizontal_lines(self, rect, color=FRAME, min_len=60):
        """The rows in rect that hold a run of color at least min_len pixels wide."""
        x0, y0, x1, y1 = rect
        found = []
        for y in range(max(0, y0), min(self.height, y1)):
            run = best = 0
            for x in range(max(0, x0), min(self.width, x1)):
                run = run + 1 if self.px(x, y) == color else 0
                best = max(best, run)
            if best >= min_len:
                found.append(y)
        return found


class Control:
    """A shown control of the program, as its window map gives it."""

    def __init__(self, line):
        parts = line.split(" ", 7)
        self.name, self.cls, self.action = parts[0], parts[1], parts[2]
        self.x, self.y, self.w, self.h = (int(v) for v in parts[3:7])
        self.caption = parts[7] if len(parts) > 7 else ""

    @property
    def rect(self):
        return (self.x, self.y, self.x + self.w, self.y + self.h)

    def __repr__(self):
        return f"{self.name}({self.cls}) at {self.x},{self.y} {self.w}x{self.h}"


class Session:
    """The program started once in the display, at a scale, with or without the window manager."""

    def __init__(self, display, options, name, scale=1):
        self.display, self.options, self.name, self.scale = display, options, name, scale
        self.dir = tempfile.mkdtemp(prefix="varomark_windows_")
        self.map_file = os.path.join(self.dir, "windows.map")
        self.proc = None
        self.shots = 0

    # -- the program ---------------------------------------------------------------------------------
    def start(self, files=("S107.AMT", "S107.MT1", "S107.MT2"), ini=None):
        """Starts the program on the sample files (a fresh settings folder, or the INI text given)."""
        config = os.path.join(self.dir, "config")
        os.makedirs(os.path.join(config, "varomark"), exist_ok=True)
        if ini is not None:
            with open(os.path.join(config, "varomark", "varomark.INI"), "w") as f:
                f.write(ini)
        env = self.display.env()
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_SCALE_FACTOR": str(self.scale), "XDG_CONFIG_HOME": config,
                    "HOME": self.dir, "VAROMARK_WINDOW_MAP": self.map_file, "LC_ALL": "C.UTF-8"})
        args = [self.options.program] + [os.path.join(self.options.samples, f) for f in files]
        self.log = open(os.path.join(self.dir, "program.log"), "w")
        self.proc = subprocess.Popen(args, env=env, cwd=self.dir, stdout=self.log, stderr=subprocess.STDOUT)
        self.main = self.wait_for(lambda m: m.get("MainForm1"), 20, "the main window")
        self.window = self.main_window_id()
        self.focus()
        return self

    def main_window_id(self):
        deadline = time.time() + 10
        while time.time() < deadline:
            ids = self.xdotool("search", "--onlyvisible", "--pid", str(self.proc.pid), check=False).split()
            best, area = None, 0
            for wid in ids:
                geo = self.geometry(wid)
                if geo and geo[2] * geo[3] > area:
                    best, area = wid, geo[2] * geo[3]
            if best:
                return best
            time.sleep(0.2)
        raise Failure("the main window does not show")

    def geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", wid, check=False)
        v = dict(line.split("=", 1) for line in out.split() if "=" in line)
        try:
            return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])
        except (KeyError, ValueError):
            return None

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
        if getattr(self, "log", None):
            self.log.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    # -- what shows ----------------------------------------------------------------------------------
    def windows(self):
        """The program's shown controls with names by name, its forms also by "caption:" and caption, the
        tool buttons by "action:" and their action's name."""
        try:
            with open(self.map_file) as f:
                controls = [Control(line.rstrip("\n")) for line in f if line.strip()]
        except FileNotFoundError:
            return {}
        found = {c.name: c for c in controls if c.name != "-"}
        found.update({"caption:" + c.caption: c for c in controls if c.caption})
        found.update({"action:" + c.action: c for c in controls if c.action != "-"})
        return found

    def wait_for(self, what, timeout, description):
        """Waits until what(windows) gives something true, and returns it."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc and self.proc.poll() is not None:
                raise Failure(f"the program ended (code {self.proc.returncode}) while waiting for {description}")
            got = what(self.windows())
            if got:
                return got
            time.sleep(0.1)
        raise Failure(f"{description} did not show within {timeout} s")

    def settle(self, seconds=0.6):
        """Lets the program take the input and draw (the map is written every 150 ms)."""
        time.sleep(seconds)

    def shot(self, tag):
        """A screenshot of the whole screen."""
        self.shots += 1
        path = os.path.join(self.options.out, f"{self.name}_{self.shots:02d}_{tag}.ppm")
        env = self.display.env()
        env.pop("QT_SCALE_FACTOR", None)
        env["QT_QPA_PLATFORM"] = "xcb"
        subprocess.run([self.options.grab, path], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        img = Image(path)
        if self.options.png:
            img.save_png(path[:-4] + ".png")
        self.last = img
        return img

    def check(self, condition, message):
        if not condition:
            if getattr(self, "last", None):
                self.last.save_png(self.last.path[:-4] + ".png")
                message += f" (screenshot {self.last.path[:-4]}.png)"
            raise Failure(message)

    # -- keyboard and mouse --------------------------------------------------------------------------
    def xdotool(self, *args, check=True):
        r = subprocess.run(["xdotool", *args], env=self.display.env(), capture_output=True, text=True)
        if check and r.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)}: {r.stderr.strip()}")
        return r.stdout

    def focus(self):
        if self.display.wm:
            self.xdotool("windowactivate", "--sync", self.window, check=False)
        self.xdotool("windowfocus", "--sync", self.window, check=False)

    def key(self, *keys):
        self.focus()
        self.xdotool("key", "--delay", "60", *keys)
        self.settle(0.4)

    def menu(self, top, item):
        """Runs the item-th entry (from 0) of the top-th menu of the menu bar (from 0), as with the keys."""
        self.key("F10", *(["Right"] * top), *(["Down"] * item), "Return")

    def click(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.1)
        self.xdotool("click", "1")
        self.settle(0.3)

    def drag(self, x0, y0, x1, y1, steps=8):
        self.xdotool("mousemove", "--sync", str(x0), str(y0))
        time.sleep(0.1)
        self.xdotool("mousedown", "1")
        for i in range(1, steps + 1):
            self.xdotool("mousemove", str(x0 + (x1 - x0) * i // steps), str(y0 + (y1 - y0) * i // steps))
            time.sleep(0.05)
        self.xdotool("mouseup", "1")
        self.settle()

    # -- the program's windows -----------------------------------------------------------------------
    def child(self, name, timeout=15):
        """A child window (form) by name or "caption:" and caption, once it shows."""
        return self.wait_for(lambda m: m.get(name), timeout, f"the window {name}")

    def open_resulting_data(self):
        self.menu(2, 2)  # Show > Resulting Data
        return self.child("caption:Resulting data")

    def open_editing(self):
        self.menu(4, 0)  # Processing > Editing; each file asks which edit to start from
        for _ in range(3):
            self.settle(0.8)
            if self.windows().get("Varo1"):
                break
            self.key("Return")
        return self.child("Varo1")

    def maximize_special(self):
        self.menu(6, 0)  # Window > Maximize Special
        self.settle()

    def caption_is_active(self, img, form):
        """True when the band just above the form's client area is the active caption colour (sampled
        along its right half, clear of the caption's text and buttons)."""
        y = form.y - 6 * self.scale
        xs = [form.x + form.w // 2 + k * (form.w // 2 - 90 * self.scale) // 4 for k in range(5)]
        return sum(img.px(x, y) == ACTIVE_CAPTION for x in xs) >= 4

    def caption_band(self, img, form):
        """The height of the uniform band just above the form's client area (its caption bar)."""
        x = form.x + form.w * 3 // 4
        color = img.px(x, form.y - 6 * self.scale)
        top = form.y - 6 * self.scale
        while top > 0 and img.px(x, top - 1) == color:
            top -= 1
        bottom = form.y - 6 * self.scale
        while img.px(x, bottom + 1) == color:
            bottom += 1
        return bottom - top + 1

    def plot_frames(self, img, form):
        """The plot frames drawn in the form's client area: the columns and rows of long black runs."""
        min_len = 40 * self.scale
        return img.vertical_lines(form.rect, FRAME, min_len), img.horizontal_lines(form.rect, FRAME, min_len)

    def button_is_down(self, img, button):
        """True when the tool button shows pressed in: its face above its picture is the light colour
        of a pressed button rather than the bar's."""
        y = button.y + 2 * self.scale
        xs = range(button.x + 3 * self.scale, button.x + button.w - 3 * self.scale)
        return all(img.px(x, y) == (255, 255, 255) for x in xs)
