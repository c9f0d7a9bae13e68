"""The DLL search guard, seen in a relay trace of a batch run under Wine.

Usage: dll_search_guard.py EXE PREFIX
The program must limit the DLL search (SetDefaultDllDirectories, or
SetDllDirectoryA where that is all there is) before it loads any library
itself, and it must name every library it loads by its full path in the
system folder. Only calls made from the executable's own image count: Wine
loads libraries of its own as well.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import cookie_samples as samples  # noqa: E402

RUNNER = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "wine-run.sh")
CALL = re.compile(r"^\w+:Call KERNEL32\.(\w+)\((.*)\) ret=([0-9a-f]{8})$")
GUARDS = {"SetDefaultDllDirectories", "SetDllDirectoryA"}
SYSTEM_FOLDER = re.compile(r'"C:\\\\windows\\\\system32\\\\[^\\"]+"', re.I)


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def image_size(exe):
    with open(exe, "rb") as f:
        data = f.read(4096)
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, header + 24 + 56)[0]  # SizeOfImage


def traced_run(exe, wine, work):
    env = wine.env()
    env["WINEDEBUG"] = "+relay,+loaddll"
    trace = os.path.join(work, "trace.txt")
    with open(trace, "wb") as out:
        status = subprocess.run(["wine", exe, "a"], cwd=work, env=env, stdout=subprocess.DEVNULL,
                                stderr=out, timeout=120).returncode
    if status != 0:
        fail("exit status %d" % status)
    return trace


def own_calls(trace, exe):
    """The kernel32 calls made from the executable's image, in order."""
    loaded = re.compile(r'Loaded L".*\\%s" at ([0-9A-F]{8}): native' % re.escape(os.path.basename(exe)))
    base = None
    calls = []
    with open(trace, errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if base is None:
                found = loaded.search(line)
                if found:
                    base = int(found.group(1), 16)
                    end = base + image_size(exe)
                continue
            call = CALL.match(line)
            if call and base <= int(call.group(3), 16) < end:
                calls.append((call.group(1), call.group(2)))
    if base is None:
        fail("the trace does not say where the executable was loaded")
    return calls


def main():
    exe, prefix = os.path.abspath(sys.argv[1]), sys.argv[2]
    wine = samples.Wine(prefix, RUNNER)
    wine.ready()
    wine.reset_cookie_folder()
    with tempfile.TemporaryDirectory(prefix="quillfen-guard-") as work:
        calls = own_calls(traced_run(exe, wine, work), exe)
    names = [name for name, _ in calls]
    loads = [i for i, name in enumerate(names) if name.startswith("LoadLibrary")]
    guards = [i for i, name in enumerate(names) if name in GUARDS]
    if not loads:
        fail("no LoadLibrary call of the program's own in the trace")
    if not guards or guards[0] > loads[0]:
        fail("no guard before the first load; the program's calls: %s" % names)
    for i in loads:
        if not SYSTEM_FOLDER.match(calls[i][1].split(" ", 1)[-1]):
            fail("%s(%s) does not name a file in the system folder" % calls[i])
    print("PASS: %s, then %d load(s) by full path" % (names[guards[0]], len(loads)))


if __name__ == "__main__":
    main()
