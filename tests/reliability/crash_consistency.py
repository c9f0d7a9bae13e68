"""Kills the tool with SIGKILL at random moments of a batch run over a large
cookie folder, checks the folder after every kill, runs the tool again to
its end and checks that the folder is then exactly what one uninterrupted
run leaves.

  crash_consistency.py --host PROGRAM [options]
  crash_consistency.py --wine EXE --prefix PREFIX [options]
options: --kills N, --files N, --seed N (the seed of the folder and of the
kill moments, printed for replay).

--host runs the host build, its shell folder given by QUILLFEN_COOKIES; --wine
runs the Windows executable in the Wine prefix, on the prefix's own cookie
folder, and kills the Windows process itself. The moments are spread over
the part of the run in which the folder changes, as measured by a first
uninterrupted run.
"""

import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # the source tree stays as checked out
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
import cookie_samples  # noqa: E402
import crash_check  # noqa: E402
import crash_folder  # noqa: E402

SKIPPED = 77  # ctest's skip code: nothing to run here


class HostTool:
    def __init__(self, program, work):
        self.program = os.path.abspath(program)
        self.folder = os.path.join(work, "cookies")
        self.env = dict(os.environ, QUILLFEN_COOKIES=self.folder)

    def start(self, cwd):
        return subprocess.Popen([self.program, "a"], cwd=cwd, env=self.env)

    def settle(self):
        """The kernel has finished with a killed process once wait() returns."""

    def finish(self):
        shutil.rmtree(self.folder, ignore_errors=True)


class WineTool:
    """The Popen'ed process becomes the Windows process: the runner and the
    wine launcher exec, so SIGKILL ends the program itself, as a crash or the
    task manager would."""

    def __init__(self, exe, prefix):
        self.exe = os.path.abspath(exe)
        runner = os.path.join(HERE, "..", "..", "scripts", "wine-run.sh")
        self.wine = cookie_samples.Wine(prefix, runner)
        self.folder = self.wine.ready()

    def start(self, cwd):
        return subprocess.Popen([self.wine.runner, self.wine.prefix, self.exe, "a"], cwd=cwd,
                                env=self.wine.env(), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def settle(self):
        """Under Wine the server, not the killed process, closes the handles
        it left open, and closing the last handle of a file opened to be
        deleted is what deletes it: the folder may still change for a moment
        after the process has gone. Waits until it stays the same for 0.2 s."""
        last = folder_snapshot(self.folder)
        deadline = time.monotonic() + 10
        stable_since = time.monotonic()
        while time.monotonic() - stable_since < 0.2 and time.monotonic() < deadline:
            time.sleep(0.02)
            now = folder_snapshot(self.folder)
            if now != last:
                last, stable_since = now, time.monotonic()

    def finish(self):
        shutil.rmtree(self.folder, ignore_errors=True)


def folder_stamp(folder):
    return tuple(os.stat(os.path.join(folder, part)).st_mtime_ns for part in ("", "Low"))


def folder_snapshot(folder):
    """Names, sizes and times of both levels, cheap enough to poll."""
    snapshot = []
    for base in ("", "Low"):
        with os.scandir(os.path.join(folder, base)) as listing:
            for entry in listing:
                try:
                    info = entry.stat()
                except FileNotFoundError:
                    continue
                snapshot.append((base, entry.name, info.st_size, info.st_mtime_ns))
    return sorted(snapshot)


def timed_run(tool, cwd):
    """Runs to the end; (exit status, seconds to the first change of the folder,
    seconds in all)."""
    stamp = folder_stamp(tool.folder)
    start = time.perf_counter()
    process = tool.start(cwd)
    first_change = None
    while process.poll() is None:
        if first_change is None and folder_stamp(tool.folder) != stamp:
            first_change = time.perf_counter() - start
        time.sleep(0.001)
    total = time.perf_counter() - start
    return process.returncode, first_change if first_change is not None else 0.0, total


def read_log(cwd):
    try:
        with open(os.path.join(cwd, "Result.log"), "rb") as log:
            return log.read()
    except OSError:
        return b""


def clean_run_problems(tool, entries, cwd, what):
    """Runs to the end and checks the folder against one whole run."""
    status, _, _ = timed_run(tool, cwd)
    problems = crash_check.check_final(crash_folder.read_folder(tool.folder), entries)
    log = read_log(cwd)
    if status != 0:
        problems.append("%s: exit status %d" % (what, status))
    if b"Working time: " not in log or b"I/O Errors" in log:
        problems.append("%s: log without a clean end: %r" % (what, log[-300:]))
    return problems


def wait_for_change(process, folder, stamp):
    while process.poll() is None and folder_stamp(folder) == stamp:
        time.sleep(0.0005)


def kill_once(tool, entries, cwd, when):
    """One killed run and the run after it; (problems, tally of the killed state).
    when: (after the first change of the folder or not, seconds)."""
    crash_folder.restore_folder(tool.folder, entries)
    stamp = folder_stamp(tool.folder)
    process = tool.start(cwd)
    after_change, delay = when
    if after_change:
        wait_for_change(process, tool.folder, stamp)
    time.sleep(delay)
    process.send_signal(signal.SIGKILL)
    process.wait()
    tool.settle()
    problems, tally = crash_check.check_after_kill(crash_folder.read_folder(tool.folder), entries)
    if process.returncode == 0:
        tally["run had ended"] += 1
    problems += clean_run_problems(tool, entries, cwd, "second run")
    return problems, tally


def moment(tally):
    """Where the kill fell, as the folder shows it."""
    copies = tally["working copy beside the original"] + tally["only in the working copy"]
    if tally["run had ended"] or (tally["pending"] == 0 and copies == 0):
        return "after the last change"
    if tally["done"] == 0 and copies == 0:
        return "before the first change"
    return "in the middle of the cleaning"


def measure(tool, entries, cwd):
    """Two whole runs, the first warming up: checks them, and answers the
    seconds before the first change of the folder and those of the changes."""
    crash_folder.write_folder(tool.folder, entries)
    timed_run(tool, cwd)
    crash_folder.write_folder(tool.folder, entries)
    status, first_change, total = timed_run(tool, cwd)
    problems = crash_check.check_final(crash_folder.read_folder(tool.folder), entries)
    if status != 0 or problems:
        print("the uninterrupted run is wrong already (status %d):" % status)
        print("\n".join(problems[:20]))
        print(read_log(cwd)[-2000:].decode("latin-1"))
        sys.exit(1)
    print("uninterrupted run: %.3f s, first change after %.3f s" % (total, first_change))
    return first_change, total - first_change


def kill_moment(rng, start_up, cleaning):
    """Most kills fall while the folder changes, a few while the tool starts."""
    if rng.random() < 0.1:
        return False, rng.uniform(0, start_up)
    return True, rng.uniform(0, cleaning)


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--host", help="the host program")
    parser.add_argument("--wine", help="the Windows executable")
    parser.add_argument("--prefix", help="the Wine prefix")
    parser.add_argument("--kills", type=int, default=200)
    parser.add_argument("--files", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=None)
    return parser.parse_args()


def make_tool(arguments, work):
    if arguments.host:
        return HostTool(arguments.host, work)
    if not os.path.exists(arguments.wine) or shutil.which("wine") is None:
        print("no Windows executable or no Wine: skipped")
        sys.exit(SKIPPED)
    return WineTool(arguments.wine, arguments.prefix)


def main():
    arguments = parse_arguments()
    seed = arguments.seed if arguments.seed is not None else random.randrange(1 << 31)
    print("seed: %d (replay with --seed %d --files %d)" % (seed, seed, arguments.files))
    rng = random.Random(seed)
    entries = crash_folder.make_folder(rng, arguments.files)
    work = tempfile.mkdtemp(prefix="quillfen-crash-")
    tool = make_tool(arguments, work)
    failures = 0
    moments = {}
    try:
        start_up, cleaning = measure(tool, entries, work)
        for kill in range(arguments.kills):
            when = kill_moment(rng, start_up, cleaning)
            problems, tally = kill_once(tool, entries, work, when)
            moments[moment(tally)] = moments.get(moment(tally), 0) + 1
            if problems:
                failures += 1
                since = "the first change" if when[0] else "the start"
                print("kill %d, %.4f s after %s: %s"
                      % (kill, when[1], since, "; ".join(problems[:10])))
    finally:
        tool.finish()
        shutil.rmtree(work, ignore_errors=True)
    for name, count in sorted(moments.items()):
        print("  killed %s: %d" % (name, count))
    print("kills: %d, survived: %d" % (arguments.kills, arguments.kills - failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
