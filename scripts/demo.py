"""Runs the Windows executable in batch mode under Wine on a demo cookie folder
and shows the log and what changed on disk.

Usage: demo.py EXE WORK_FOLDER
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(__file__))
import cookie_samples as samples  # noqa: E402


def cookies_in(data):
    return data.count(b"\n") // 9


def describe(before, after):
    for name, data in before.items():
        if name not in after:
            change = "deleted (every cookie had expired)"
        elif after[name] == data:
            change = "unchanged"
        else:
            change = "rewritten: kept %d of %d cookies" % (cookies_in(after[name]), cookies_in(data))
        print("  %-32s %6d bytes  %s" % (name, len(data), change))
    for name in sorted(set(after) - set(before)):
        print("  %-32s %6d bytes  new" % (name, len(after[name])))


def main():
    exe, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(work, exist_ok=True)
    wine = samples.Wine(os.path.join(work, "wineprefix"),
                        os.path.join(os.path.dirname(__file__), "wine-run.sh"))
    print("Preparing a Wine prefix (the first time takes a little while)...")
    folder = wine.ready()
    shutil.rmtree(folder, ignore_errors=True)
    main_files, low_files = samples.demo_folders()
    low = os.path.join(folder, "Low")
    samples.write_files(folder, {n: d for n, (d, _, _) in main_files.items()})
    samples.write_files(low, {n: d for n, (d, _, _) in low_files.items()})
    before = (samples.read_folder(folder), samples.read_folder(low))

    log_path = os.path.join(work, "Result.log")
    if os.path.exists(log_path):
        os.remove(log_path)
    result = wine.run(exe, "a", cwd=work)
    loader = "wine64" if os.environ.get("QUILLFEN_WINE_ARCH") == "64" else "wine"
    print("\n$ %s Quillfen.exe a    (exit status %d)\n" % (loader, result.returncode))
    if not os.path.exists(log_path):
        print("No Result.log: " + (samples.last_line(result.stderr) or "the program wrote no log"),
              file=sys.stderr)
        return 1
    print("--- Result.log")
    with open(log_path, "rb") as log:
        sys.stdout.write(log.read().decode("latin-1").replace("\r\n", "\n"))
    print("---\n\nWhat changed in %s:" % wine.windows_cookie_folder())
    describe(before[0], samples.read_folder(folder))
    print("and in its Low\\ subfolder:")
    describe(before[1], samples.read_folder(low))
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
