// Files served from memory, put in the place of the platform's file services:
// one file to read, in blocks of chosen sizes, with one read that can be made
// to fail, and one file to write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct MemoryFiles {
  std::string_view Source;
  // The number of the read that fails (counting from 0), or none.
  size_t FailingRead = static_cast<size_t>(-1);
  // The most each read gives, taken in turn; a platform may give less than
  // asked for before the end, and then does not call that block the last.
  uint32_t BlockLimits[2] = {UINT32_MAX, UINT32_MAX};
  std::string Written;
};

// Points the platform's open, read, write and close at `files`.
void UseMemoryFiles(MemoryFiles& files);
