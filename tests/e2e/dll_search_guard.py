"""The DLL search guard, seen in a relay trace of a batch run under Wine.

Usage: dll_search_guard.py EXE PREFIX
Before it loads any library itself, the program must limit the DLL search
(SetDefaultDllDirectories, or SetDllDirectoryA where that is all there is),
and it must name each library it loads by its full path in the system
folder. Only calls made from the executable's own image count: Wine loads
libraries of its own as well.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile

SCRIPTS = os.path.join(os.path.dirname(__file__), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)
import cookie_samples as samples  # noqa: E402

CALL = re.compile(r"^(\w+):Call KERNEL32\.(\w+)\((.*)\) ret=([0-9a-f]{8,16})$")
SYSTEM_FOLDER = re.compile(r'"C:\\\\windows\\\\system32\\\\[^\\"]+"', re.I)


def own_calls(exe, trace_lines):
    """The kernel32 calls made from the executable's image by the thread that
    loaded it, in order. Other processes of the prefix may load their images
    at the same address."""
    with open(exe, "rb") as f:
        header = f.read(4096)
    size = struct.unpack_from("<I", header, struct.unpack_from("<I", header, 0x3C)[0] + 80)[0]
    loaded = re.compile(r'^(\w+):.*Loaded L".*\\%s" at ([0-9A-F]{8,16}): native'
                        % re.escape(os.path.basename(exe)))
    thread, base, calls = None, None, []
    for line in trace_lines:
        found = loaded.search(line) if base is None else None
        if found:
            thread, base = found.group(1), int(found.group(2), 16)
        call = CALL.match(line.rstrip("\n")) if base is not None else None
        if call and call.group(1) == thread and base <= int(call.group(4), 16) < base + size:
            calls.append((call.group(2), call.group(3).split(" ", 1)[-1]))
    return calls


def main():
    exe, prefix = os.path.abspath(sys.argv[1]), sys.argv[2]
    wine = samples.Wine(prefix, os.path.join(SCRIPTS, "wine-run.sh"))
    wine.ready()
    wine.reset_cookie_folder()
    env = dict(wine.env(), WINEDEBUG="+relay,+loaddll")
    with tempfile.TemporaryDirectory(prefix="quillfen-guard-") as work:
        run = subprocess.run([wine.runner, wine.prefix, exe, "a"], cwd=work, env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE, timeout=120, text=True, errors="replace")
    calls = own_calls(exe, run.stderr.splitlines())
    names = [name for name, _ in calls]
    loads = [i for i, name in enumerate(names) if name.startswith("LoadLibrary")]
    guards = [i for i, name in enumerate(names)
              if name in ("SetDefaultDllDirectories", "SetDllDirectoryA")]
    problems = ["exit status %d" % run.returncode] if run.returncode else []
    if not loads:
        problems.append("no LoadLibrary call of the program's own in the trace")
    elif not guards or guards[0] > loads[0]:
        problems.append("no guard before the first load; the program's calls: %s" % names)
    problems += ["%s(%s) names no file in the system folder" % calls[i]
                 for i in loads if not SYSTEM_FOLDER.match(calls[i][1])]
    if problems:
        sys.exit("FAIL: " + "; ".join(problems))
    print("PASS: %s, then %d load(s) by full path" % (names[guards[0]], len(loads)))


if __name__ == "__main__":
    main()
