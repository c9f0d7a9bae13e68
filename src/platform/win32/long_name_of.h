// The long name of the entry a path leads to, asked of the system's search.
#pragma once

#include <cstdint>
#include <string>

// 0 with the long name of the one entry `path` names, or why there is none:
// the search's error, or ERROR_NO_UNICODE_TRANSLATION where the path names
// more than one entry (a share that mangles names may give two files one
// short name, and Wine does so on its own) or one whose long name holds a
// folder separator (Wine lists a Linux name as it stands), so that it would
// not lead back there.
uint32_t LongNameOf(const std::wstring& path, std::wstring& longName);
