#include "platform/file_writer.h"

#include <cstring>

uint32_t FileWriter::Create(const char* path) { return Opened(Platform.CreateEmpty(path, &File)); }

uint32_t FileWriter::CreateNew(const char* path) { return Opened(Platform.CreateNew(path, &File)); }

uint32_t FileWriter::Opened(uint32_t code) {
  if (code != 0) {
    File = nullptr;
    return code;
  }
  if (!Buffer) Buffer.reset(new char[kFileBufferSize]);
  Used = 0;
  Failed = false;
  return 0;
}

void FileWriter::Write(std::string_view data) {
  if (Failed) return;
  if (data.size() > kFileBufferSize - Used) {
    Flush();
    if (data.size() >= kFileBufferSize) {
      // Too big to buffer: hand it over in pieces the platform can count.
      while (!Failed && !data.empty()) {
        uint32_t piece = data.size() > 0x40000000 ? 0x40000000 : static_cast<uint32_t>(data.size());
        if (!Platform.WriteBlock(File, data.data(), piece)) Failed = true;
        data.remove_prefix(piece);
      }
      return;
    }
  }
  std::memcpy(Buffer.get() + Used, data.data(), data.size());
  Used += static_cast<uint32_t>(data.size());
}

void FileWriter::Flush() {
  if (Used != 0 && !Failed && !Platform.WriteBlock(File, Buffer.get(), Used)) Failed = true;
  Used = 0;
}

bool FileWriter::Close() {
  if (File == nullptr) return false;
  Flush();
  bool closed = Platform.CloseFile(File);
  File = nullptr;
  return closed && !Failed;
}
