#include "engine_fixture.h"

void Win32EngineTest::SetUp() { ResetEngine(Folder.Path); }

void Win32EngineTest::TearDown() { ReleaseEngine(); }
