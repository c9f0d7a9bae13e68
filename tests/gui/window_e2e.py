"""The Windows executable in window mode under Wine, used as a person uses it.

Usage: window_e2e.py EXE PREFIX ARTEFACTS ASK_WINDOW [--name-bytes N] [--log-offs N]

It seeds the prefix's cookie folder, starts the tool with no argument on a
Wine virtual desktop in an X display of its own, clicks "Process" with the
mouse, reads the window from screenshots, presses Escape while the run goes
on (some thousands of files make it last), and expects the window to stay
until the run has ended, the process to end with status 0 and the folder to
be cleaned. The screenshots before and during the run are left in ARTEFACTS.

Then, with ASK_WINDOW (ask_window.c) asking the window from another process:
a run of 2,000 files and one whose expired cookie has a name of N bytes
(default 1,000,000), in which the window must answer every question within
300 ms and show "Done" within 60 s, leaving the folder cleaned; and N
log-offs (default 1) during a run of 3,000 files, the tool's process ended as
soon as WM_ENDSESSION returns, after which no working copy may be left and
every file must be as it was or as the run cleans it.
"""

import argparse
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
BULK_FILES = 3000

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


def start_tool(wine, display, exe, work, beside=()):
    """Starts the tool on a desktop of its own, and the command `beside`, if
    any, next to it; a batch file notes the tool's exit status, which Wine's
    explorer does not hand on."""
    status = os.path.join(work, "status")
    with open(os.path.join(work, "run.bat"), "w", newline="\r\n") as bat:
        if beside:
            bat.write('@start "" %s\n' % " ".join('"%s"' % word for word in beside))
        bat.write('@"%s"\n@echo %%ERRORLEVEL%% >"%s"\n' % (windows_path(exe), windows_path(status)))
    env = dict(wine.env(), DISPLAY=display.name)
    desktop = "/desktop=%s,1024x768" % os.path.basename(work)
    process = subprocess.Popen(
        [RUNNER, wine.prefix, "explorer", desktop, "cmd", "/c",
         windows_path(os.path.join(work, "run.bat"))], env=env, cwd=work)
    return process, status


def click_process(display):
    window = find_window(display)
    button = window.inside(PROCESS_BUTTON)
    window.wait_for(lambda s: s.dark_pixels(button) > 0, "its Process button")
    x, y = window.centre(PROCESS_BUTTON)
    display.run("xdotool", "mousemove", "--window", window.id, str(x), str(y), "click", "1")
    return time.time()


def wait_for_file(path, what, seconds=120):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return open(path).read()
        time.sleep(0.2)
    fail("no " + what)


def seed(wine, files):
    folder = wine.reset_cookie_folder()
    samples.write_files(folder, {name: data for name, (data, _, _) in files.items()})
    return folder


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
        # Pressed during the run: the window stays until the run has ended.
        display.run("xdotool", "key", "Escape")
        if not display.run("xdotool", "search", "--name", "^%s$" % re.escape(CAPTION)).split():
            fail("Escape closed the window before the run had ended")
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


def read_answers(path):
    """The lines of ask_window.exe: (milliseconds, answered, took, caption)."""
    answers = []
    for line in open(path):
        at, answered, took, caption = (line.split(" ", 3) + [""])[:4]
        answers.append((int(at), answered == "1", int(took), caption.strip()))
    return answers


def long_name(display, exe, wine, asker, name_bytes):
    """2,000 files and one expired cookie with a name of name_bytes bytes: the
    window answers all through the run and right after it, and shows "Done"
    within 60 s."""
    files = {"bulk%d.txt" % n: samples.cookie_file([("a", True), ("b", False)])
             for n in range(2000)}
    files["long.txt"] = samples.cookie_file([("n" * name_bytes, True), ("kept", False)])
    seed(wine, files)
    work = tempfile.mkdtemp(prefix="quillfen-gui-")
    answers_path = os.path.join(work, "answers.txt")
    process, status = start_tool(wine, display, exe, work,
                                 (windows_path(asker), "ask", windows_path(answers_path)))
    try:
        deadline = click_process(display) + 90
        while not any(a[3] == "Done" for a in read_answers(answers_path)):
            if time.time() > deadline:
                fail("the window did not show Done within 90 s")
            time.sleep(0.5)
        time.sleep(1)  # a few questions right after the run
        display.run("xdotool", "key", "Escape")
        process.wait(timeout=120)
        time.sleep(1)
        answers = read_answers(answers_path)
    finally:
        if process.poll() is None:
            process.kill()
        shutil.rmtree(work, ignore_errors=True)
    run = [a for a in answers if a[3] in ("Working", "Done")]
    working = [a[0] for a in run if a[3] == "Working"]
    done = [a[0] for a in run if a[3] == "Done"]
    print("name of %d bytes: %d questions during and right after the run, the slowest answer "
          "%d ms, unanswered %d; Done %.1f s after the first Working"
          % (name_bytes, len(run), max([a[2] for a in run] or [0]),
             sum(not a[1] for a in run), ((done or [0])[0] - (working or [0])[0]) / 1000))
    if len(run) < 5 or not all(a[1] for a in run):
        fail("the window did not answer within 300 ms all through the run: %r" % run)
    if not working or not done or done[0] - working[0] > 60000:
        fail("the window did not show Done within 60 s of the run's start")
    check_folders(wine, files, {})


def log_off(display, exe, wine, asker, attempt):
    """A log-off during a run of 3,000 files, the process ended as soon as
    WM_ENDSESSION returns: no working copy, every file as it was or cleaned."""
    files = {"bulk%d.txt" % n: samples.cookie_file([("a", True), ("b", True), ("c", False)])
             for n in range(3000)}
    folder = seed(wine, files)
    work = tempfile.mkdtemp(prefix="quillfen-gui-")
    report_path = os.path.join(work, "logoff.txt")
    process, status = start_tool(
        wine, display, exe, work,
        (windows_path(asker), "endsession", windows_path(report_path), str(500 + 700 * attempt)))
    try:
        click_process(display)
        process.wait(timeout=120)
        report = wait_for_file(report_path, "log-off report")
        code = wait_for_file(status, "exit status").strip()
    finally:
        if process.poll() is None:
            process.kill()
        shutil.rmtree(work, ignore_errors=True)
    found = samples.read_folder(folder)
    left = sorted(name for name in found if name not in files)
    cleaned = sum(found.get(name) == after for name, (_, after, _) in files.items())
    untouched = sum(found.get(name) == before for name, (before, _, _) in files.items())
    print("log-off %d: %s; %d files cleaned, %d as they were, exit status %s"
          % (attempt + 1, "; ".join(report.strip().splitlines()), cleaned, untouched, code))
    if left:
        fail("the log-off left %r" % left[:5])
    if cleaned + untouched != len(files):
        fail("the log-off left files neither as they were nor cleaned")
    if "caption Working" not in report or "query answer 0" not in report or code != "99":
        fail("the log-off did not meet a run going on and asked to wait")
    if cleaned == 0 or untouched == 0:
        fail("the log-off did not stop the run part-way")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("prefix")
    parser.add_argument("artefacts")
    parser.add_argument("ask_window")
    parser.add_argument("--name-bytes", type=int, default=1000000)
    parser.add_argument("--log-offs", type=int, default=1)
    options = parser.parse_args()
    exe, prefix, artefacts = options.exe, options.prefix, options.artefacts
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
        long_name(display, exe, wine, options.ask_window, options.name_bytes)
        for attempt in range(options.log_offs):
            log_off(display, exe, wine, options.ask_window, attempt)
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(wine.cookie_folder(), ignore_errors=True)
    print("PASS: window mode, a long cookie name and a log-off; screenshots in", artefacts)


if __name__ == "__main__":
    main()
