// A scratch folder under the Windows temporary folder, removed with all it
// holds (read-only and hidden entries included) when the test ends.
//
// Its helpers go through the wide calls with the "\\?\" prefix, so that a test
// can lay out and inspect paths the ANSI calls under test refuse.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ScratchFolder {
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with a trailing backslash.
  std::string Path;

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void MakeFolder(const std::string& name) const;
  // The same for names the code page cannot hold.
  void Write(const std::wstring& name, const std::string& bytes) const;
  std::string Read(const std::wstring& name) const;
  void MakeFolder(const std::wstring& name) const;
  DWORD Attributes(const std::string& name) const;
  void SetAttributes(const std::string& name, DWORD attributes) const;
  // The names in the folder, sorted.
  std::vector<std::string> Names() const;
};

// Each byte of `text` as the character of the same number (Latin-1).
std::wstring Widened(const std::string& text);

// `path` as a wide path that no length limit applies to.
std::wstring UnlimitedPath(const std::string& path);
