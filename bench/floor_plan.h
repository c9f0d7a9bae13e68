// The answers the minimal Win32 cleaner is given instead of parsing: which
// files of a synthetic folder it deletes, and what it writes back to the
// others that change.
#pragma once

#include <string>

#include "synthetic_folder.h"

// Writes the plan of `folder` to `path`: the files that change, sorted by
// name, each as "D name\n" (delete) or "R name size\n" and its size in kept
// bytes (rewrite).
void WriteFloorPlan(const std::string& path, const SyntheticFolder& folder);
