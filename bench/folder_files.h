// Plain file and folder chores for the benchmarks, straight on POSIX calls so
// that their own cost stays small and predictable.
#pragma once

#include <string>
#include <string_view>

// Each of these ends the benchmark with a message when the system refuses.
void WriteWholeFile(const std::string& path, std::string_view bytes);
void MakeFolder(const std::string& path);
// Copies the files of a flat folder into a new folder `to`.
void CopyFolder(const std::string& from, const std::string& to);
// Removes a folder and everything below it; nothing happens if it is missing.
void RemoveTree(const std::string& path);

[[noreturn]] void Fail(const std::string& what);
