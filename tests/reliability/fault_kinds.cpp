#include "recording_platform.h"

const char* KindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::None: return "none";
    case FaultKind::OpenRefused: return "open refused";
    case FaultKind::OpenVanished: return "file vanished before the open";
    case FaultKind::CreateRefused: return "create refused";
    case FaultKind::DiskFull: return "create on a full disk";
    case FaultKind::NameTaken: return "create: the name is taken";
    case FaultKind::ReadError: return "read error";
    case FaultKind::ShortRead: return "short read";
    case FaultKind::ShortWrite: return "short write";
    case FaultKind::CloseFails: return "close fails";
    case FaultKind::DeleteRefused: return "delete refused";
    case FaultKind::RenameRefused: return "rename refused";
    case FaultKind::ReplaceDenied: return "replace: access denied";
    case FaultKind::ReplaceShared: return "replace: sharing violation";
    case FaultKind::ReplaceOther: return "replace: another error";
    case FaultKind::ReplaceNotImplemented: return "replace: not implemented";
    case FaultKind::SearchFails: return "search cannot start";
    case FaultKind::SearchEndsEarly: return "search breaks off";
    case FaultKind::StampChanged: return "file changed since the listing";
    case FaultKind::StampUnknown: return "stamp query fails";
    case FaultKind::VersionFails: return "version query fails";
    case FaultKind::ShellNoLibrary: return "no shell library";
    case FaultKind::ShellNoEntry: return "shell lacks the query";
    case FaultKind::ShellFails: return "shell query fails";
    case FaultKind::ExpandFails: return "expansion fails";
    case FaultKind::ExpandTooLong: return "expansion too long";
  }
  return "?";
}

std::vector<FaultKind> FaultKindsOf(const Call& call, const Environment& environment) {
  switch (call.Which) {
    case Entry::OpenExisting: return {FaultKind::OpenRefused, FaultKind::OpenVanished};
    case Entry::CreateEmpty: return {FaultKind::CreateRefused, FaultKind::DiskFull};
    case Entry::CreateNew:
      return {FaultKind::CreateRefused, FaultKind::DiskFull, FaultKind::NameTaken};
    case Entry::ReadBlock: return {FaultKind::ReadError, FaultKind::ShortRead};
    case Entry::WriteBlock: return {FaultKind::ShortWrite};
    case Entry::CloseFile: return {FaultKind::CloseFails};
    case Entry::RemoveFile: return {FaultKind::DeleteRefused};
    case Entry::RenameFile: return {FaultKind::RenameRefused};
    case Entry::MoveOver:
      if (!environment.ReplaceInOneStep) return {};
      return {FaultKind::ReplaceDenied, FaultKind::ReplaceShared, FaultKind::ReplaceOther,
              FaultKind::ReplaceNotImplemented};
    case Entry::FindFirst: return {FaultKind::SearchFails};
    case Entry::FindNext: return {FaultKind::SearchEndsEarly};
    case Entry::QueryStamp: return {FaultKind::StampChanged, FaultKind::StampUnknown};
    case Entry::QueryVersion: return {FaultKind::VersionFails};
    case Entry::QueryCookieFolder:
      if (!environment.ShellHasFolder) return {FaultKind::ShellNoLibrary, FaultKind::ShellNoEntry};
      return {FaultKind::ShellNoLibrary, FaultKind::ShellNoEntry, FaultKind::ShellFails};
    case Entry::ExpandEnvironment: return {FaultKind::ExpandFails, FaultKind::ExpandTooLong};
    case Entry::FindEnd:
    case Entry::TickCount:
    case Entry::NowAsFileTime: return {};
  }
  return {};
}
