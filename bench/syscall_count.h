// Counting the system calls of a host batch run with strace.
#pragma once

#include <map>
#include <string>

// How often each system call was made by a batch run of `hostExe` over
// `folder`, counted by strace; `scratch` is a path prefix for its output.
std::map<std::string, long> CountSyscalls(const std::string& hostExe, const std::string& folder,
                                          const std::string& scratch);
