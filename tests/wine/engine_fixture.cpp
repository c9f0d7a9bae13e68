#include "engine_fixture.h"

#include "platform/win32/win32_seams.h"

void Win32EngineTest::SetUp() {
  ResetEngine(Folder.Path);
  Seams = SystemSeams;
}

void Win32EngineTest::TearDown() {
  ReleaseEngine();
  Seams = SystemSeams;
}
