"""The Windows executable in window mode under Wine, used as a person uses it.

Usage: window_e2e.py EXE PREFIX ARTEFACTS

It seeds the prefix's cookie folder, starts the tool with no argument on a
Wine virtual desktop in an X display of its own, clicks "Process" with the
mouse, reads the window from screenshots, presses Escape while the run goes
on (some thousands of files make it last), and expects the window to stay
until the run has ended, the process to end with status 0 and the folder to
be cleaned. The screenshots before and during the run are left in ARTEFACTS.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
import cookie_samples as samples  # noqa: E402

RUNNER = os.path.join(HERE, "..", "..", "scripts", "wine-run.sh")
CAPTION = "Quillfen v.1.03"
BULK_FILES = 10000

# Control rectangles in dialog units (x, y, width, height), and the dialog's
# size; the window's frame is a 3-pixel border and a caption of about 20.
DIALOG_UNITS = (311, 225)
PROCESS_BUTTON = (73, 148, 78, 19)
LOG_TEXT = (3, 20, 290, 121)  # the log box without its scroll bar
BORDER, CAPTION_HEIGHT = 3, 20


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Display:
    """An Xvfb server of our own, on whatever display number is free."""

    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            number = numbers.readline().strip()
        if not number:
            fail("Xvfb did not start")
        self.name = ":" + number

    def run(self, *command):
        env = dict(os.environ, DISPLAY=self.name)
        return subprocess.run(command, env=env, stdout=subprocess.PIPE, timeout=60).stdout

    def close(self):
        self.server.terminate()
        self.server.wait(timeout=30)


class Screenshot:
    """The pixels of one window, from ImageMagick's PPM output."""

    def __init__(self, data):
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        if not match:
            fail("no screenshot")
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.pixels = data[match.end():]

    def dark_pixels(self, box):
        """Pixels of text-like darkness inside box (x, y, width, height)."""
        x0, y0, w, h = box
        count = 0
        for y in range(y0, y0 + h):
            row = (y * self.width + x0) * 3
            for x in range(w):
                r, g, b = self.pixels[row + 3 * x:row + 3 * x + 3]
                count += r + g + b < 3 * 80
        return count


class Window:
    def __init__(self, display, window_id):
        self.display = display
        self.id = window_id
        info = display.run("xwininfo", "-id", window_id).decode()
        self.width = int(re.search(r"Width: (\d+)", info).group(1))
        self.height = int(re.search(r"Height: (\d+)", info).group(1))
        self.scale_x = (self.width - 2 * BORDER) / DIALOG_UNITS[0]
        self.scale_y = (self.height - 2 * BORDER - CAPTION_HEIGHT) / DIALOG_UNITS[1]

    def inside(self, units, margin=5):
        """A control's rectangle in window pixels, shrunk by a margin."""
        x, y, w, h = units
        left = BORDER + round(x * self.scale_x) + margin
        top = BORDER + CAPTION_HEIGHT + round(y * self.scale_y) + margin
        return (left, top, round(w * self.scale_x) - 2 * margin,
                round(h * self.scale_y) - 2 * margin)

    def centre(self, units):
        left, top, w, h = self.inside(units, 0)
        return left + w // 2, top + h // 2

    def shot(self, path=None):
        data = self.display.run("import", "-window", self.id, "-depth", "8", "ppm:-")
        if path:
            self.display.run("import", "-window", self.id, path)
        return Screenshot(data)

    def wait_for(self, condition, what, seconds=60):
        deadline = time.time() + seconds
        while time.time() < deadline:
            shot = self.shot()
            if condition(shot):
                return shot
            time.sleep(0.2)
        fail("the window never showed " + what)


def find_window(display, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = display.run("xdotool", "search", "--name", "^%s$" % re.escape(CAPTION)).split()
        if found:
            return Window(display, found[0].decode())
        time.sleep(0.2)
    fail("no window named " + CAPTION)


def start_tool(wine, display, exe, work):
    """Starts the tool on a desktop of its own; a batch file notes its exit status,
    which Wine's explorer does not hand on."""
    status = os.path.join(work, "status")
    with open(os.path.join(work, "run.bat"), "w", newline="\r\n") as bat:
        bat.write('@"%s"\n@echo %%ERRORLEVEL%% >"%s"\n' % (windows_path(exe), windows_path(status)))
    env = dict(wine.env(), DISPLAY=display.name)
    process = subprocess.Popen(
        [RUNNER, wine.prefix, "explorer", "/desktop=quillfen-gui-%d,1024x768" % os.getpid(),
         "cmd", "/c", windows_path(os.path.join(work, "run.bat"))], env=env, cwd=work)
    return process, status


def check_folders(wine, main, low):
    for folder, files in [(wine.cookie_folder(), main),
                          (os.path.join(wine.cookie_folder(), "Low"), low)]:
        expected = {name: cleaned for name, (_, cleaned, _) in files.items() if cleaned is not None}
        if samples.read_folder(folder) != expected:
            fail("folder %s holds %r" % (folder, sorted(samples.read_folder(folder))))


def use_the_window(display, exe, wine, work, artefacts):
    process, status = start_tool(wine, display, exe, work)
    try:
        window = find_window(display)
        button = window.inside(PROCESS_BUTTON)
        log_text = window.inside(LOG_TEXT)
        before = window.wait_for(lambda s: s.dark_pixels(button) > 0, "its Process button")
        window.shot(os.path.join(artefacts, "window-before.png"))
        if before.dark_pixels(log_text) != 0:
            fail("the log box is not empty before the run")

        x, y = window.centre(PROCESS_BUTTON)
        display.run("xdotool", "mousemove", "--window", window.id, str(x), str(y), "click", "1")
        # The button stays greyed, "Working" and then "Done", and the log
        # shows as it grows; Escape, if pressed before the end, waits for it.
        window.wait_for(lambda s: s.dark_pixels(button) == 0 and s.dark_pixels(log_text) > 500,
                        "a disabled Process button and the log")
        window.shot(os.path.join(artefacts, "window-during.png"))
        # Pressed during the run, the window stays until the run has ended,
        # or goes at once where the run ended before the key: either way no
        # file the run deletes is left once the window is gone.
        display.run("xdotool", "key", "Escape")
        deadline = time.time() + 60
        while display.run("xdotool", "search", "--name", "^%s$" % re.escape(CAPTION)).split():
            if time.time() > deadline:
                fail("Escape during the run never closed the window")
            time.sleep(0.05)
        left = [name for name in os.listdir(wine.cookie_folder()) if name.startswith("bulk")]
        if left:
            fail("Escape closed the window before the run had ended (%d files left)" % len(left))
        process.wait(timeout=120)
    finally:
        if process.poll() is None:
            process.kill()
    if not os.path.exists(status):
        fail("the tool did not end")
    code = open(status).read().strip()
    if code != "0":
        fail("exit status " + code)
    # The tool ran in this folder; window mode writes no log file.
    if sorted(os.listdir(work)) != ["run.bat", "status"]:
        fail("the run left %r" % sorted(os.listdir(work)))


def main():
    exe, prefix, artefacts = sys.argv[1:4]
    if not os.path.isfile(exe):
        fail("no executable at " + exe)
    os.makedirs(artefacts, exist_ok=True)
    wine = samples.Wine(prefix, RUNNER)
    wine.ready()
    main_files, low_files = samples.demo_folders()
    # Enough files that the run goes on for seconds after its log shows.
    for number in range(BULK_FILES):
        main_files["bulk%d.txt" % number] = samples.cookie_file([(c, True) for c in "abc"])
    folder = wine.reset_cookie_folder()
    samples.write_files(folder, {n: d for n, (d, _, _) in main_files.items()})
    samples.write_files(os.path.join(folder, "Low"), {n: d for n, (d, _, _) in low_files.items()})
    work = tempfile.mkdtemp(prefix="quillfen-gui-")
    display = Display()
    try:
        use_the_window(display, exe, wine, work, artefacts)
        check_folders(wine, main_files, low_files)
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(wine.cookie_folder(), ignore_errors=True)
    print("PASS: window mode, screenshots in", artefacts)


if __name__ == "__main__":
    main()
