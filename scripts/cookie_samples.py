"""Cookie files for demonstrations and end-to-end tests, and the Wine side of
running the Windows executable on them.

The cleaned bytes are worked out here on their own terms (records kept in file
order, each line ended by a single LF), not by asking the tool, so that a test
compares the tool against an independent answer.
"""

import getpass
import os
import pwd
import shutil
import subprocess
import sys
import time

# Expiry halves far in the past and far in the future of any test run.
PAST_HIGH = 29000000     # about 1998
FUTURE_HIGH = 33000000   # about 2178


def record(name, high, low=0, line_end="\n"):
    lines = [name, "value-of-" + name, "example.test/", "1536", str(low), str(high),
             "2715813632", "30000000", "*"]
    return "".join(line + line_end for line in lines).encode("latin-1")


def cookie_file(records, line_end="\n"):
    """records: (name, expired) pairs. Returns (bytes, cleaned bytes or None when
    every cookie expired, names of the expired cookies)."""
    data = b""
    kept = b""
    expired = []
    for name, is_expired in records:
        high = PAST_HIGH if is_expired else FUTURE_HIGH
        data += record(name, high, 0, line_end)
        if is_expired:
            expired.append(name)
        else:
            kept += record(name, high, 0, "\n")
    if not expired:
        return data, data, expired
    return data, (kept or None), expired


def write_files(folder, files):
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def read_folder(folder):
    result = {}
    if os.path.isdir(folder):
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    result[name] = f.read()
    return result


def demo_folders():
    """The demo's two folders, main and Low:
    {name: (bytes, expected bytes or None, names of the expired cookies)}."""
    main = {
        "alice@news.example[1].txt": [("session", True), ("prefs", True)],
        "alice@shop.example[2].txt": [("cart", True), ("login", False), ("theme", True)],
        "alice@mail.example[1].txt": [("auth", False), ("lang", False)],
        "alice@ads.example[1].txt": [("track", True)],
    }
    low = {
        "alice@video.example[1].txt": [("volume", False), ("resume", True)],
    }

    def build(layout, line_end):
        return {name: cookie_file(records, line_end) for name, records in layout.items()}

    main_files = build(main, "\r\n")
    main_files["tiny.txt"] = (b"x\n", b"x\n", [])
    return main_files, build(low, "\n")


class Wine:
    """Runs Windows programs in one Wine prefix, through `runner`: wine-run.sh,
    or wine-run-as-user.sh, whose user `uid` then has a prefix of its own and
    owns the cookie folder. `arch` ("32" or "64") chooses Wine's loader where
    the machine's own choice will not do."""

    def __init__(self, prefix, runner, uid=None, arch=None):
        self.prefix = os.path.abspath(prefix)
        self.runner = runner
        self.uid = uid
        self.arch = arch
        self.user = getpass.getuser() if uid is None else pwd.getpwuid(uid).pw_name
        self.own_prefix = self.prefix if uid is None else subprocess.run(
            [runner, self.prefix, "--prefix"], check=True, stdout=subprocess.PIPE,
            text=True).stdout.strip()

    def env(self):
        env = dict(os.environ)
        env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree=;mshtml=")
        if self.arch is not None:
            env.update(QUILLFEN_WINE_ARCH=self.arch)
        return env

    def run(self, program, *arguments, cwd=None, timeout=120, preexec_fn=None):
        return subprocess.run([self.runner, self.prefix, program, *arguments], cwd=cwd,
                              env=self.env(), timeout=timeout, preexec_fn=preexec_fn,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def start(self, program, *arguments, cwd=None):
        return subprocess.Popen([self.runner, self.prefix, program, *arguments], cwd=cwd,
                                env=self.env(), stdin=subprocess.PIPE, stdout=subprocess.PIPE)

    def ready(self):
        """Makes the prefix (once) and answers its cookie folder on the Linux side.
        A Wine that cannot start ends the program with the runner's own line,
        which says what is missing."""
        started = self.run("cmd", "/c", "exit")
        if started.returncode != 0:
            sys.exit(last_line(started.stderr) or "Wine did not start (exit status %d)"
                     % started.returncode)
        return self.cookie_folder()

    def cookie_folder(self):
        return os.path.join(self.own_prefix, "drive_c", "users", self.user, "AppData",
                            "Local", "Microsoft", "Windows", "INetCookies")

    def windows_cookie_folder(self):
        return "C:\\users\\%s\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\" % self.user

    def set_version(self, program_name, version):
        """Makes Wine report `version` (e.g. winxp) to the program of that name."""
        key = "HKCU\\Software\\Wine\\AppDefaults\\" + program_name
        self.run("reg", "add", key, "/v", "Version", "/d", version, "/f")
        subprocess.run(["wineserver", "-w"], env=self.env(), timeout=60)

    def reset_cookie_folder(self):
        folder = self.cookie_folder()
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        if self.uid is not None:
            os.chown(folder, self.uid, self.uid)
        return folder


def last_line(output):
    lines = output.decode("utf-8", "replace").strip().splitlines()
    return lines[-1] if lines else ""


def wait_for_line(stream, expected, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        line = stream.readline()
        if not line:
            break
        if line.strip() == expected:
            return True
    return False
