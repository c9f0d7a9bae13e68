"""The release, built twice from copies of the tree in two different folders,
must come out byte for byte the same: the executable, the zip and its sums.

Usage: reproducible_release.py SOURCE_TREE
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

OUTPUTS = ["build/release/Quillfen.exe", "dist/Quillfen-1.03.zip", "dist/SHA256SUMS"]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def release(source, folder):
    shutil.copytree(source, folder, ignore=shutil.ignore_patterns("build", "dist", ".git"))
    result = subprocess.run(["bash", "scripts/release.sh"], cwd=folder, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=600)
    if result.returncode != 0:
        fail("release.sh in %s:\n%s" % (folder, result.stdout.decode(errors="replace")))


def check_package(folder):
    subprocess.run(["sha256sum", "--quiet", "-c", "SHA256SUMS"], cwd=os.path.join(folder, "dist"),
                   check=True)
    with zipfile.ZipFile(os.path.join(folder, OUTPUTS[1])) as archive:
        if archive.namelist() != ["Quillfen.exe", "README.txt"]:
            fail("the zip holds %r" % archive.namelist())
        if archive.read("Quillfen.exe") != open(os.path.join(folder, OUTPUTS[0]), "rb").read():
            fail("the zip's executable is not the one built")
        readme = archive.read("README.txt")
        if readme.count(b"\n") != readme.count(b"\r\n") or b"\r\n" not in readme:
            fail("README.txt does not end its lines with CR LF")


def main():
    source = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="quillfen-release-") as work:
        first = os.path.join(work, "a")
        second = os.path.join(work, "a much longer folder name", "b")
        release(source, first)
        release(source, second)
        for output in OUTPUTS:
            if not filecmp.cmp(os.path.join(first, output), os.path.join(second, output),
                               shallow=False):
                fail("%s differs between the two builds" % output)
        check_package(first)
    print("PASS: the same bytes from both folders")


if __name__ == "__main__":
    main()
