"""The hostile folders that every build of the tool must survive alike, on
the host and under Wine. Each case takes a run (HostRun or WineRun): its
cookie folder, a way to run the tool once, and the check of the log and the
folder afterwards.
"""

import os
import random

from hostile_checks import (Expect, check_folder, cookie_file, expired_line, format_refused, record,
                            write_refused)


def noise(seed, size):
    generator = random.Random(seed)
    return bytes(generator.getrandbits(8) for _ in range(size))


def case_garbage(run):
    """Binary garbage with the cookie file ending: given up, never changed."""
    mixed = noise(1903, 8192)
    one_line = bytes(b for b in mixed if b not in b"\r\n")
    expects = [
        format_refused(b"noise.txt", mixed),
        format_refused(b"zeros.txt", b"\0" * 4096),
        format_refused(b"one-line.txt", one_line),
        format_refused(b"cookies-then-noise.txt",
                       record(b"gone", True) + record(b"kept", False) + b"#" + mixed,
                       expired_before=[b"gone"], cookies_before=2),
        cookie_file(b"ordinary.txt", [(b"a", True), (b"b", False)]),
        format_refused(b"noise-after-ctrl-z.txt",
                       record(b"x", True) + record(b"y", False) + b"\x1a" + mixed,
                       expired_before=[b"x"], cookies_before=2),
    ]
    padded = cookie_file(b"padding-after-ctrl-z.txt", [(b"x", True), (b"y", False)])
    padded.data += b"\x1a" * 3
    expects.append(padded)
    for expect in expects:
        expect.write(run.folder)
    run.check(run.run(), expects)


def fifty_megabyte_expects():
    line = b"x" * (50 << 20)
    big_value = cookie_file(b"big-value.txt", [(b"gone", True), (b"kept", False, line)])
    long_expiry = b"n\nv\nexample.test/\n1536\n" + b"0" * (50 << 20) + b"1\n0\n0\n0\n*\n"
    return [
        format_refused(b"one-line.txt", line),
        big_value,
        Expect(b"long-expiry.txt", long_expiry, None, [expired_line(b"long-expiry.txt", b"n")],
               cookies=1, expired=1, with_expired=1, removed=1),
    ]


def case_long_line(run):
    """Lines of 50 MB: read in full, converted in full, written back in full."""
    expects = fifty_megabyte_expects()
    for expect in expects:
        expect.write(run.folder)
    run.check(run.run(), expects)


def million_records_expect(name=b"million.txt", count=1000000):
    """One file of a million records with CR LF line ends, one of them expired."""
    middle = count // 2
    template = record(b"c%d", False)
    kept = [template % i for i in range(count) if i != middle]
    after = b"".join(kept)
    data = b"".join(kept[:middle]) + record(b"c%d" % middle, True) + b"".join(kept[middle:])
    return Expect(name, data.replace(b"\n", b"\r\n"), after,
                  [expired_line(name, b"c%d" % middle)], cookies=count, expired=1, with_expired=1)


def case_million_records(run):
    expect = million_records_expect().write(run.folder)
    run.check(run.run(), [expect])


def case_folder_entries(run):
    """Folders named like a cookie file or its working copy, and a file "Low"."""
    folder = run.folder
    os.mkdir(os.path.join(folder, "dir.txt"))
    inside = record(b"gone", True)
    inner = Expect(b"inner.txt", inside, inside).write(os.path.join(folder, "dir.txt"))
    os.mkdir(os.path.join(folder, "x.txt.bak"))
    low = record(b"low", True)
    with open(os.path.join(folder, "Low"), "wb") as f:
        f.write(low)
    expects = [
        Expect(b"dir.txt", None, None),
        write_refused(b"x.txt", [(b"gone", True), (b"kept", False)]),
        cookie_file(b"SHOUT.TXT", [(b"gone", True), (b"kept", False)]),
        cookie_file(b"plain.txt", [(b"gone", True)]),
    ]
    for expect in expects[1:]:
        expect.write(folder)
    if run.low_file_error is not None:
        expects.append(Expect(b"Low", low, low, [b"Error [%d] reading folder: %sLow\\" % (
            run.low_file_error, run.cookie_folder_line())], found=0, io_errors=1))
    run.check(run.run(), expects, others={"dir.txt", "x.txt.bak", "Low"})
    check_folder(os.path.join(folder, "dir.txt"), [inner])
    with open(os.path.join(folder, "Low"), "rb") as f:
        low_after = f.read()
    if os.listdir(os.path.join(folder, "x.txt.bak")) or low_after != low:
        raise AssertionError("the folder x.txt.bak or the file Low changed")


def case_memory_exhausted(run):
    """A file too large for the memory the program can have (a sparse file
    without a line end) is given up like a file that cannot be read, and the
    run goes on with the other files."""
    partly = [(b"gone", True), (b"kept", False)]
    expects = [
        cookie_file(b"before.txt", partly),
        Expect(b"huge.txt", None, None, [b"Error [8] reading file: huge.txt"], io_errors=1),
        cookie_file(b"later.txt", partly),
    ]
    for expect in expects[::2]:
        expect.write(run.folder)
    huge = os.path.join(run.folder, "huge.txt")
    with open(huge, "wb") as f:
        f.truncate(run.more_than_memory)
    run.check(run.run_short_of_memory(), expects, others={"huge.txt"})
    if os.path.getsize(huge) != run.more_than_memory:
        raise AssertionError("the huge file changed")
