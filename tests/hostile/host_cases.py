"""Hostile cookie folders cleaned by the host program in batch mode.

Usage: host_cases.py PROGRAM CASE VANISH_LIBRARY
Each case fills a scratch cookie folder, runs PROGRAM a LOG with
QUILLFEN_COOKIES pointing at it, and checks the whole log and every byte left
in the folder.
"""

import os
import resource
import shutil
import subprocess
import sys
import tempfile

import hostile_cases
from hostile_checks import (check_folder, check_log, cookie_file, delete_refused, read_refused,
                            write_refused)

NOBODY = 65534
MEMORY_LIMIT = 512 << 20


class HostRun:
    # Twice the address space run_short_of_memory allows.
    more_than_memory = 2 * MEMORY_LIMIT
    # A file in the place of the Low folder reads as no folder at all.
    low_file_error = None

    def __init__(self, program, work, vanish_library):
        self.program = program
        self.work = work
        self.vanish_library = vanish_library
        self.folder = os.path.join(work, "cookies")
        os.mkdir(self.folder)

    def cookie_folder_line(self):
        return self.folder.encode() + b"\\"

    def run(self, env=None, as_nobody=False, memory_limit=None):
        log = os.path.join(self.work, "run.log")
        options = {}
        if as_nobody:
            options = dict(user=NOBODY, group=NOBODY, extra_groups=[])
        if memory_limit:
            options["preexec_fn"] = lambda: resource.setrlimit(resource.RLIMIT_AS,
                                                               (memory_limit, memory_limit))
        result = subprocess.run([self.program, "a", log], cwd=self.work, timeout=600,
                                env=dict(os.environ, QUILLFEN_COOKIES=self.folder, **(env or {})),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, **options)
        if result.returncode != 0:
            raise AssertionError("exit status %d: %r" % (result.returncode, result.stderr[-2000:]))
        with open(log, "rb") as f:
            return f.read()

    def run_short_of_memory(self):
        return self.run(memory_limit=MEMORY_LIMIT)

    def check(self, log, expects, others=()):
        check_log(log, self.cookie_folder_line(), expects)
        check_folder(self.folder, expects, others)


def long_names():
    """Names at the longest a folder entry may be (255 bytes), where the
    working copy's name would be too long, and one just short of that."""
    partly = [(b"gone", True), (b"kept", False)]
    return [
        cookie_file(b"n" * 247 + b".txt", partly),
        write_refused(b"o" * 248 + b".txt", partly),
        write_refused(b"\xe9" * 251 + b".txt", partly),
        cookie_file(b"e" * 251 + b".txt", [(b"gone", True)]),
        cookie_file(b"k" * 251 + b".txt", [(b"kept", False)]),
    ]


def case_odd_names(run):
    """Names with bytes above 127 pass unchanged into the log and the disk."""
    partly = [(b"gone", True), (b"kept", False)]
    expects = [
        cookie_file(b"caf\xe9.txt", partly),
        cookie_file("caf\u00e9@\u65e5\u672c.txt".encode(), partly),
        cookie_file(bytes(range(0x80, 0x100)) + b".txt", partly),
        cookie_file(b"\xff\xfe\x81.txt", [(b"gone", True)]),
    ] + long_names()
    for expect in expects:
        expect.write(run.folder)
    run.check(run.run(), expects)


def case_read_only_folder(run):
    """Nothing can be created or deleted: every change is refused and counted."""
    expects = [
        write_refused(b"partly.txt", [(b"gone", True), (b"kept", False)]),
        delete_refused(b"expired.txt", [(b"gone", True), (b"also-gone", True)]),
        cookie_file(b"current.txt", [(b"kept", False)]),
    ]
    for expect in expects:
        expect.write(run.folder)
    as_nobody = os.geteuid() == 0
    if as_nobody:
        # Root may write into any folder; its stand-in may not.
        program = os.path.join(run.work, "quillfen-host")
        shutil.copy(run.program, program)
        run.program = program
        os.chmod(run.work, 0o777)
    os.chmod(run.folder, 0o555)
    try:
        log = run.run(as_nobody=as_nobody)
    finally:
        os.chmod(run.folder, 0o755)
    run.check(log, expects)


def case_vanishing_folder(run):
    """The folder is moved away after five files: the others cannot be read."""
    expects = []
    for i in range(20):
        kind = [[(b"gone", True), (b"kept", False)], [(b"gone", True)], [(b"kept", False)]][i % 3]
        expects.append(cookie_file(b"site%02d.txt" % i, kind).write(run.folder))
    moved = run.folder + "-moved"
    log = run.run(env=dict(LD_PRELOAD=run.vanish_library, QUILLFEN_VANISH_FOLDER=run.folder + "/",
                           QUILLFEN_VANISH_TO=moved, QUILLFEN_VANISH_AFTER="5",
                           ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") +
                           ":verify_asan_link_order=0"))
    unread = [e for e in expects if b"Error [3] reading file: " + e.name + b"\r\n" in log]
    if len(unread) != 15:
        raise AssertionError("%d files unread, expected 15:\n%r" % (len(unread), log))
    expects = [read_refused(e.name, e.data, 3) if e in unread else e for e in expects]
    if os.path.exists(run.folder):
        raise AssertionError("the folder came back")
    check_log(log, run.cookie_folder_line(), expects)
    check_folder(moved, expects)


def main():
    program, case, vanish_library = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="quillfen-hostile-")
    try:
        run = HostRun(program, work, vanish_library)
        (globals().get("case_" + case) or getattr(hostile_cases, "case_" + case))(run)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("PASS:", case)


if __name__ == "__main__":
    main()
