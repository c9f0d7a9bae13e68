"""A large cookie folder made from a seed, with the bytes each file must hold
after a cleaning worked out here from the records as they were made: the
kept records in file order, each line ended by a single LF. Nothing here
asks the tool.

Each entry is FolderEntry(original, final): final is None for a file that a
cleaning deletes, and equals original for one it leaves alone. Folders that
match "*.txt" are entries with original None.
"""

import collections
import os
import shutil
import time

FolderEntry = collections.namedtuple("FolderEntry", "original final")

# Seconds from 1601, where Windows file times start, to 1970.
EPOCH_1601 = 11644473600


def now_high_half():
    return int((time.time() + EPOCH_1601) * 10_000_000) >> 32


def half_text(rng, value):
    """One of the spellings the expiry lines allow for a 32-bit half."""
    form = rng.randrange(8)
    if form == 0:
        return " %d" % value
    if form == 1:
        return "\t+%d" % value
    if form == 2:
        return "$%X" % value
    if form == 3:
        return "$%x" % value
    if form == 4:
        return "&%o" % value
    if form == 5:
        return "%%%s" % bin(value)[2:]
    if form == 6 and value:
        return "-%d" % ((1 << 32) - value)
    return "%d" % value


def high_half(rng, expired, now_high):
    """Days to years away from now: no run falls near the edge."""
    if expired and rng.random() < 0.1:
        return rng.choice(["-1", "4294967295", "$80000000"])  # negative: always expired
    distance = rng.randint(3000, 3_000_000)
    return half_text(rng, now_high - distance if expired else now_high + distance)


def text_bytes(rng, length):
    """Line text of any byte but CR and LF: NUL, Ctrl-Z and bytes above 127 too."""
    alphabet = bytes(b for b in range(256) if b not in (10, 13))
    return bytes(rng.choice(alphabet) for _ in range(length))


def cookie(rng, index, expired, now_high, value_length):
    name = b"c%d_" % index + text_bytes(rng, rng.randrange(6))
    return [name, text_bytes(rng, value_length), b"host%d.example/" % index, b"1536",
            half_text(rng, rng.randrange(1 << 32)).encode(),
            high_half(rng, expired, now_high).encode(),
            b"%d" % rng.randrange(1 << 32), b"%d" % rng.randrange(1 << 31), b"*"]


def join(records, line_end):
    return b"".join(line + line_end for record in records for line in record)


def cookie_file(rng, pattern, now_high, value_length, tail=True):
    """pattern: one expired flag per record. Returns the entry. Bytes after a
    Ctrl-Z that ends the records are data the tool does not understand: it
    leaves such a file as it is."""
    records = [cookie(rng, i, expired, now_high, value_length) for i, expired in enumerate(pattern)]
    line_end = rng.choice([b"\n", b"\r\n", b"\r"])
    data = join(records, line_end)
    tail = tail and rng.random() < 0.1
    if tail:
        data += b"\x1a" + text_bytes(rng, 20) + b"\r\n"
    kept = [r for r, expired in zip(records, pattern) if not expired]
    if len(kept) == len(records) or tail:
        return FolderEntry(data, data)
    return FolderEntry(data, join(kept, b"\n") if kept else None)


def incorrect_file(rng, now_high):
    """Good records, then one whose expiry does not convert: left as it is."""
    pattern = [rng.random() < 0.5 for _ in range(rng.randint(0, 3))]
    good = cookie_file(rng, pattern, now_high, 10, tail=False)
    bad = cookie(rng, 99, True, now_high, 10)
    bad[rng.choice([4, 5])] = rng.choice([b"", b"12 ", b"0x1F", b"$", b"-", b"1e5", b"abc"])
    data = good.original + join([bad], b"\n")
    return FolderEntry(data, data)


def pattern_for(rng, kind, count):
    if kind == "keep":
        return [False] * count
    if kind == "delete":
        return [True] * count
    pattern = [rng.random() < 0.5 for _ in range(count)]
    pattern[rng.randrange(count)] = True
    pattern[rng.randrange(count)] = False
    return pattern if any(pattern) and not all(pattern) else [True, False]


def one_file(rng, now_high):
    roll = rng.random()
    if roll < 0.05:
        return incorrect_file(rng, now_high)
    if roll < 0.09:
        small = text_bytes(rng, rng.randint(0, 18))
        return FolderEntry(small, small)
    kind = "keep" if roll < 0.35 else "delete" if roll < 0.58 else "rewrite"
    big = rng.random() < 0.01
    count = rng.randint(150, 400) if big else rng.randint(1, 8)
    count = max(count, 2) if kind == "rewrite" else count
    value_length = 300 if big else rng.randint(4, 60)
    return cookie_file(rng, pattern_for(rng, kind, count), now_high, value_length)


def make_folder(rng, files):
    """{relative path: FolderEntry}, about a quarter of the files in Low."""
    now_high = now_high_half()
    entries = {}
    for i in range(files):
        folder = "Low/" if rng.random() < 0.25 else ""
        name = "%suser@site%d.example[%d].txt" % (folder, i, rng.randint(1, 3))
        entries[name] = one_file(rng, now_high)
    entries["folder.txt"] = FolderEntry(None, None)
    keep = cookie_file(rng, [True, False], now_high, 10).original
    entries["notes.dat"] = FolderEntry(keep, keep)
    return entries


def write_folder(folder, entries):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "Low"))
    for path, entry in entries.items():
        full = os.path.join(folder, path)
        if entry.original is None:
            os.mkdir(full)
        else:
            with open(full, "wb") as f:
                f.write(entry.original)


def restore_folder(folder, entries):
    """Brings the folder back to its original bytes, rewriting only what
    differs: creating and deleting files is what costs most."""
    found = read_folder(folder)
    for path, data in found.items():
        if path not in entries:
            os.remove(os.path.join(folder, path))
    for path, entry in entries.items():
        if entry.original is not None and found.get(path, -1) != entry.original:
            with open(os.path.join(folder, path), "wb") as f:
                f.write(entry.original)
        elif entry.original is None and path not in found:
            os.mkdir(os.path.join(folder, path))


def read_folder(folder):
    """{relative path: bytes, or None for a folder}, both levels."""
    found = {}
    for base in ("", "Low/"):
        for name in os.listdir(os.path.join(folder, base)):
            path = base + name
            if path == "Low":
                continue
            full = os.path.join(folder, path)
            if os.path.isdir(full):
                found[path] = None
            else:
                with open(full, "rb") as f:
                    found[path] = f.read()
    return found
