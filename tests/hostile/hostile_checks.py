"""What a run must make of each file of a hostile folder, and the checks of the
run's log and of the bytes left on disk.

Each file is described by what the run must do with it: the log lines it must
cause (expired-cookie lines without their running number), what it adds to
each count of the summary, and its bytes afterwards (None when it must be
gone). The run meets the files in the order of the platform's directory
search, so the log is checked per file and as a whole rather than against
one fixed order. Names and log lines are bytes throughout: a name may hold
any byte above 127.
"""

import os
import re

# Expiry high halves far before and far after any run.
PAST = 29000000
FUTURE = 33000000

EXPIRED_LINE = re.compile(rb"^(\d+)\. (File: .*)$", re.S)
WORKING_TIME = re.compile(rb"^Working time: \d+\.\d{1,3} sec\.$")
COUNTS = ("found", "cookies", "expired", "with_expired", "removed", "io_errors", "incorrect")


def fail(message):
    raise AssertionError(message)


def record(name, expired, value=b"value", line_end=b"\n"):
    lines = [name, value, b"example.test/", b"1536", b"0", b"%d" % (PAST if expired else FUTURE),
             b"2715813632", b"30000000", b"*"]
    return b"".join(line + line_end for line in lines)


def expired_line(file_name, cookie_name):
    return b"File: " + file_name + b", cookie: " + cookie_name


class Expect:
    """One entry of a folder and what the run must make of it."""

    def __init__(self, name, data, after, lines=(), disk_name=None, **counts):
        self.name = name  # as the run names it in the log
        self.disk_name = name if disk_name is None else disk_name
        self.data = data
        self.after = after
        self.lines = list(lines)
        self.counts = {key: counts.get(key, 0) for key in COUNTS}
        self.counts["found"] = counts.get("found", 1)

    def write(self, folder):
        with open(os.path.join(os.fsencode(folder), self.disk_name), "wb") as f:
            f.write(self.data)
        return self


def cookie_file(name, cookies, line_end=b"\r\n"):
    """cookies: (cookie name, expired[, value]) tuples. The run keeps the file
    as it is, rewrites it with the cookies left (each line ending in LF), or
    deletes it."""
    cookies = [cookie + (b"value",) * (3 - len(cookie)) for cookie in cookies]
    data = b"".join(record(c, e, v, line_end) for c, e, v in cookies)
    kept = b"".join(record(c, e, v) for c, e, v in cookies if not e)
    expired = [c for c, e, _ in cookies if e]
    after = data if not expired else (kept or None)
    return Expect(name, data, after, [expired_line(name, c) for c in expired],
                  cookies=len(cookies), expired=len(expired), with_expired=int(bool(expired)),
                  removed=int(bool(expired) and not kept))


def write_refused(name, cookies):
    """A partly expired file whose working copy cannot be made: it stays."""
    expect = cookie_file(name, cookies)
    expect.after = expect.data
    expect.lines.append(b"Error writing file: " + name)
    expect.counts["io_errors"] = 1
    return expect


def delete_refused(name, cookies):
    """A file whose cookies all expired and which cannot be deleted: it stays."""
    expect = cookie_file(name, cookies)
    expect.after = expect.data
    expect.lines.append(b"Error deleting: " + name)
    expect.counts["io_errors"] = 1
    return expect


def change_refused(name, cookies, added=b""):
    """A file another program changed, by adding `added`, after the run listed
    it: it stays as that program left it. A file whose cookies all expired
    still counts as removed, as a refused deletion does."""
    expect = cookie_file(name, cookies)
    expect.after = expect.data + added
    expect.lines.append(b"Error: File changed by another program: " + name)
    expect.counts["io_errors"] = 1
    return expect


def read_refused(name, data, code=None):
    """A file the run cannot open (code None: whatever number the platform gives)."""
    code_text = b"*" if code is None else b"%d" % code
    return Expect(name, data, data, [b"Error [" + code_text + b"] reading file: " + name],
                  io_errors=1)


def format_refused(name, data, expired_before=(), cookies_before=0):
    """A file given up on an expiry line that does not convert: it stays."""
    lines = [expired_line(name, c) for c in expired_before]
    lines.append(b"Error: Incorrect file format: " + name)
    return Expect(name, data, data, lines, cookies=cookies_before,
                  expired=len(expired_before), incorrect=1)


def summary(expects):
    total = {key: sum(e.counts[key] for e in expects) for key in COUNTS}
    lines = [b"%d files found with %d cookies." % (total["found"], total["cookies"])]
    if total["with_expired"]:
        lines.append(b"%d files with %d expired cookies found." % (total["with_expired"],
                                                                 total["expired"]))
        lines.append(b"%d files removed, %d files optimized." % (
            total["removed"], total["with_expired"] - total["removed"]))
    else:
        lines.append(b"No expired cookies found.")
    if total["io_errors"]:
        lines.append(b"I/O Errors: %d" % total["io_errors"])
    if total["incorrect"]:
        lines.append(b"Incorrect files: %d" % total["incorrect"])
    return lines


def split_log(log, cookie_folder):
    """The lines between the folder line and the summary, and the summary."""
    if not log.endswith(b"\r\n"):
        fail("the log does not end with CR LF: %r" % log[-200:])
    lines = log[:-2].split(b"\r\n")
    if lines[0] != b"Quillfen 1.03 started." or not re.match(rb"^Windows .* detected\.$", lines[1]):
        fail("the log does not start as a run does: %r" % lines[:2])
    if lines[2] != b"Cookies folder: " + cookie_folder:
        fail("folder line %r, expected %r" % (lines[2], cookie_folder))
    if b"======" not in lines or not WORKING_TIME.match(lines[-1]):
        fail("the log has no summary and working time: %r" % lines[-8:])
    end = lines.index(b"======")
    return lines[3:end], lines[end + 1:-1]


def numbered_lines(body):
    """The body with the header and the running numbers checked and taken off."""
    header = b"Cleaning expired cookies:"
    matches = [EXPIRED_LINE.match(line) for line in body]
    numbered = [i for i, match in enumerate(matches) if match]
    numbers = [int(matches[i].group(1)) for i in numbered]
    if numbers != list(range(1, len(numbers) + 1)):
        fail("expired cookies numbered %r" % numbers[:20])
    headers = [i for i, line in enumerate(body) if line == header]
    if headers != ([numbered[0] - 1] if numbered else []):
        fail("header lines at %r, expired cookies from %r" % (headers, numbered[:1]))
    return [match.group(2) if match else line for line, match in zip(body, matches)
            if line != header]


def line_matches(expected, actual):
    if b"[*]" not in expected:
        return expected == actual
    head, tail = expected.split(b"[*]")
    return re.fullmatch(re.escape(head) + rb"\[\d+\]" + re.escape(tail), actual, re.S) is not None


def check_body(body, expects):
    """Every expected line once, nothing else, each file's lines in its order."""
    left = list(body)
    for expect in expects:
        for wanted in expect.lines:
            index = next((i for i, line in enumerate(left) if line_matches(wanted, line)), None)
            if index is None:
                fail("missing log line %r\nlog body: %r" % (wanted, body[:30]))
            del left[index]
        order = [line for line in body if any(line_matches(w, line) for w in expect.lines)]
        if not all(line_matches(w, line) for w, line in zip(expect.lines, order)):
            fail("the lines of %r are out of order: %r" % (expect.name, order))
    if left:
        fail("unexpected log lines: %r" % left[:20])


def check_log(log, cookie_folder, expects):
    body, actual_summary = split_log(log, cookie_folder)
    check_body(numbered_lines(body), expects)
    wanted = summary(expects)
    if actual_summary != wanted:
        fail("summary %r, expected %r" % (actual_summary, wanted))


def check_folder(folder, expects, others=()):
    """Each file's bytes as expected, gone where it must be gone, and nothing
    else in the folder but `others` (entries a case checks itself)."""
    folder = os.fsencode(folder)
    wanted = {e.disk_name for e in expects if e.after is not None}
    wanted |= {os.fsencode(o) for o in others}
    present = set(os.listdir(folder))
    if present != wanted:
        fail("%r holds %r more and lacks %r" % (folder, sorted(present - wanted)[:10],
                                                sorted(wanted - present)[:10]))
    for expect in expects:
        if expect.after is None:
            continue
        with open(os.path.join(folder, expect.disk_name), "rb") as f:
            data = f.read()
        if data != expect.after:
            fail("%r holds %d bytes %r..., expected %d bytes %r..." % (
                expect.disk_name, len(data), data[:80], len(expect.after), expect.after[:80]))
