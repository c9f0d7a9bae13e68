"""Packs the release zip so that the same inputs always give the same bytes.

Usage: package_release.py EXE32 EXE64 README ZIP
The zip holds Quillfen.exe (the 32-bit build), x64/Quillfen.exe (the 64-bit
build) and README.txt, in that order, with one fixed time and fixed
attributes; the read-me gets Windows line ends, since users open it in
Notepad.
"""

import sys
import zipfile

# The release date of the version block, for every entry.
RELEASE_TIME = (2011, 11, 1, 0, 0, 0)
MS_DOS_DIRECTORY = 0x10


def entry(name, attributes=0):
    info = zipfile.ZipInfo(name, date_time=RELEASE_TIME)
    info.create_system = 0  # MS-DOS: no Unix permissions stored
    info.external_attr = attributes
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    exe32, exe64, readme, out = sys.argv[1:5]
    text = open(readme, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    with zipfile.ZipFile(out, "w") as archive:
        archive.writestr(entry("Quillfen.exe"), open(exe32, "rb").read(), compresslevel=9)
        archive.writestr(entry("x64/", MS_DOS_DIRECTORY), b"")
        archive.writestr(entry("x64/Quillfen.exe"), open(exe64, "rb").read(), compresslevel=9)
        archive.writestr(entry("README.txt"), text, compresslevel=9)


if __name__ == "__main__":
    main()
