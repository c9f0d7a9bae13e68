// Buffered writing to a file of the platform, used for rewritten cookie files
// and for the log file. A failed write is remembered, so that the caller learns
// of it at the latest from Close.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/platform.h"

struct FileWriter {
  // Creates the file, or empties it, without sharing. 0 or the open code.
  uint32_t Create(const char* path);
  // Creates a file that must not exist yet; kErrorFileExists when it does.
  uint32_t CreateNew(const char* path);
  void Write(std::string_view data);
  // Writes out the buffer and closes; false if any write or the close failed.
  bool Close();
  bool IsOpen() const { return File != nullptr; }
  bool HasFailed() const { return Failed; }

 private:
  uint32_t Opened(uint32_t code);
  void Flush();

  FileHandle File = nullptr;
  std::unique_ptr<char[]> Buffer;
  uint32_t Used = 0;
  bool Failed = false;
};

// Large enough that a cookie file is written with one call.
constexpr uint32_t kFileBufferSize = 64 * 1024;
