#include "test_folder.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

TestFolder::TestFolder() {
  char name[] = "/tmp/quillfen-test-XXXXXX";
  Path = std::string(mkdtemp(name)) + "/";
}

TestFolder::~TestFolder() {
  std::string command = "chmod -R u+w '" + Path + "' && rm -rf '" + Path + "'";
  if (system(command.c_str()) != 0) ADD_FAILURE() << "cannot remove " << Path;
}

void TestFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(Path + name, std::ios::binary) << bytes;
}

std::string TestFolder::Read(const std::string& name) const {
  std::ifstream file(Path + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool TestFolder::Exists(const std::string& name) const {
  struct stat info;
  return lstat((Path + name).c_str(), &info) == 0;
}

void TestFolder::MakeReadOnly(const std::string& name) const { chmod((Path + name).c_str(), 0444); }

void TestFolder::MakeFolder(const std::string& name) const { mkdir((Path + name).c_str(), 0755); }

std::vector<std::string> TestFolder::Names() const {
  std::vector<std::string> names;
  DIR* folder = opendir(Path.c_str());
  while (dirent* entry = readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.push_back(entry->d_name);
    }
  }
  closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

void EngineTest::SetUp() { ResetEngine(Folder.Path); }

void EngineTest::TearDown() { ReleaseEngine(); }
