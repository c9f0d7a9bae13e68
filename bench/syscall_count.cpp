#include "syscall_count.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "batch_run.h"
#include "folder_files.h"

namespace {

// A row of strace's summary: "% time, seconds, usecs/call, calls, [errors,]
// syscall". Header, rules and the total have no number of calls in place.
bool ParseRow(const std::string& row, std::string& name, long& calls) {
  std::istringstream words(row);
  std::vector<std::string> fields;
  for (std::string word; words >> word;) fields.push_back(word);
  if (fields.size() < 5 || fields.back() == "total") return false;
  if (fields[3].find_first_not_of("0123456789") != std::string::npos) return false;
  name = fields.back();
  calls = std::stol(fields[3]);
  return true;
}

}  // namespace

std::map<std::string, long> CountSyscalls(const std::string& hostExe, const std::string& folder,
                                          const std::string& scratch) {
  const std::string summary = scratch + ".strace";
  RunChild({"strace", "-f", "-c", "-o", summary, "--", hostExe, "a", scratch + ".log"}, folder);
  std::ifstream rows(summary);
  if (!rows) Fail("no strace summary in " + summary);
  std::map<std::string, long> counts;
  std::string name;
  long calls = 0;
  for (std::string row; std::getline(rows, row);) {
    if (ParseRow(row, name, calls)) counts[name] += calls;
  }
  return counts;
}
