// The long name of the entry a path leads to, asked of the system's search.
#pragma once

#include <cstdint>
#include <string>

// 0 with the long name of the entry `path` leads to, or why it leads to none
// alone: the search's error, or ERROR_NO_UNICODE_TRANSLATION where its last
// part is a short name that more than one entry answers to (a share that
// mangles names may give two files one short name, and Wine does so on its
// own, reaching whichever comes first in its folder at that moment), or
// where the long name holds a folder separator (Wine lists a Linux name as
// it stands), so that it would not lead back there.
uint32_t LongNameOf(const std::wstring& path, std::wstring& longName);
