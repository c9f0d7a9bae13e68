// The fixture that points the engine, on the real Win32 calls, at a scratch
// folder, with the window sink capturing the log in LogText.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "scratch_folder.h"

// One record with expiry high/low halves and LF line ends, or `lineEnd`.
std::string Cookie(const std::string& name, int64_t high, int64_t low = 0,
                   const std::string& lineEnd = "\n");

// The time the fixture judges against: high half 7, low half 100.
constexpr FileTime kTestNow = {100, 7};
// Halves safely before and after kTestNow.
constexpr int64_t kPast = 6;
constexpr int64_t kFuture = 8;

void ExpectCounters(int total, int expired, int withExpired, int removed, int ioErrors,
                    int incorrect);

class Win32EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ScratchFolder Folder;
};
