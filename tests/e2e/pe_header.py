"""The executable's PE header: the hardening marks, the versions that let the
oldest Windows load it, and the parts that a reproducible build leaves out.

Usage: pe_header.py EXE
"""

import struct
import sys

RELOCS_STRIPPED = 0x0001
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
TERMINAL_SERVER_AWARE = 0x8000


def read_header(exe):
    data = open(exe, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("FAIL: no PE signature")
    sections, stamp = struct.unpack_from("<HI", data, pe + 6)
    optional_size, characteristics = struct.unpack_from("<HH", data, pe + 20)
    optional = pe + 24
    os_version = struct.unpack_from("<HH", data, optional + 40)
    subsystem_version = struct.unpack_from("<HH", data, optional + 48)
    dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
    relocations = struct.unpack_from("<II", data, optional + 96 + 5 * 8)  # data directory 5
    table = optional + optional_size
    names = [data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode() for i in range(sections)]
    return {
        "time stamp": stamp,
        "relocations stripped": bool(characteristics & RELOCS_STRIPPED),
        "dynamic base": bool(dll_characteristics & DYNAMIC_BASE),
        "NX compatible": bool(dll_characteristics & NX_COMPAT),
        "terminal server aware": bool(dll_characteristics & TERMINAL_SERVER_AWARE),
        "relocation table present": relocations[1] > 0 and ".reloc" in names,
        "OS version": os_version,
        "subsystem version": subsystem_version,
    }


EXPECTED = {
    "time stamp": 0,
    "relocations stripped": False,
    "dynamic base": True,
    "NX compatible": True,
    "terminal server aware": True,
    "relocation table present": True,
    "OS version": (4, 0),
    "subsystem version": (4, 0),
}


def main():
    header = read_header(sys.argv[1])
    wrong = ["%s: %r, expected %r" % (k, header[k], v) for k, v in EXPECTED.items() if header[k] != v]
    for line in wrong:
        print("FAIL:", line)
    if wrong:
        sys.exit(1)
    print("PASS: header as expected")


if __name__ == "__main__":
    main()
