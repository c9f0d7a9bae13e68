"""The Windows executable in window mode under Wine, during a long run.

Usage: busy_window_e2e.py EXE PREFIX PROBE

The cookie folder holds some thousands of files. PROBE (probe_window.c),
started on the tool's desktop, asks the window every quarter second for an
answer within 250 ms and the log box for its line count. In a first run the
window answers every time while the button reads "Working", the count grows,
and at the end the box holds every line of the run exactly once. In a second
run Escape is pressed while the run goes on: the window closes only after
the run, with exit status 0 and the folder as a full run leaves it.
"""

import collections
import os
import re
import shutil
import sys
import tempfile
import time

import window_e2e as gui

FILES = 3000
NUMBERED = re.compile(r"(\d+)\. File: (.*), cookie: (.*)")


# Three cookies a file, two of them expired.
FOLDER = {"site%d.txt" % i: gui.samples.cookie_file([("a%d" % i, True), ("b%d" % i, True),
                                                    ("keep", False)]) for i in range(FILES)}


def read_probes(path):
    """(answered, milliseconds, line count, caption) for each question so far;
    the last line is "gone" once the window has gone."""
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [(p[0] == "1", int(p[1]), int(p[2]), " ".join(p[3:])) if p != ["gone"] else None
                for p in (line.split() for line in f)]


def wait_for_probe(path, condition, what, seconds=120):
    deadline = time.time() + seconds
    while time.time() < deadline:
        probes = read_probes(path)
        if any(condition(p) for p in probes):
            return len(probes)
        time.sleep(0.1)
    gui.fail("the probe never saw " + what)


def run(display, wine, exe, probe, work, escape_during_run):
    """One run, Escape pressed while it goes on or once it is done; answers the
    probes before and after Escape, and the box's text at the end."""
    os.makedirs(work)
    gui.samples.write_files(wine.reset_cookie_folder(), {n: d for n, (d, _, _) in FOLDER.items()})
    probes, box = os.path.join(work, "probes"), os.path.join(work, "box")
    start_probe = '@start "" /b "%s" "%s" "%s"\n' % tuple(map(gui.windows_path, (probe, probes, box)))
    process, status = gui.start_tool(wine, display, exe, work, start_probe)
    try:
        window = gui.find_window(display)
        x, y = window.centre(gui.PROCESS_BUTTON)
        display.run("xdotool", "mousemove", "--window", window.id, str(x), str(y), "click", "1")
        if escape_during_run:
            seen = wait_for_probe(probes, lambda p: p and p[3] == "Working" and p[2] > 10, "a run")
        else:
            seen = wait_for_probe(probes, lambda p: p and p[3] == "Done", "the end of the run")
        display.run("xdotool", "key", "Escape")
        process.wait(timeout=120)
        wait_for_probe(probes, lambda p: p is None, "the window go", 10)
    finally:
        if process.poll() is None:
            process.kill()
    if not os.path.exists(status) or open(status).read().strip() != "0":
        gui.fail("the tool did not end with status 0")
    expected = {name: cleaned for name, (_, cleaned, _) in FOLDER.items()}
    if gui.samples.read_folder(wine.cookie_folder()) != expected:
        gui.fail("the folder is not as a full run leaves it")
    all_probes = read_probes(probes)[:-1]
    text = open(box, "rb").read().decode("latin-1") if os.path.exists(box) else ""
    return all_probes[:seen], all_probes[seen:], text


def check_whole_log(probes, text):
    """probes: every question until the first "Done"; one unanswered also
    leaves no caption, so all of them must be answered."""
    counts = [p[2] for p in probes if p[3] == "Working"]
    print("until done: %d of %d answered, slowest %d ms; line counts while working %s"
          % (sum(p[0] for p in probes), len(probes), max(p[1] for p in probes), counts))
    if len(counts) < 5 or not all(p[0] for p in probes):
        gui.fail("the window did not answer every time during the run")
    if counts != sorted(counts) or len(set(counts)) < 3:
        gui.fail("the log box did not grow during the run")
    lines = text.split("\r\n")
    numbered = [NUMBERED.fullmatch(line).groups() for line in lines if NUMBERED.fullmatch(line)]
    expired = collections.Counter((name, cookie) for name, (_, _, cookies) in FOLDER.items()
                                  for cookie in cookies)
    if [int(n) for n, _, _ in numbered] != list(range(1, 2 * FILES + 1)) or \
            collections.Counter((name, cookie) for _, name, cookie in numbered) != expired:
        gui.fail("the box does not hold every expired cookie once, in order")
    if probes[-1][2] != len(lines) or not lines[-2].startswith("Working time: "):
        gui.fail("the box ends with %r in %d lines" % (lines[-2:], probes[-1][2]))
    print("at the end: %d lines, %d numbered, each once" % (len(lines), len(numbered)))


def main():
    exe, prefix, probe = sys.argv[1:4]
    wine = gui.samples.Wine(prefix, gui.RUNNER)
    wine.ready()
    work = tempfile.mkdtemp(prefix="quillfen-busy-")
    display = gui.Display()
    try:
        probes, _, text = run(display, wine, exe, probe, work + "/done", escape_during_run=False)
        check_whole_log(probes, text)
        before, after, _ = run(display, wine, exe, probe, work + "/working", escape_during_run=True)
        print("Escape during the run: %d questions after it, %d answered while working"
              % (len(after), sum(p[0] and p[3] == "Working" for p in after)))
        if not all(p[0] for p in before + after) or not any(p[3] == "Working" for p in after):
            gui.fail("the window did not stay and answer until the run had ended")
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(wine.cookie_folder(), ignore_errors=True)
    print("PASS: the window answers and shows its log during a run of %d files" % FILES)


if __name__ == "__main__":
    main()
