"""Which functions of the system the program's own code calls, from a trace
of one batch run under Wine (WINEDEBUG=+relay).

Wine's relay trace gives every call into a system DLL with the address it
returns to. The linker's map, written beside the executable, tells which of
the executable's code is the program's own (the quillfen libraries and the
program's main) and which is the C and C++ runtime linked into it; calls
that Wine's own DLLs make on the program's behalf return into those DLLs
and do not count, nor do those of other processes the run starts (Wine's
services), whose code may lie at the program's own addresses.
"""

import os
import re
import subprocess

# With +pid each line begins with the ids of its process and thread.
CALL = re.compile(rb"^([0-9a-f]+):[0-9a-f]+:Call (\w+)\.(\w+)\(.*\) ret=([0-9a-f]+)")
LOADED = re.compile(rb'^([0-9a-f]+):[0-9a-f]+:.*Loaded L"[^"]*\\\\([^"\\\\]+)" at ([0-9a-f]+)')
SECTION = re.compile(r"^ \.text\S*\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)$")
ADDRESS_ONLY = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)$")
IMAGE_BASE = re.compile(r"__image_base__ = 0x([0-9a-f]+)")
# Conversions between the code page and Unicode are the program's to make.
ALLOWED = {"MultiByteToWideChar", "WideCharToMultiByte"}


def own_code(map_path):
    """The image base and the address ranges of the program's own code."""
    with open(map_path) as f:
        lines = f.read().split("\n")
    image_base = int(next(IMAGE_BASE.search(line).group(1) for line in lines
                          if IMAGE_BASE.search(line)), 16)
    ranges = []
    for i, line in enumerate(lines):
        if not line.startswith(" .text"):
            continue
        found = SECTION.match(line) or (i + 1 < len(lines) and ADDRESS_ONLY.match(lines[i + 1]))
        if not found:
            continue
        start, size, source = int(found.group(1), 16), int(found.group(2), 16), found.group(3)
        if start and size and ("libquillfen_" in source or "/Quillfen.dir/" in source):
            ranges.append((start, start + size))
    if not ranges:
        raise AssertionError("no code of the program's own in %s" % map_path)
    return image_base, ranges


def is_wide(function):
    """Whether `function` is a wide function of the system's own."""
    return re.fullmatch(r"\w*[a-z0-9]W", function) is not None and function not in ALLOWED


def calls_of_own_code(wine, program, exe, work):
    """Runs `program` (a copy of `exe`, whose map lies beside it) in batch
    mode with Wine's relay trace, and answers the names of the system
    functions that its own code called."""
    env = wine.env()
    env["WINEDEBUG"] = "+pid,+relay,+loaddll"
    trace_path = os.path.join(work + "-programs", "relay.txt")
    with open(trace_path, "wb") as trace:
        result = subprocess.run([wine.runner, wine.prefix, program, "a"], cwd=work, env=env,
                                stdout=subprocess.DEVNULL, stderr=trace, timeout=600)
    if result.returncode != 0:
        raise AssertionError("exit status %d under the trace" % result.returncode)
    image_base, ranges = own_code(os.path.splitext(exe)[0] + ".map")
    name = os.path.basename(program).encode()
    process = load_base = None
    calls = set()
    with open(trace_path, "rb") as trace:
        for line in trace:
            loaded = LOADED.match(line)
            if loaded and loaded.group(2).lower() == name.lower():
                process, load_base = loaded.group(1), int(loaded.group(3), 16)
            call = CALL.match(line)
            if call and call.group(1) == process:
                address = int(call.group(4), 16) - load_base + image_base
                if any(start <= address < end for start, end in ranges):
                    calls.add(call.group(3).decode())
    os.remove(trace_path)
    if load_base is None:
        raise AssertionError("the trace does not show where %s was loaded" % name)
    return calls
