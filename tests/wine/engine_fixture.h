// The fixture that points the engine, on the real Win32 calls, at a scratch
// folder, with the window sink capturing the log in LogText. The Win32
// layer's seams start and end as the program has them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine_test_support.h"
#include "scratch_folder.h"

class Win32EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ScratchFolder Folder;
};
