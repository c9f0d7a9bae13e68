// The promises a run keeps whatever fails: no unexpired cookie lost or
// changed, no expired cookie back in a rewritten file, every failure counted
// and reported, and nothing reported that did not happen.
#pragma once

#include <string>
#include <vector>

#include "recording_platform.h"
#include "run_log_reading.h"

// Checks the folder after one run over the fixture with `kind` injected at
// the call `faultKey` names; one text per broken promise.
std::vector<std::string> CheckRun(FaultKind kind, const std::string& faultKey,
                                  const std::string& folder, const RunLogReport& log);
