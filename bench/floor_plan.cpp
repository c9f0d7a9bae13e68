#include "floor_plan.h"

#include <algorithm>
#include <vector>

#include "folder_files.h"

void WriteFloorPlan(const std::string& path, const SyntheticFolder& folder) {
  std::vector<const PlannedFile*> changes;
  for (const PlannedFile& file : folder.Files) {
    if (file.Kind == FileKind::AllExpired || file.Kind == FileKind::PartlyExpired) {
      changes.push_back(&file);
    }
  }
  std::sort(changes.begin(), changes.end(),
            [](const PlannedFile* a, const PlannedFile* b) { return a->Name < b->Name; });
  std::string plan;
  for (const PlannedFile* file : changes) {
    if (file->Kind == FileKind::AllExpired) {
      plan += "D " + file->Name + "\n";
    } else {
      plan += "R " + file->Name + " " + std::to_string(file->Kept.size()) + "\n" + file->Kept;
    }
  }
  WriteWholeFile(path, plan);
}
