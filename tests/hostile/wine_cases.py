"""Hostile cookie folders cleaned by the real executable under Wine, where
Windows itself decides the outcome: names in the ANSI code page, the path
length limit, exclusive opens, other programs deleting or moving files while
the run goes on, and a process's address space.

Usage: wine_cases.py EXE PREFIX CASE HOLDER
Each case fills the prefix's cookie folder, runs EXE a in batch mode and
checks the whole log and every byte left in the folder.
"""

import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

import hostile_cases  # noqa: E402
from cookie_samples import Wine, wait_for_line  # noqa: E402
from hostile_checks import (Expect, change_refused, check_folder, check_log,  # noqa: E402
                            cookie_file, delete_refused, read_refused, record, write_refused)
from open_watch import IN_CREATE, IN_OPEN, OpenWatch  # noqa: E402

RUNNER = os.path.join(HERE, "..", "..", "scripts", "wine-run.sh")
AS_USER = os.path.join(HERE, "..", "..", "scripts", "wine-run-as-user.sh")
PARTLY = [(b"gone", True), (b"kept", False)]
NOBODY = 65534


# A 64-bit program runs short of memory only when its address space is
# limited; Wine itself needs about 2 GiB of it to start.
WINE64_MEMORY_LIMIT = 2560 << 20


class WineRun:
    # Beyond what a 32-bit process can hold in one piece, and beyond
    # WINE64_MEMORY_LIMIT; a size below 2 GiB, whose low 32 bits are positive.
    more_than_memory = 1800 << 20
    # Windows answers the search of a folder that is a file with 267, which the
    # run takes for a missing folder; Wine answers 123, which it reports.
    low_file_error = 123

    def __init__(self, exe, prefix, holder, work, uid=None, runner=RUNNER):
        self.exe = exe
        self.holder = holder
        self.work = work
        self.wine = Wine(prefix, runner, uid)
        self.wine.ready()
        self.folder = self.wine.reset_cookie_folder()

    def cookie_folder_line(self):
        return self.wine.windows_cookie_folder().encode()

    def windows_path(self, name):
        return self.wine.windows_cookie_folder() + name

    def run(self, timeout=600, preexec_fn=None):
        result = self.wine.run(self.exe, "a", cwd=self.work, timeout=timeout,
                               preexec_fn=preexec_fn)
        if result.returncode != 0:
            raise AssertionError("exit status %d" % result.returncode)
        return self.log()

    def run_short_of_memory(self):
        if os.environ.get("QUILLFEN_WINE_ARCH") != "64":
            return self.run()
        limit = (WINE64_MEMORY_LIMIT, WINE64_MEMORY_LIMIT)
        return self.run(preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_AS, limit))

    def start(self):
        return subprocess.Popen([self.wine.runner, self.wine.prefix, self.exe, "a"], cwd=self.work,
                                env=self.wine.env(), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def log(self):
        with open(os.path.join(self.work, "Result.log"), "rb") as f:
            return f.read()

    def check(self, log, expects, others=()):
        check_log(log, self.cookie_folder_line(), expects)
        check_folder(self.folder, expects, others)


def on_disk_as(expect, disk_name):
    expect.disk_name = disk_name
    return expect


def by_short_name(log, disk_name, cookies):
    """A file whose long name the code page cannot hold, reached and named by
    the short name the system made up for it (Wine makes one for any such
    name), which the log shows beside its first expired cookie; the file
    keeps its long name."""
    first = next(name for name, expired in cookies if expired)
    found = re.search(rb"\d+\. File: ([^\r\n]*), cookie: " + first + rb"\r\n", log)
    if not found or not re.fullmatch(rb"[!-~]{1,8}\.TXT", found.group(1)):
        raise AssertionError("%r is not named by a short name: %r" % (disk_name, found))
    return on_disk_as(cookie_file(found.group(1), cookies), disk_name)


def case_odd_names(run):
    """A name outside the ANSI code page is reached by its short name, never
    by the look-alike that the code page shows for it ("O" for an omega, "x"
    for a fullwidth x), which would be another file: each file is cleaned
    once, and keeps its long name. A path may hold 259 characters, so the
    working copy of a file whose path is 256 long cannot be made, while the
    file itself is read and, when all its cookies expired, deleted; a file
    whose path is 260 long is refused."""
    base = len(run.cookie_folder_line())

    def sized(letter, path_length):
        return letter * (path_length - base - 4) + b".txt"

    unheld = {"\uff58.txt".encode(): [(b"fullwidth-x", True), (b"fullwidth-x2", True)],
              "\u03a9mega.txt".encode(): [(b"omega", True)],
              "\u4e2d.txt".encode(): [(b"zhong", True), (b"zhong-kept", False)],
              b"raw\xe9.txt": [(b"raw", True), (b"raw-kept", False)]}
    expects = [
        on_disk_as(cookie_file(b"caf\xe9.txt", PARTLY), "caf\u00e9.txt".encode()),
        cookie_file(b"x.txt", [(b"x1", False), (b"x2", False), (b"x3", False)]),
        cookie_file(b"Omega.txt", [(b"latin-o", True), (b"latin-o-kept", False)]),
        untouched("\u03c9mega.txtx".encode(), record(b"gone", True)),
        cookie_file(sized(b"a", 255), PARTLY),
        write_refused(sized(b"b", 256), PARTLY),
        write_refused(sized(b"c", 259), PARTLY),
        cookie_file(sized(b"d", 259), [(b"gone", True)]),
        read_refused(sized(b"e", 260), record(b"gone", True) + record(b"kept", False), 206),
    ]
    for expect in expects:
        expect.write(run.folder)
    for name, cookies in unheld.items():
        on_disk_as(cookie_file(b"", cookies), name).write(run.folder)
    log = run.run()
    expects += [by_short_name(log, name, cookies) for name, cookies in unheld.items()]
    run.check(log, expects)


def case_shared_short_names(run):
    """2,000 names outside the code page, many of which share a short name
    under Wine (four characters and a hash): a search for a short name names
    whichever file that bears it comes first at that moment, which changes
    as the run replaces files. Each file is cleaned by its short name where
    no other file answers to it, keeping its own kept cookie byte for byte,
    or reported as error 1113 and left as it was; no file gets another's
    cookies, and the counts are those of the log."""
    files = []
    for i in range(2000):
        disk_name = ("\u0142ukasz@site%05d.example[1].txt" % i).encode()
        cookies = [(b"gone%05d" % i, True), (b"kept%05d" % i, False)]
        on_disk_as(cookie_file(b"", cookies), disk_name).write(run.folder)
        files.append((disk_name, cookies))
    log = run.run()
    expects = []
    for disk_name, cookies in files:
        shown = b"?" + disk_name[len("\u0142".encode()):]
        if b"Error [1113] reading file: " + shown + b"\r\n" in log:
            data = cookie_file(b"", cookies).data
            expects.append(on_disk_as(read_refused(shown, data, 1113), disk_name))
        else:
            expects.append(by_short_name(log, disk_name, cookies))
    reported = sum(e.counts["io_errors"] for e in expects)
    if not reported:
        raise AssertionError("no two of the files shared a short name")
    run.check(log, expects)
    print("%d files cleaned by their short names, %d reported" % (len(files) - reported, reported))


SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"


def run_on_profile(run, users, profile):
    """Makes C:\\users\\PROFILE\\INetCookies with a partly expired file and an
    expired one, makes it the shell's cookie folder and runs the tool: the
    folder, what it holds, the log and the folder the log names."""
    folder = os.path.join(users, profile, "INetCookies")
    os.makedirs(folder)
    expects = [cookie_file(b"site.txt", PARTLY).write(folder),
               cookie_file(b"all.txt", [(b"gone", True)]).write(folder)]
    run.wine.run("reg", "add", SHELL_FOLDERS, "/v", "Cookies", "/t", "REG_EXPAND_SZ",
                 "/d", "C:\\users\\%s\\INetCookies" % profile, "/f")
    log = run.run()
    return folder, expects, log, re.search(rb"\r\nCookies folder: ([^\r\n]*)\r\n", log).group(1)


def case_profile_names(run):
    """A cookie folder whose path the code page cannot hold is reached by its
    short path: the user's own is cleaned, and never the folder of another
    account that looks alike (Omega for an omega), nor is a folder that the
    code page shows as "??" passed over."""
    users = os.path.join(run.wine.own_prefix, "drive_c", "users")
    decoy_folder = os.path.join(users, "Omega", "INetCookies")
    os.makedirs(decoy_folder)
    decoy = untouched(b"site.txt", record(b"gone", True) + record(b"kept", False))
    decoy.write(decoy_folder)
    profiles = ["\u03a9mega", "\u4e2d\u6587"]
    try:
        for profile in profiles:
            folder, expects, log, shown = run_on_profile(run, users, profile)
            if not re.fullmatch(rb"C:\\users\\[!-~]+\\[!-~]+\\", shown) or b"?" in shown:
                raise AssertionError("the folder is shown as %r" % shown)
            check_log(log, shown, expects)
            check_folder(folder, expects)
        check_folder(decoy_folder, [decoy])
    finally:
        run.wine.run("reg", "delete", SHELL_FOLDERS, "/v", "Cookies", "/f")
        for profile in profiles + ["Omega"]:
            shutil.rmtree(os.path.join(users, profile), ignore_errors=True)


def folder_reported(folder_line):
    """A cookie folder that no path in the code page leads to, and its Low
    folder: each reported once, nothing in them listed."""
    return [Expect(b"", None, None, [b"Error [1113] reading folder: " + folder_line + low],
                   found=0, io_errors=1) for low in (b"", b"Low\\")]


def case_profile_paths_elsewhere(run):
    """A cookie folder whose short path names another account's folder (Wine
    gives C:\\users\\łukasz and C:\\users\\łukagkir one short name, and a
    search for it names whichever comes first), and one whose name ends in a
    dot, which the Win32 calls drop (C:\\users\\bob.\\INetCookies would be
    bob's): the other account's folder is never touched, and the log names
    the folder the run used by a path that leads to it, or reports it."""
    users = os.path.join(run.wine.own_prefix, "drive_c", "users")
    pairs = [("\u0142ukasz", "\u0142ukagkir"), ("bob.", "bob")]
    try:
        for profile, other in pairs:
            other_folder = os.path.join(users, other, "INetCookies")
            os.makedirs(other_folder)
            others = [untouched(b"site.txt", record(b"gone", True) + record(b"kept", False))
                      .write(other_folder)]
            folder, expects, log, shown = run_on_profile(run, users, profile)
            if b"Error [1113] reading folder: " in log:
                expects = [untouched(e.name, e.data) for e in expects]
                check_log(log, shown, folder_reported(shown))
            elif b"?" in shown or shown.endswith(b".\\INetCookies\\"):
                raise AssertionError("the run used %r" % shown)
            else:
                check_log(log, shown, expects)
            check_folder(folder, expects)
            check_folder(other_folder, others)
    finally:
        run.wine.run("reg", "delete", SHELL_FOLDERS, "/v", "Cookies", "/f")
        for profile, other in pairs:
            for name in (profile, other):
                shutil.rmtree(os.path.join(users, name), ignore_errors=True)


def case_held_open(run):
    """Files another program holds open, with or without sharing, and a held
    file in the place of a working copy: each refused, counted, unchanged."""
    older_copy = b"an older working copy\n"
    expects = [
        read_refused(b"held.txt", record(b"gone", True) + record(b"kept", False), 5),
        read_refused(b"shared.txt", record(b"gone", True), 5),
        write_refused(b"copy-held.txt", PARTLY),
        cookie_file(b"free.txt", PARTLY),
    ]
    for expect in expects:
        expect.write(run.folder)
    Expect(b"copy-held.txt.bak", older_copy, older_copy).write(run.folder)
    holder = run.wine.start(run.holder, run.windows_path("held.txt"),
                            "+" + run.windows_path("shared.txt"),
                            run.windows_path("copy-held.txt.bak"))
    try:
        if not wait_for_line(holder.stdout, b"held"):
            raise AssertionError("the holder could not open its files")
        log = run.run()
    finally:
        holder.stdin.close()
        holder.wait(timeout=60)
    run.check(log, expects, others={"copy-held.txt.bak"})
    with open(os.path.join(run.folder, "copy-held.txt.bak"), "rb") as f:
        if f.read() != older_copy:
            raise AssertionError("the held working copy changed")


def run_watched(run, events, done):
    """Runs the tool while watching its folder for `events`: done(mask, name)
    acts on each event and tells when the run has been interfered with enough."""
    watch = OpenWatch(run.folder, events)
    process = run.start()
    try:
        while True:
            event = watch.next_event(120)
            if event is None:
                raise AssertionError("the run came to none of the awaited events")
            if done(*event):
                break
        if process.wait(timeout=600) != 0:
            raise AssertionError("exit status %d" % process.returncode)
    finally:
        watch.close()
        if process.poll() is None:
            process.kill()
    return run.log()


def run_interrupted(run, action):
    """Runs the tool and calls action(name) when it opens its first file."""
    def first_file(_, name):
        if name.lower().endswith(b".txt"):
            action(name)
            return True
        return False

    return run_watched(run, IN_OPEN, first_file)


def case_deleted_during_run(run):
    """Another program deletes files the run has listed but not yet read."""
    victims = [cookie_file(b"victim%03d.txt" % i, [(b"kept", False)]).write(run.folder)
               for i in range(300)]
    keepers = [cookie_file(b"keeper%d.txt" % i, [PARTLY, [(b"gone", True)]][i % 2])
               .write(run.folder) for i in range(6)]
    spared = []

    def delete_victims(first):
        spared.append(first)
        for victim in victims:
            if victim.disk_name != first:
                os.remove(os.path.join(os.fsencode(run.folder), victim.disk_name))

    log = run_interrupted(run, delete_victims)
    expects = list(keepers)
    unread = 0
    for victim in victims:
        if b"Error [2] reading file: " + victim.name + b"\r\n" in log:
            unread += 1
            victim = read_refused(victim.name, victim.data, 2)
        if victim.disk_name not in spared:
            victim.after = None
        expects.append(victim)
    if unread == 0:
        raise AssertionError("the run read every file before any was deleted")
    run.check(log, expects)


def outcome_in_log(expect, log, moved):
    """What became of a file of a folder moved away during the run: unread
    (Wine 8 here says 2 or 3), or caught between its reading and its change,
    or cleaned. A working copy written before the move can no longer be
    removed, and stays beside its file. Wine 8 here deletes a file as its
    handle closes, by the path it was opened by: a deletion it calls done may
    have missed the moved file, which then stays as it was. It also called a
    replacement failed that it had done: the file holds the kept cookies and
    no copy stays."""
    def has(line):
        return line + b"\r\n" in log

    def stayed(name):
        return os.path.exists(os.path.join(os.fsencode(moved), name))

    partly = b"kept" in expect.data
    cookies = PARTLY if partly else [(b"gone", True)]
    copy = Expect(expect.name + b".bak", None, record(b"kept", False), found=0)
    if has(b"] reading file: " + expect.name):
        return [read_refused(expect.name, expect.data)]
    if has(b"Error writing file: " + expect.name):
        return [write_refused(expect.name, cookies)]
    if has(b"Error deleting: " + expect.name):
        return [delete_refused(expect.name, cookies)]
    if has(b"Error: File changed by another program: " + expect.name):
        return [change_refused(expect.name, cookies)] + ([copy] if partly else [])
    if has(b"Error replacing: " + expect.name):
        stranded = write_refused(expect.name, cookies)
        stranded.lines[-1] = b"Error replacing: " + expect.name
        if stayed(copy.disk_name):
            return [stranded, copy]
        stranded.after = copy.after
        return [stranded]
    if expect.after is None and stayed(expect.name):
        expect.after = expect.data
    return [expect]


def case_vanishing_folder(run):
    """The cookie folder is moved away once the run has started on its files."""
    kinds = [PARTLY, [(b"gone", True)], [(b"kept", False)]]
    expects = [cookie_file(b"site%03d.txt" % i, kinds[i % 3]).write(run.folder)
               for i in range(200)]
    moved = run.folder + "-moved"
    try:
        log = run_interrupted(run, lambda first: os.rename(run.folder, moved))
        outcomes = [o for expect in expects for o in outcome_in_log(expect, log, moved)]
        if not any(b"] reading file: " + e.name in log for e in expects):
            raise AssertionError("the run met every file before the folder was moved")
        check_log(log, run.cookie_folder_line(), outcomes)
        check_folder(moved, outcomes)
    finally:
        shutil.rmtree(moved, ignore_errors=True)


def untouched(name, data):
    """An entry that is no cookie file: neither counted nor changed."""
    return Expect(name, data, data, found=0)


def case_short_names(run):
    """The pattern also matches 8.3 names, whose extension is the first three
    letters of the long one: a long name that does not end in .txt is neither
    counted nor touched. Wine lists a Linux name that holds backslashes as it
    stands: ..\\..\\climb.txt, which names a file two folders up (here one of
    the same bytes and write time), is no cookie file either, nor is
    \u0142abc\\..\\..\\climb.txt, whose short name (_ABC~0CJ.TXT) holds no
    backslash and would reach it."""
    gone = record(b"gone", True)
    climbers = {b"..\\..\\climb.txt": gone,
                "\u0142abc\\..\\..\\climb.txt".encode(): gone + record(b"kept", False)}
    names = (b"notes.txt~", b"cookies.txt_2011", b"q.txtx")
    expects = [untouched(name, gone) for name in names]
    expects += [untouched(name, data) for name, data in climbers.items()]
    expects.append(cookie_file(b"real.txt", PARTLY))
    for expect in expects:
        expect.write(run.folder)
    outside = {}
    for name, data in climbers.items():
        path = os.path.normpath(os.path.join(os.fsencode(run.folder), name.replace(b"\\", b"/")))
        shutil.copy2(os.path.join(os.fsencode(run.folder), name), path)
        outside[path] = data
    try:
        run.check(run.run(), expects)
        for path, data in outside.items():
            with open(path, "rb") as f:
                if f.read() != data:
                    raise AssertionError("%r two folders up changed" % path)
    finally:
        for path in outside:
            if os.path.exists(path):
                os.remove(path)


# Each of these names opens a device, or fails to. Wine 8 here: nul.txt,
# com1.txt and aux.txt open a character device (50; read as files, they held
# the run for ever), con.txt finds no console (6), prn.txt and lpt1.txt find
# no printer port (2). Whatever the number, each is one line, one I/O error
# and a file left as it was.
DEVICE_NAMES = {b"nul.txt": 50, b"con.txt": None, b"com1.txt": None, b"aux.txt": None,
                b"prn.txt": None, b"lpt1.txt": None}


def case_device_names(run):
    """Names of devices: only disk files are read."""
    kinds = [record(b"gone", True), record(b"gone", True) + record(b"kept", False)]
    expects = [read_refused(name, kinds[i % 2], code)
               for i, (name, code) in enumerate(DEVICE_NAMES.items())]
    expects.append(cookie_file(b"plain.txt", PARTLY))
    for expect in expects:
        expect.write(run.folder)
    run.check(run.run(timeout=120), expects)


def case_linked_working_copy(run):
    """A working copy's name taken by a hard link to another file: only the
    link goes, the other file keeps its bytes."""
    other = untouched(b"other.dat", b"other bytes\n").write(run.folder)
    expects = [cookie_file(b"w.txt", PARTLY).write(run.folder), other]
    os.link(os.path.join(run.folder, "other.dat"), os.path.join(run.folder, "w.txt.bak"))
    run.check(run.run(), expects)


def case_changed_during_run(run):
    """Another program adds a cookie to a file the run has listed: to a partly
    expired file once its working copy appears, and to a file whose cookies
    all expired once the run opens it. Each is left as that program wrote it.
    The files are large, so that the cookie lands while the run still writes
    the copy or reads the file: under Wine here that takes the run 70 ms and
    more, and the change less than 1 ms."""
    value = b"v" * (16 << 20)
    changes = [  # name, cookies, the cookie added, and the event that adds it
        (b"grow.txt", [(b"gone", True)] + [(b"k%d" % i, False) for i in range(500000)],
         (b"new", False), (IN_CREATE, b"grow.txt.bak")),
        (b"fade.txt", [(b"f%d" % i, True, value) for i in range(4)],
         (b"new", True), (IN_OPEN, b"fade.txt")),
    ]
    pending = {}
    for name, cookies, added, event in changes:
        cookie_file(name, cookies).write(run.folder)
        pending[event] = (name, record(*added, line_end=b"\r\n"))

    def add_cookie(mask, name):
        event = next((e for e in pending if e[0] & mask and e[1] == name), None)
        if event:
            target, data = pending.pop(event)
            with open(os.path.join(os.fsencode(run.folder), target), "ab") as f:
                f.write(data)
        return not pending

    log = run_watched(run, IN_CREATE | IN_OPEN, add_cookie)
    expects = []
    for name, cookies, added, _ in changes:
        # The cookie added to the file being read is read along with it while
        # the run is still at the file's first megabytes; either way the file
        # must stay as the other program left it.
        if b"File: %s, cookie: %s\r\n" % (name, added[0]) in log:
            expects.append(change_refused(name, cookies + [added]))
        else:
            expects.append(change_refused(name, cookies, record(*added, line_end=b"\r\n")))
    run.check(log, expects)


def case_unlistable_folder(run):
    """A Low folder that may not be listed gives one line that names it and
    one I/O error (Wine 8: 5), and the cookie folder itself is cleaned. Root
    lists any folder, so Wine then runs as nobody, in a prefix of its own."""
    if os.geteuid() == 0:
        os.chown(run.work, NOBODY, NOBODY)
        run = WineRun(run.exe, run.wine.prefix, run.holder, run.work, NOBODY, AS_USER)
    low = os.path.join(run.folder, "Low")
    os.mkdir(low)
    hidden = untouched(b"low.txt", record(b"gone", True)).write(low)
    expects = [cookie_file(b"main.txt", PARTLY).write(run.folder),
               Expect(b"Low", None, None, [b"Error [5] reading folder: " +
                                           run.cookie_folder_line() + b"Low\\"],
                      found=0, io_errors=1)]
    if run.wine.uid is not None:
        for path in (low, os.path.join(low, "low.txt"), os.path.join(run.folder, "main.txt")):
            os.chown(path, NOBODY, NOBODY)
    os.chmod(low, 0)
    try:
        run.check(run.run(), expects, others={"Low"})
    finally:
        os.chmod(low, 0o755)
    check_folder(low, [hidden])


def main():
    exe, prefix, case, holder = sys.argv[1:5]
    work = tempfile.mkdtemp(prefix="quillfen-hostile-wine-")
    run = None
    try:
        run = WineRun(exe, prefix, holder, work)
        (globals().get("case_" + case) or getattr(hostile_cases, "case_" + case))(run)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        if run is not None:
            shutil.rmtree(run.folder, ignore_errors=True)
    print("PASS:", case)


if __name__ == "__main__":
    main()
