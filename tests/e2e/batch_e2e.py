"""End-to-end runs of the Windows executable in batch mode under Wine.

Usage: batch_e2e.py EXE PREFIX CASE [HOLDER | EXE64 PREFIX64]
Each case seeds the prefix's cookie folder (and its Low subfolder), runs the
tool as a user would, and compares the whole log (all but the seconds of the
working time) and the folder's bytes afterwards with answers worked out here.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

import relay_trace

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import cookie_samples as samples  # noqa: E402

RUNNER = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "wine-run.sh")
WORKING_TIME = re.compile(rb"Working time: \d+\.\d{1,3} sec\.\r\n$")
EXPIRED_LINE = re.compile(rb"^\d+\. File: (.*), cookie: ", re.M)


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def expect_equal(actual, expected, what):
    if actual != expected:
        fail("%s differs\n--- expected\n%r\n--- actual\n%r" % (what, expected, actual))


def seed(wine, with_low=True):
    folder = wine.reset_cookie_folder()
    main, low = samples.demo_folders()
    samples.write_files(folder, {n: d for n, (d, _, _) in main.items()})
    if with_low:
        samples.write_files(os.path.join(folder, "Low"), {n: d for n, (d, _, _) in low.items()})
    return folder, main, low


def expected_log(windows_name, wine, scanned, log):
    """The run's log for the scanned folders, files in the order the run met them."""
    expired = {name.encode(): [c.encode() for c in names]
               for files in scanned for name, (_, _, names) in files.items()}
    order = []
    for name in EXPIRED_LINE.findall(log):
        if name not in order:
            order.append(name)
    lines = [b"Quillfen 1.03 started.", b"Windows " + windows_name + b" detected.",
             b"Cookies folder: " + wine.windows_cookie_folder().encode()]
    number = 0
    for name in order:
        for cookie in expired.get(name, []):
            number += 1
            if number == 1:
                lines.append(b"Cleaning expired cookies:")
            lines.append(b"%d. File: %s, cookie: %s" % (number, name, cookie))
    files = [f for files in scanned for f in files.values()]
    found = len(files)
    total = sum(data.count(b"\n") // 9 for data, _, _ in files if len(data) > 18)
    with_expired = [f for f in files if f[2]]
    removed = sum(1 for f in with_expired if f[1] is None)
    lines.append(b"======\r\n%d files found with %d cookies." % (found, total))
    if with_expired:
        lines.append(b"%d files with %d expired cookies found." % (len(with_expired), number))
        lines.append(b"%d files removed, %d files optimized." % (removed, len(with_expired) - removed))
    else:
        lines.append(b"No expired cookies found.")
    return b"".join(line + b"\r\n" for line in lines)


def check_log(log, expected):
    if not WORKING_TIME.search(log):
        fail("no working-time line at the end:\n%r" % log)
    expect_equal(WORKING_TIME.sub(b"", log), expected, "log")


def check_folder(folder, files):
    expected = {name: cleaned for name, (_, cleaned, _) in files.items() if cleaned is not None}
    expect_equal(samples.read_folder(folder), expected, "folder " + folder)


def run_batch(wine, exe, *arguments, cwd):
    result = wine.run(exe, "a", *arguments, cwd=cwd)
    if result.returncode != 0:
        fail("exit status %d" % result.returncode)


def case_windows7(exe, wine, work):
    folder, main, low = seed(wine)
    run_batch(wine, exe, cwd=work)
    log = open(os.path.join(work, "Result.log"), "rb").read()
    check_log(log, expected_log(b"7", wine, [main, low], log))
    check_folder(folder, main)
    check_folder(os.path.join(folder, "Low"), low)


def as_version(exe, wine, work, version):
    """A copy of the executable to which Wine reports `version` (winxp, win98...),
    beside the working folder, which holds the log files alone."""
    os.makedirs(work + "-programs", exist_ok=True)
    copy = os.path.join(work + "-programs", "Quillfen-%s.exe" % version)
    shutil.copy(exe, copy)
    wine.set_version(os.path.basename(copy), version)
    return copy


def check_without_low(wine, program, work, windows_name):
    """A run of the demo folder on a release that has no Low folder."""
    folder, main, low = seed(wine)
    run_batch(wine, program, cwd=work)
    log = open(os.path.join(work, "Result.log"), "rb").read()
    check_log(log, expected_log(windows_name, wine, [main], log))
    check_folder(folder, main)
    untouched = {name: (data, data, []) for name, (data, _, _) in low.items()}
    check_folder(os.path.join(folder, "Low"), untouched)


def case_windows_xp(exe, wine, work):
    check_without_low(wine, as_version(exe, wine, work, "winxp"), work, b"XP")


LOG_FALLBACKS = [(["custom.log", "third"], "custom.log"),
                 (["no-such-folder\\x.log"], "Result.log"),
                 ([""], "Result.log")]
# A name the code page cannot hold is no name: never its look-alike. The 9x
# family has only the ANSI command line, where no such name can be given.
UNHELD_LOG_NAMES = [(["\u03a9.log"], "Result.log"), (["\uff58.log"], "Result.log")]


def case_log_fallbacks(exe, wine, work):
    check_log_fallbacks(exe, wine, work, LOG_FALLBACKS + UNHELD_LOG_NAMES)


def check_log_fallbacks(exe, wine, work, fallbacks):
    for name in os.listdir(work):
        os.remove(os.path.join(work, name))
    for arguments, log_name in fallbacks:
        seed(wine)
        with open(os.path.join(work, log_name), "wb") as old:
            old.write(b"#" * 5000)
        run_batch(wine, exe, *arguments, cwd=work)
        log = open(os.path.join(work, log_name), "rb").read()
        if not log.startswith(b"Quillfen 1.03 started.\r\n") or b"#" in log:
            fail("arguments %r: log %s holds %r" % (arguments, log_name, log[:200]))
        if os.listdir(work) != [log_name]:
            fail("arguments %r left %r" % (arguments, os.listdir(work)))
        os.remove(os.path.join(work, log_name))
    # With no file possible at all, the cookies are still cleaned.
    folder, main, _ = seed(wine, with_low=False)
    os.mkdir(os.path.join(work, "Result.log"))
    run_batch(wine, exe, "no-such-folder\\x.log", cwd=work)
    check_folder(folder, main)
    os.rmdir(os.path.join(work, "Result.log"))


def case_held_open(exe, wine, work, holder):
    folder, main, _ = seed(wine, with_low=False)
    held = "alice@shop.example[2].txt"
    process = wine.start(holder, wine.windows_cookie_folder() + held)
    try:
        if not samples.wait_for_line(process.stdout, b"held"):
            fail("the holder could not open the file")
        run_batch(wine, exe, cwd=work)
    finally:
        process.stdin.close()
        process.wait(timeout=60)
    log = open(os.path.join(work, "Result.log"), "rb").read()
    if b"Error [5] reading file: " + held.encode() + b"\r\n" not in log:
        fail("no access-denied line for the held file:\n%r" % log)
    if b"I/O Errors: 1\r\n" not in log:
        fail("the held file is not counted as an I/O error:\n%r" % log)
    main[held] = (main[held][0], main[held][0], [])
    check_folder(folder, main)


SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"

# The ANSI calls the program's own code makes on the 9x family in place of
# the wide ones (listing, folder queries, command line, replacement); it
# makes no wide call there at all.
ANSI_CALLS = {"FindFirstFileA", "SHGetSpecialFolderPathA", "ExpandEnvironmentStringsA",
              "GetCommandLineA", "MoveFileExA"}


def check_ansi_calls_only(calls):
    wide = sorted(c for c in calls if relay_trace.is_wide(c))
    if wide or not ANSI_CALLS <= calls:
        fail("on the 9x family the program's own code called %s and did not call %s" % (
            ", ".join(wide) or "no wide function", ", ".join(sorted(ANSI_CALLS - calls)) or "-"))


def check_windir_fallback(wine, program, work, exe=None):
    """Where the shell's cookie folder is not there, the run takes the
    Cookies folder in %WINDIR% and cleans its demo files as ever. With `exe`,
    whose map lies beside it, the run is traced, and the answer is the system
    functions the program's own code called."""
    folder = "C:\\windows\\Cookies"
    linux = os.path.join(wine.own_prefix, "drive_c", "windows", "Cookies")
    main, _ = samples.demo_folders()
    samples.write_files(linux, {n: d for n, (d, _, _) in main.items()})
    wine.run("reg", "add", SHELL_FOLDERS, "/v", "Cookies", "/t", "REG_EXPAND_SZ", "/d",
             "C:\\no-such-folder\\INetCookies", "/f")
    calls = None
    try:
        if exe:
            calls = relay_trace.calls_of_own_code(wine, program, exe, work)
        else:
            run_batch(wine, program, cwd=work)
    finally:
        wine.run("reg", "delete", SHELL_FOLDERS, "/v", "Cookies", "/f")
    log = open(os.path.join(work, "Result.log"), "rb").read()
    check_log(log, expected_log(b"9x", wine, [main], log).replace(
        wine.windows_cookie_folder().encode(), folder.encode() + b"\\"))
    check_folder(linux, main)
    shutil.rmtree(linux)
    return calls


def case_windows9x(exe, wine, work):
    """Windows 95, 98 and ME as Wine reports them: the demo folder cleaned
    as on XP but logged as "9x", the log file's fallbacks as everywhere, and,
    where the shell names no folder, the Cookies folder in %WINDIR%. A trace
    of the 98 run shows that no wide function is called from the program's
    own code."""
    for version in ("win95", "win98", "winme"):
        program = as_version(exe, wine, work, version)
        check_without_low(wine, program, work, b"9x")
        check_log_fallbacks(program, wine, work, LOG_FALLBACKS)
        calls = check_windir_fallback(wine, program, work, exe if version == "win98" else None)
        if calls is not None:
            check_ansi_calls_only(calls)


def case_same_as_64(exe, wine, work, exe64, prefix64):
    """The 64-bit build, in a 64-bit prefix, leaves the same log (but for its
    seconds) and the same bytes on the demo folder as the 32-bit build."""
    runs = []
    for program, runner in [(exe, wine), (exe64, samples.Wine(prefix64, RUNNER, arch="64"))]:
        runner.ready()
        folder, _, _ = seed(runner)
        run_batch(runner, program, cwd=work)
        log = open(os.path.join(work, "Result.log"), "rb").read()
        runs.append((WORKING_TIME.sub(b"", log), samples.read_folder(folder),
                     samples.read_folder(os.path.join(folder, "Low"))))
        shutil.rmtree(folder)
    expect_equal(runs[1], runs[0], "the 64-bit build's log and folders")


def main():
    exe, prefix, case = sys.argv[1:4]
    wine = samples.Wine(prefix, RUNNER)
    wine.ready()
    work = tempfile.mkdtemp(prefix="quillfen-e2e-")
    try:
        if case == "held_open":
            case_held_open(exe, wine, work, sys.argv[4])
        elif case == "same_as_64":
            case_same_as_64(exe, wine, work, *sys.argv[4:6])
        else:
            globals()["case_" + case](exe, wine, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(work + "-programs", ignore_errors=True)
        shutil.rmtree(wine.cookie_folder(), ignore_errors=True)
    print("PASS:", case)


if __name__ == "__main__":
    main()
