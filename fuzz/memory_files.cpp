#include "memory_files.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace {

MemoryFiles* Files = nullptr;
size_t ReadOffset = 0;
size_t ReadsDone = 0;

// Any readable error number will do; 23 is a data error on a disk.
constexpr uint32_t kErrorCrc = 23;

uint32_t OpenSource(const char*, FileHandle* file) {
  ReadOffset = 0;
  ReadsDone = 0;
  *file = Files;
  return 0;
}

uint32_t CreateSink(const char*, FileHandle* file) {
  Files->Written.clear();
  *file = &Files->Written;
  return 0;
}

// Like a disk file, the source calls a block the last when it comes back short
// because the data ended; a block cut short by the block limit alone is not.
uint32_t ReadSource(FileHandle, char* buffer, uint32_t size, uint32_t* got, bool* atEnd) {
  *got = 0;
  size_t read = ReadsDone++;
  if (read == Files->FailingRead) return kErrorCrc;
  size_t count =
      std::min<size_t>({Files->Source.size() - ReadOffset, size, Files->BlockLimits[read % 2]});
  if (count != 0) std::memcpy(buffer, Files->Source.data() + ReadOffset, count);
  ReadOffset += count;
  *got = static_cast<uint32_t>(count);
  *atEnd = ReadOffset == Files->Source.size() && count < size;
  return 0;
}

bool WriteSink(FileHandle, const char* data, uint32_t size) {
  Files->Written.append(data, size);
  return true;
}

bool CloseAny(FileHandle) { return true; }

}  // namespace

void UseMemoryFiles(MemoryFiles& files) {
  Files = &files;
  Platform.OpenExisting = OpenSource;
  Platform.CreateEmpty = CreateSink;
  Platform.CreateNew = CreateSink;
  Platform.ReadBlock = ReadSource;
  Platform.WriteBlock = WriteSink;
  Platform.CloseFile = CloseAny;
}
