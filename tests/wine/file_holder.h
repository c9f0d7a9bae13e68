// Another process holding a file open without sharing, as a browser holds a
// cookie file it is using.
#pragma once

#include <windows.h>

#include <string>

class HeldFile {
 public:
  // Returns once the holder has the file open, or has given up on it.
  explicit HeldFile(const std::string& path);
  // Lets the holder close the file and waits until it has ended.
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  // What the holder answered: "held", or why it could not hold the file.
  const std::string& Answer() const { return Reply; }

 private:
  HANDLE Process = nullptr;
  HANDLE Input = nullptr;
  std::string Reply;
};
