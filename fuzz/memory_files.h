// Files served from memory, put in the place of the platform's file services:
// one file to read, whose reads can be made to fail from a chosen block on,
// and one file to write.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct MemoryFiles {
  std::string_view Source;
  // The number of the first read that fails (counting from 0), or none.
  size_t FailingRead = static_cast<size_t>(-1);
  std::string Written;
};

// Points the platform's open, read, write and close at `files`.
void UseMemoryFiles(MemoryFiles& files);
