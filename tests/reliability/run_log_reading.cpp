#include "run_log_reading.h"

#include <cstdlib>
#include <string_view>

namespace {

struct LineCursor {
  std::vector<std::string> Lines;
  size_t At = 0;

  bool Done() const { return At == Lines.size(); }
  const std::string& Peek() const {
    static const std::string none;
    return Done() ? none : Lines[At];
  }
  bool Accept(std::string_view exact) {
    if (Done() || Lines[At] != exact) return false;
    ++At;
    return true;
  }
};

std::vector<std::string> SplitLines(const std::string& text, RunLogReport& report) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start != text.size()) report.Problems.push_back("the log does not end with CR LF");
  return lines;
}

bool TakePrefix(std::string_view& line, std::string_view prefix) {
  if (line.substr(0, prefix.size()) != prefix) return false;
  line.remove_prefix(prefix.size());
  return true;
}

// Plain decimal without leading zeros, as every count of the log is written.
bool TakeNumber(std::string_view& line, int& number) {
  size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits == 0 || digits > 9 || (digits > 1 && line[0] == '0')) return false;
  number = std::atoi(std::string(line.substr(0, digits)).c_str());
  line.remove_prefix(digits);
  return true;
}

// "<number><middle><number><end>", the shape of the summary's count lines.
bool ReadCounts(std::string_view line, std::string_view middle, std::string_view end, int& first,
                int& second) {
  return TakeNumber(line, first) && TakePrefix(line, middle) && TakeNumber(line, second) &&
         line == end;
}

bool ReadExpiredLine(std::string_view line, RunLogReport& report) {
  int number = 0;
  if (!TakeNumber(line, number) || !TakePrefix(line, ". File: ")) return false;
  size_t comma = line.rfind(", cookie: ");
  if (comma == std::string_view::npos) return false;
  if (number != ++report.ExpiredLines) report.Problems.push_back("expired cookies misnumbered");
  std::string name(line.substr(0, comma));
  report.Files[name].ExpiredCookies.emplace_back(line.substr(comma + 10));
  return true;
}

bool ReadErrorLine(std::string_view line, RunLogReport& report) {
  int code = 0;
  if (TakePrefix(line, "Error [")) {
    if (!TakeNumber(line, code)) return false;
    if (TakePrefix(line, "] reading folder: ")) {
      ++report.FolderErrors;
    } else if (TakePrefix(line, "] reading file: ")) {
      ++report.Files[std::string(line)].ReadErrors;
    } else {
      return false;
    }
  } else if (TakePrefix(line, "Error: File changed by another program: ")) {
    ++report.Files[std::string(line)].ChangedErrors;
  } else if (TakePrefix(line, "Error: Incorrect file format: ")) {
    ++report.Files[std::string(line)].FormatErrors;
  } else if (TakePrefix(line, "Error deleting: ")) {
    ++report.Files[std::string(line)].DeleteErrors;
  } else if (TakePrefix(line, "Error writing file: ")) {
    ++report.Files[std::string(line)].WriteErrors;
  } else if (TakePrefix(line, "Error replacing: ")) {
    ++report.Files[std::string(line)].ReplaceErrors;
  } else if (TakePrefix(line, "Error: File is read-only or in use: ")) {
    ++report.Files[std::string(line)].RefusedErrors;
  } else {
    return false;
  }
  return true;
}

// The lines between the folder line and the summary.
void ReadFileLines(LineCursor& log, RunLogReport& report) {
  bool headerSeen = false;
  while (!log.Done() && log.Peek() != "======") {
    const std::string& line = log.Lines[log.At++];
    if (line == "Cleaning expired cookies:" && !headerSeen && report.ExpiredLines == 0) {
      headerSeen = true;
    } else if (ReadExpiredLine(line, report)) {
      if (!headerSeen) report.Problems.push_back("expired cookie before the header: " + line);
    } else if (!ReadErrorLine(line, report)) {
      report.Problems.push_back("unexpected line: " + line);
    }
  }
}

void ReadExpiredSummary(LineCursor& log, Summary& numbers, RunLogReport& report) {
  if (log.Accept("No expired cookies found.")) return;
  bool read = !log.Done() && ReadCounts(log.Peek(), " files with ", " expired cookies found.",
                                        numbers.FilesWithExpired, numbers.ExpiredCookies);
  if (read) ++log.At;
  read = read && !log.Done() &&
         ReadCounts(log.Peek(), " files removed, ", " files optimized.", numbers.FilesRemoved,
                    numbers.FilesOptimized);
  if (!read) report.Problems.push_back("no expired-cookie summary");
  if (read) ++log.At;
}

void ReadOptionalCount(LineCursor& log, std::string_view prefix, int& count) {
  std::string_view line = log.Peek();
  if (TakePrefix(line, prefix) && TakeNumber(line, count) && line.empty()) ++log.At;
}

void ReadSummary(LineCursor& log, RunLogReport& report) {
  Summary& numbers = report.Numbers;
  if (!log.Accept("======") || log.Done() ||
      !ReadCounts(log.Lines[log.At++], " files found with ", " cookies.", numbers.FilesFound,
                  numbers.TotalCookies)) {
    report.Problems.push_back("no summary");
    return;
  }
  ReadExpiredSummary(log, numbers, report);
  ReadOptionalCount(log, "I/O Errors: ", numbers.IoErrors);
  ReadOptionalCount(log, "Incorrect files: ", numbers.IncorrectFiles);
  std::string_view last = log.Peek();
  if (!TakePrefix(last, "Working time: ") || last.size() < 5 ||
      last.substr(last.size() - 5) != " sec.") {
    report.Problems.push_back("no working time after the summary");
    return;
  }
  ++log.At;
}

void ReadStart(LineCursor& log, RunLogReport& report) {
  if (!log.Accept("Quillfen 1.03 started.")) report.Problems.push_back("no start line");
  log.Accept("Old version of shell32.dll detected");
  std::string_view windows = log.Peek();
  if (TakePrefix(windows, "Windows ") && windows.size() >= 10 &&
      windows.substr(windows.size() - 10) == " detected.") {
    ++log.At;
  } else {
    report.Problems.push_back("no Windows line");
  }
}

}  // namespace

RunLogReport ReadRunLog(const std::string& text) {
  RunLogReport report;
  LineCursor log{SplitLines(text, report)};
  ReadStart(log, report);
  if (log.Accept("Error: Cookies folder not found.")) {
    report.Aborted = log.Accept("Process aborted.");
  } else {
    std::string_view folder = log.Peek();
    if (TakePrefix(folder, "Cookies folder: "))
      ++log.At;
    else
      report.Problems.push_back("no folder line");
    ReadFileLines(log, report);
    ReadSummary(log, report);
  }
  if (!log.Done()) report.Problems.push_back("lines after the end of the run: " + log.Peek());
  return report;
}
