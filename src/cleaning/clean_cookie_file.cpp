#include "cleaning/clean_cookie_file.h"

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "cleaning/cleaning_state.h"
#include "cleaning/cookie_reader.h"
#include "cleaning/cookie_writer.h"
#include "cleaning/expiry.h"
#include "log/run_log.h"

namespace {

// The records of the file being cleaned. Kept from file to file so that their
// lines reuse their storage; given back after an unusually large file.
std::vector<CookieRecord> RecordTable;
constexpr size_t kRecordsKeptBetweenFiles = 1024;

struct FileContents {
  size_t Records = 0;
  size_t Expired = 0;
};

void LogWithName(const char* message, std::string_view name) { LogLine({message, name}); }

// The cookie's name may be of any length: it goes to the log as it is, with
// no copy that could fail for want of memory.
void LogExpiredCookie(std::string_view name, const CookieRecord& record) {
  if (++Counters.ExpiredCookies == 1) LogLine("Cleaning expired cookies:");
  LogLine({std::to_string(Counters.ExpiredCookies), ". File: ", name,
           ", cookie: ", record.Lines[Name]});
}

CookieRecord& NextRecord(size_t index) {
  if (index == RecordTable.size()) RecordTable.emplace_back();
  return RecordTable[index];
}

// Closes a file that cannot be read to its end, and reports why.
bool GiveUp(CookieReader& reader, ReadOutcome outcome, std::string_view name) {
  reader.Close();
  if (outcome == ReadOutcome::ReadError) {
    ReportUnreadFile(ReportedOpenError(reader.ReadErrorNumber()), name);
  } else {
    LogWithName("Error: Incorrect file format: ", name);
    ++Counters.IncorrectFiles;
  }
  return false;
}

// Reads every record, judging and logging each. False when the file was given
// up (its failure already logged and counted).
bool ReadRecords(CookieReader& reader, const std::string& path, std::string_view name,
                 FileContents& contents) {
  uint32_t code = reader.Open(path.c_str());
  if (code != 0) {
    ReportUnreadFile(code, name);
    return false;
  }
  for (;;) {
    CookieRecord& record = NextRecord(contents.Records);
    ReadOutcome outcome = reader.ReadRecord(record);
    if (outcome != ReadOutcome::Record) return GiveUp(reader, outcome, name);
    ++contents.Records;
    ++Counters.TotalCookies;
    if (IsCookieExpired(record, NowFileTime)) {
      record.Expired = true;
      ++contents.Expired;
      LogExpiredCookie(name, record);
    }
    if (reader.AtEnd()) break;
  }
  // Bytes other than Ctrl-Z after the Ctrl-Z that ended the records are data
  // this program does not understand, which a deletion or a rewrite would
  // destroy. Only a file that keeps every cookie is never written.
  ReadOutcome tail = contents.Expired == 0 ? ReadOutcome::Record : reader.ReadTail();
  if (tail != ReadOutcome::Record) return GiveUp(reader, tail, name);
  reader.Close();
  return true;
}

// A file too large for the memory left (a line or a record table of more
// than the process can hold) is given up like a file that cannot be read;
// its records are let go so that the run can go on with the next file.
bool ReadCookieFile(const std::string& path, std::string_view name, FileContents& contents) {
  CookieReader reader;
  try {
    return ReadRecords(reader, path, name, contents);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  reader.Close();
  std::vector<CookieRecord>().swap(RecordTable);
  ReportUnreadFile(kErrorNotEnoughMemory, name);
  return false;
}

// Another program may have written the file since it was listed, and so
// after it was read. A file that no longer bears the listed stamp is left as
// that program made it: deleting or replacing it would undo its change.
bool IsAsListed(const std::string& path, const FileStamp& listed) {
  FileStamp now;
  return Platform.QueryStamp(path.c_str(), &now) == 0 && now == listed;
}

void ReportChangedFile(std::string_view name) {
  ++Counters.IoErrors;
  LogWithName("Error: File changed by another program: ", name);
}

void DeleteExpiredFile(const std::string& path, std::string_view name, const FileStamp& listed) {
  ++Counters.FilesRemoved;
  if (!IsAsListed(path, listed)) {
    ReportChangedFile(name);
  } else if (!Platform.RemoveFile(path.c_str())) {
    ++Counters.IoErrors;
    LogWithName("Error deleting: ", name);
  }
}

// The working copy is always a new file. A file of that name is a leftover of
// an earlier run, or a link that would lead the kept cookies into some other
// file: only its name is removed, never what it may lead to.
uint32_t CreateWorkingCopy(CookieWriter& writer, const std::string& copyPath) {
  uint32_t code = writer.Create(copyPath.c_str());
  if (code != kErrorFileExists || !Platform.RemoveFile(copyPath.c_str())) return code;
  return writer.Create(copyPath.c_str());
}

// The working copy holds the kept cookies complete before the file is touched.
bool WriteWorkingCopy(const std::string& copyPath, size_t records) {
  CookieWriter writer;
  if (CreateWorkingCopy(writer, copyPath) != 0) return false;
  for (size_t i = 0; i < records; ++i) {
    if (!RecordTable[i].Expired) writer.WriteRecord(RecordTable[i]);
  }
  if (writer.Close()) return true;
  Platform.RemoveFile(copyPath.c_str());
  return false;
}

// The system refused to replace the file, which still stands as it was: the
// working copy is only a spare. The line tells which file kept its expired
// cookies, and why.
void DiscardWorkingCopy(const std::string& copyPath, std::string_view name) {
  Platform.RemoveFile(copyPath.c_str());
  ++Counters.IoErrors;
  LogWithName("Error: File is read-only or in use: ", name);
}

// The kept cookies now live only in the working copy, which must stay.
void ReportStrandedCopy(std::string_view name) {
  ++Counters.IoErrors;
  LogWithName("Error replacing: ", name);
}

// Where the platform cannot replace in one step, the file is deleted first and
// the working copy renamed after it.
void ReplaceByDeleteAndRename(const std::string& copyPath, const std::string& path,
                              std::string_view name) {
  if (!Platform.RemoveFile(path.c_str())) {
    DiscardWorkingCopy(copyPath, name);
  } else if (!Platform.RenameFile(copyPath.c_str(), path.c_str())) {
    ReportStrandedCopy(name);
  }
}

void ReplaceWithKeptCookies(const std::string& path, std::string_view name, size_t records,
                            const FileStamp& listed) {
  const std::string copyPath = path + ".bak";
  if (!WriteWorkingCopy(copyPath, records)) {
    ++Counters.IoErrors;
    LogWithName("Error writing file: ", name);
    return;
  }
  // Checked after the copy is written, so that as little time as possible
  // lies between the check and the replacement.
  if (!IsAsListed(path, listed)) {
    Platform.RemoveFile(copyPath.c_str());
    ReportChangedFile(name);
    return;
  }
  uint32_t error = Platform.MoveOver(copyPath.c_str(), path.c_str());
  if (error == 0) return;
  if (error == kErrorCallNotImplemented) {
    ReplaceByDeleteAndRename(copyPath, path, name);
  } else if (error == kErrorAccessDenied || error == kErrorSharingViolation) {
    // A read-only file, or one another program holds open, stays as it was.
    DiscardWorkingCopy(copyPath, name);
  } else {
    ReportStrandedCopy(name);
  }
}

}  // namespace

void ReportUnreadFile(uint32_t code, std::string_view name) {
  LogLine({"Error [", std::to_string(code), "] reading file: ", name});
  ++Counters.IoErrors;
}

void CleanCookieFile(std::string_view name, const FileStamp& listed) {
  std::string path = CookieFolder;
  path.append(name);
  FileContents contents;
  bool complete = ReadCookieFile(path, name, contents);
  if (complete && contents.Expired != 0) {
    ++Counters.FilesWithExpired;
    if (contents.Expired == contents.Records) {
      DeleteExpiredFile(path, name, listed);
    } else {
      ReplaceWithKeptCookies(path, name, contents.Records, listed);
    }
  }
  if (RecordTable.size() > kRecordsKeptBetweenFiles) std::vector<CookieRecord>().swap(RecordTable);
}
