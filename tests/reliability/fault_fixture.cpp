#include "fault_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_writer.h"

namespace {

constexpr uint32_t kPastHigh = 0x01D00000;
constexpr uint32_t kFutureHigh = 0x01F00000;

struct Cookie {
  std::string Lines[9];
  bool Expired;
};

Cookie MakeCookie(const std::string& name, bool expired, size_t valueLength = 12) {
  std::string value(valueLength, 'v');
  uint32_t high = expired ? kPastHigh : kFutureHigh;
  return Cookie{{name, value, "example.test/" + name, "1536", "1234567", std::to_string(high),
                 "2715813632", "30000000", "*"},
                expired};
}

std::string Join(const std::vector<Cookie>& cookies, const std::string& lineEnd, bool keptOnly) {
  std::string text;
  for (const Cookie& cookie : cookies) {
    if (keptOnly && cookie.Expired) continue;
    for (const std::string& line : cookie.Lines) text += line + lineEnd;
  }
  return text;
}

FixtureFile Plain(const std::string& path, Fate fate, const std::string& bytes) {
  FixtureFile file;
  file.Path = path;
  file.Name = path.substr(path.find_last_of('/') + 1);
  file.InLowFolder = path.rfind("Low/", 0) == 0;
  file.Outcome = fate;
  file.Bytes = bytes;
  return file;
}

FixtureFile FromCookies(const std::string& path, const std::vector<Cookie>& cookies,
                        const std::string& lineEnd = "\n", const std::string& tail = "") {
  FixtureFile file = Plain(path, Fate::Untouched, Join(cookies, lineEnd, false) + tail);
  file.Records = static_cast<int>(cookies.size());
  for (const Cookie& cookie : cookies) {
    if (cookie.Expired) file.ExpiredNames.push_back(cookie.Lines[0]);
  }
  if (file.ExpiredNames.size() == cookies.size()) {
    file.Outcome = Fate::Deleted;
  } else if (!file.ExpiredNames.empty()) {
    file.Outcome = Fate::Rewritten;
    file.Cleaned = Join(cookies, "\n", true);
  }
  return file;
}

// Cookies read before bytes that make the file incorrect: by default a record
// whose low expiry half is empty.
FixtureFile BrokenAfter(const std::string& path, const std::vector<Cookie>& cookies,
                        const std::string& tail = "broken\nv\nh\n1\n\n7\n1\n2\n*\n") {
  FixtureFile file = FromCookies(path, cookies, "\n", tail);
  file.Outcome = Fate::Incorrect;
  file.Cleaned.clear();
  return file;
}

// Cookies under a name the search does not match, which must stay as they are.
FixtureFile Unmatched(const std::string& path, const std::vector<Cookie>& cookies) {
  FixtureFile file = FromCookies(path, cookies);
  file.Outcome = Fate::Unmatched;
  file.Cleaned.clear();
  file.ExpiredNames.clear();
  return file;
}

// Larger than the engine's 64 KiB blocks, so that reading and writing it
// take several platform calls each.
std::vector<Cookie> ManyCookies() {
  std::vector<Cookie> cookies;
  for (int i = 0; i < 400; ++i) {
    cookies.push_back(MakeCookie("big" + std::to_string(i), i % 3 == 1, 300));
  }
  return cookies;
}

// The first 64 KiB block ends just after a whole record, where the file could
// also have ended: a read failing there must not pass for the end.
std::vector<Cookie> CookiesFillingOneBlock(bool firstExpired) {
  std::vector<Cookie> cookies = {MakeCookie("edge0", firstExpired), MakeCookie("edge1", false)};
  size_t missing = kFileBufferSize - Join(cookies, "\n", false).size();
  cookies[1] = MakeCookie("edge1", false, 12 + missing);
  cookies.push_back(MakeCookie("edge2", false));
  return cookies;
}

std::vector<FixtureFile> BuildFixture() {
  return {
      FromCookies("keep_lf.txt",
                  {MakeCookie("k1", false), MakeCookie("k2", false), MakeCookie("k3", false)}),
      FromCookies("keep_crlf.txt", {MakeCookie("k4", false), MakeCookie("k5", false)}, "\r\n"),
      FromCookies("gone_two.txt", {MakeCookie("g1", true), MakeCookie("g2", true)}),
      FromCookies("gone_one.txt", {MakeCookie("g3", true)}, "\r\n"),
      FromCookies("part_mid.txt",
                  {MakeCookie("p1", false), MakeCookie("p2", true), MakeCookie("p3", false)}),
      FromCookies("part_cr.txt", {MakeCookie("p4", true), MakeCookie("p5", false)}, "\r",
                  "\x1a\x1a"),
      BrokenAfter("part_then_data.txt", {MakeCookie("p6", true), MakeCookie("p7", false)},
                  "\x1a after the end"),
      FromCookies("part_big.txt", ManyCookies()),
      FromCookies("part_edge.txt", CookiesFillingOneBlock(true)),
      FromCookies("keep_edge.txt", CookiesFillingOneBlock(false)),
      FromCookies("gone_padded.txt", {MakeCookie("g4", true)}, "\n",
                  std::string(kFileBufferSize, '\x1a')),
      BrokenAfter("bad_after_expired.txt", {MakeCookie("b1", true), MakeCookie("b2", false)}),
      Plain("bad_garbage.txt", Fate::Incorrect, "this is not a cookie file at all\n"),
      Plain("tiny.txt", Fate::Small, "eighteen bytes...."),
      Plain("empty.txt", Fate::Small, ""),
      Plain("folder.txt", Fate::Folder, ""),
      Unmatched("notes.dat", {MakeCookie("n1", true), MakeCookie("n2", false)}),
      FromCookies("Low/low_keep.txt", {MakeCookie("l1", false)}),
      FromCookies("Low/low_gone.txt", {MakeCookie("l2", true), MakeCookie("l3", true)}),
      FromCookies("Low/low_part.txt", {MakeCookie("l4", false), MakeCookie("l5", true)}, "\r\n"),
      BrokenAfter("Low/low_bad.txt", {MakeCookie("l6", false)}),
  };
}

}  // namespace

const std::vector<FixtureFile>& FixtureFiles() {
  static const std::vector<FixtureFile> files = BuildFixture();
  return files;
}

namespace {

bool HoldsBytes(const std::string& path, const std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str() == bytes;
}

bool IsFixturePath(const std::string& relative) {
  if (relative == "Low") return true;
  for (const FixtureFile& file : FixtureFiles()) {
    if (file.Path == relative) return true;
  }
  return false;
}

}  // namespace

// Rewrites only what a run changed: making and removing files is what costs.
void WriteFixture(const std::string& folder) {
  namespace fs = std::filesystem;
  fs::create_directories(folder + "/Low");
  std::vector<fs::path> strangers;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!IsFixturePath(entry.path().lexically_relative(folder).generic_string())) {
      strangers.push_back(entry.path());
    }
  }
  for (const fs::path& path : strangers) fs::remove_all(path);
  for (const FixtureFile& file : FixtureFiles()) {
    std::string path = folder + "/" + file.Path;
    if (file.Outcome == Fate::Folder) {
      fs::create_directories(path);
    } else if (!HoldsBytes(path, file.Bytes)) {
      std::ofstream(path, std::ios::binary | std::ios::trunc) << file.Bytes;
    }
  }
}

int FixtureEntriesFound(bool withLowFolder) {
  int found = 0;
  for (const FixtureFile& file : FixtureFiles()) {
    if (file.Outcome != Fate::Unmatched && (withLowFolder || !file.InLowFolder)) ++found;
  }
  return found;
}
