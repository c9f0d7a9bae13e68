#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; *text != 0; ++text) narrow.push_back(static_cast<char>(*text));
  return narrow;
}

// Clears the attributes first: a read-only entry cannot be removed.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\");
      } else if (!DeleteFileW(path.c_str())) {
        ADD_FAILURE() << "cannot remove " << Narrow(path.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  if (!RemoveDirectoryW(folder.c_str()))
    ADD_FAILURE() << "cannot remove " << Narrow(folder.c_str());
}

}  // namespace

std::wstring Widened(const std::string& text) {
  std::wstring wide;
  for (char c : text) wide.push_back(static_cast<unsigned char>(c));
  return wide;
}

std::wstring UnlimitedPath(const std::string& path) { return L"\\\\?\\" + Widened(path); }

// Several test executables may share the temporary folder, and Wine hands out
// the same process ids again, so a name already taken is passed over.
ScratchFolder::ScratchFolder() {
  static int made = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string stem = std::string(temp) + "quillfen-" + std::to_string(GetCurrentProcessId());
  do {
    Path = stem + "-" + std::to_string(++made) + "\\";
  } while (!CreateDirectoryA(Path.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
  if (!Exists("")) ADD_FAILURE() << "cannot make " << Path;
}

ScratchFolder::~ScratchFolder() { RemoveTree(UnlimitedPath(Path)); }

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  Write(Widened(name), bytes);
}

void ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const {
  HANDLE file = CreateFileW((UnlimitedPath(Path) + name).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << Narrow(name.c_str());
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  EXPECT_EQ(written, bytes.size()) << Narrow(name.c_str());
}

std::string ScratchFolder::Read(const std::string& name) const { return Read(Widened(name)); }

std::string ScratchFolder::Read(const std::wstring& name) const {
  HANDLE file = CreateFileW((UnlimitedPath(Path) + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot read " << Narrow(name.c_str());
    return std::string();
  }
  std::string bytes;
  char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof block, &got, nullptr) && got != 0) bytes.append(block, got);
  CloseHandle(file);
  return bytes;
}

bool ScratchFolder::Exists(const std::string& name) const {
  return Attributes(name) != INVALID_FILE_ATTRIBUTES;
}

void ScratchFolder::MakeFolder(const std::string& name) const { MakeFolder(Widened(name)); }

void ScratchFolder::MakeFolder(const std::wstring& name) const {
  EXPECT_TRUE(CreateDirectoryW((UnlimitedPath(Path) + name).c_str(), nullptr))
      << Narrow(name.c_str());
}

DWORD ScratchFolder::Attributes(const std::string& name) const {
  return GetFileAttributesW(UnlimitedPath(Path + name).c_str());
}

void ScratchFolder::SetAttributes(const std::string& name, DWORD attributes) const {
  EXPECT_TRUE(SetFileAttributesW(UnlimitedPath(Path + name).c_str(), attributes)) << name;
  EXPECT_EQ(Attributes(name) & attributes, attributes) << name;
}

std::vector<std::string> ScratchFolder::Names() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((UnlimitedPath(Path) + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = Narrow(entry.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}
