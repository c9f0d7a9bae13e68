"""Packs the release zip so that the same inputs always give the same bytes.

Usage: package_release.py EXE README ZIP
The zip holds Quillfen.exe and README.txt, in that order, with one fixed
time and fixed permissions; the read-me gets Windows line ends, since users
open it in Notepad.
"""

import sys
import zipfile

# The release date of the version block, for every entry.
RELEASE_TIME = (2011, 11, 1, 0, 0, 0)


def entry(name):
    info = zipfile.ZipInfo(name, date_time=RELEASE_TIME)
    info.create_system = 0  # MS-DOS: no Unix permissions stored
    info.external_attr = 0
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    exe, readme, out = sys.argv[1:4]
    text = open(readme, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    with zipfile.ZipFile(out, "w") as archive:
        archive.writestr(entry("Quillfen.exe"), open(exe, "rb").read(), compresslevel=9)
        archive.writestr(entry("README.txt"), text, compresslevel=9)


if __name__ == "__main__":
    main()
