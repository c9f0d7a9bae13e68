"""What a cookie folder may look like after the tool was killed, and after a
second run that was not.

After a kill every file holds its original bytes or its cleaned bytes, a
file to be deleted is there as it was or gone, and a working copy ("name.bak")
lies only beside an original that is still intact, or, where the file itself
is gone, holds exactly the kept cookies. After the second run the folder is
exactly what one uninterrupted run leaves.
"""

import collections

MISSING = object()


def check_entry(path, entry, found, tally):
    """Problems with one file after a kill; tallies the state it is in."""
    now = found.get(path, MISSING)
    copy = found.get(path + ".bak", MISSING)
    if entry.original is None:
        return [] if now is None else ["%s: the folder is gone" % path]
    to_change = entry.final != entry.original
    if now is MISSING:
        if entry.final is None:
            tally["done"] += 1
            return [] if copy is MISSING else ["%s: working copy of a deleted file" % path]
        if copy is not MISSING and copy == entry.final:
            tally["only in the working copy"] += 1
            return []
        return ["%s: missing, and no working copy holds its kept cookies" % path]
    if now == entry.original:
        tally["pending" if to_change else "stays"] += 1
        if copy is not MISSING:
            tally["working copy beside the original"] += 1
            if entry.final is None or not to_change:
                return ["%s: working copy of a file that is never rewritten" % path]
        return []
    if entry.final is not None and now == entry.final:
        tally["done"] += 1
        return [] if copy is MISSING else ["%s: working copy beside the cleaned file" % path]
    return ["%s: neither its original nor its cleaned bytes (%d bytes)" % (path, len(now))]


def check_after_kill(found, entries):
    """(problems, tally) for the folder as the killed run left it."""
    tally = collections.Counter()
    problems = []
    for path, entry in entries.items():
        problems += check_entry(path, entry, found, tally)
    for path in found:
        base = path[:-4] if path.endswith(".bak") else path
        if path not in entries and base not in entries:
            problems.append("%s: appeared" % path)
    return problems, tally


def expected_after_run(entries):
    """{path: bytes, or None for a folder} after one whole run."""
    return {path: entry.final for path, entry in entries.items()
            if entry.original is None or entry.final is not None}


def check_final(found, entries):
    expected = expected_after_run(entries)
    problems = []
    for path in sorted(set(found) | set(expected)):
        have, want = found.get(path, MISSING), expected.get(path, MISSING)
        if have is MISSING:
            problems.append("%s: missing after the second run" % path)
        elif want is MISSING:
            problems.append("%s: left behind by the second run" % path)
        elif have != want:
            problems.append("%s: wrong bytes after the second run" % path)
    return problems
