"""The files opened, or created, in one folder, as Linux reports them
(inotify), so that a test can act at the moment a run reaches its files."""

import ctypes
import os
import select
import struct

IN_OPEN = 0x20
IN_CREATE = 0x100
EVENT = struct.Struct("iIII")  # watch, mask, cookie, length of the name

libc = ctypes.CDLL(None, use_errno=True)


class OpenWatch:
    def __init__(self, folder, events=IN_OPEN):
        self.fd = libc.inotify_init1(os.O_CLOEXEC)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, os.fsencode(folder), events) < 0:
            raise OSError(ctypes.get_errno(), "inotify on " + folder)
        self.pending = []

    def next_open(self, seconds):
        """The name of the next file opened (bytes), or None after `seconds`."""
        event = self.next_event(seconds)
        return event and event[1]

    def next_event(self, seconds):
        """The next event as (mask, name of the file), or None after `seconds`."""
        while not self.pending:
            if not select.select([self.fd], [], [], seconds)[0]:
                return None
            data = os.read(self.fd, 65536)
            at = 0
            while at < len(data):
                _, mask, _, length = EVENT.unpack_from(data, at)
                name = data[at + EVENT.size:at + EVENT.size + length].rstrip(b"\0")
                if name:
                    self.pending.append((mask, name))
                at += EVENT.size + length
        return self.pending.pop(0)

    def close(self):
        os.close(self.fd)
