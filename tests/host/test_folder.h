// A scratch cookie folder for host tests, and the fixture that points the
// engine at it with the window sink capturing the log in LogText.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine_test_support.h"

struct TestFolder {
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder with a trailing '/'.
  std::string Path;

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void MakeReadOnly(const std::string& name) const;
  void MakeFolder(const std::string& name) const;
  // The names in the folder, sorted.
  std::vector<std::string> Names() const;
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TestFolder Folder;
};
