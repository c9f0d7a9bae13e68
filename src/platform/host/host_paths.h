// Engine paths use the backslash as folder separator; the host uses '/'.
#pragma once

#include <string>

std::string HostPath(const char* enginePath);

// The Windows error number that matches errno after a failed file call.
uint32_t WindowsErrorFromErrno(int error, const std::string& path);
