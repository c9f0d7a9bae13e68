// A scratch cookie folder for host tests, and the fixture that points the
// engine at it with the window sink capturing the log in LogText.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

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

// One record with expiry high/low halves and LF line ends, or `lineEnd`.
std::string Cookie(const std::string& name, int64_t high, int64_t low = 0,
                   const std::string& lineEnd = "\n");

// The time the fixture judges against: high half 7, low half 100.
constexpr FileTime kTestNow = {100, 7};
// Halves that are safely before and after kTestNow.
constexpr int64_t kPast = 6;
constexpr int64_t kFuture = 8;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TestFolder Folder;
};
