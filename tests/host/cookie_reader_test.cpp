#include <gtest/gtest.h>

#include <vector>

#include "cleaning/cookie_reader.h"
#include "cleaning/cookie_writer.h"
#include "platform/file_writer.h"
#include "test_folder.h"

namespace {

struct ReadResult {
  std::vector<CookieRecord> Records;
  ReadOutcome Last = ReadOutcome::Record;
};

class CookieReaderTest : public EngineTest {
 protected:
  ReadResult ReadBytes(const std::string& bytes) {
    Folder.Write("c.txt", bytes);
    CookieReader reader;
    EXPECT_EQ(reader.Open((Folder.Path + "c.txt").c_str()), 0u);
    ReadResult result;
    for (;;) {
      CookieRecord record;
      result.Last = reader.ReadRecord(record);
      if (result.Last != ReadOutcome::Record) break;
      result.Records.push_back(record);
      if (reader.AtEnd()) break;
    }
    reader.Close();
    return result;
  }

  static std::vector<std::string> Lines(const CookieRecord& record) {
    return std::vector<std::string>(std::begin(record.Lines), std::end(record.Lines));
  }
};

TEST_F(CookieReaderTest, ReadsTheSameRecordsWhateverTheLineEnds) {
  std::string lf = Cookie("a", kPast) + Cookie("b", kFuture, 9);
  ReadResult expected = ReadBytes(lf);
  ASSERT_EQ(expected.Records.size(), 2u);
  EXPECT_EQ(expected.Records[1].Lines[ExpiryLow], "9");
  for (const char* end : {"\r\n", "\r"}) {
    ReadResult other = ReadBytes(Cookie("a", kPast, 0, end) + Cookie("b", kFuture, 9, end));
    ASSERT_EQ(other.Records.size(), 2u) << "line end " << int(end[1]);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(Lines(other.Records[i]), Lines(expected.Records[i]));
  }
}

TEST_F(CookieReaderTest, SetsTheExpiryFromLinesFiveAndSix) {
  ReadResult result = ReadBytes(Cookie("a", 30000000, 2715813632));
  ASSERT_EQ(result.Records.size(), 1u);
  EXPECT_EQ(result.Records[0].Expiry, (int64_t{30000000} << 32) + 2715813632);
  EXPECT_FALSE(result.Records[0].Expired);
}

TEST_F(CookieReaderTest, TakesLfCrAsTwoLineEnds) {
  // The LF CR after line 1 closes an empty second line, shifting the record.
  ReadResult result = ReadBytes("n\n\rv\nh\n1\n5\n6\n7\n*\n");
  ASSERT_EQ(result.Records.size(), 1u);
  EXPECT_EQ(Lines(result.Records[0]),
            (std::vector<std::string>{"n", "", "v", "h", "1", "5", "6", "7", "*"}));
}

// A record that lost or gained a line would put flags and creation times
// where the expiry is read; its ninth line shows it.
TEST_F(CookieReaderTest, RefusesARecordWhoseNinthLineInTheDataIsNoAsterisk) {
  const std::string whole = Cookie("a", kFuture);
  const std::string lostLine = whole.substr(0, whole.rfind("30000000\n")) + "*\n";
  const struct {
    std::string Bytes;
    ReadOutcome Last;
    size_t Records;
  } cases[] = {
      {whole + lostLine + whole + whole, ReadOutcome::FormatError, 1},
      {whole + whole.substr(0, whole.size() - 2) + "\n", ReadOutcome::FormatError, 1},
      {whole + "n\nv\nh\n1\n5\n6\n7\n8\n* and more\r\n", ReadOutcome::Record, 2},
      {whole + "n\nv\nh\n1\n5\n6\n7\n8", ReadOutcome::Record, 2},
      {whole + "n\nv\nh\n1\n5\n6\n", ReadOutcome::Record, 2},
  };
  for (const auto& c : cases) {
    ReadResult result = ReadBytes(c.Bytes);
    EXPECT_EQ(result.Last, c.Last) << c.Bytes;
    ASSERT_EQ(result.Records.size(), c.Records) << c.Bytes;
  }
  EXPECT_EQ(ReadBytes(cases[2].Bytes).Records[1].Lines[Terminator], "* and more");
}

TEST_F(CookieReaderTest, EndsAtCtrlZAfterARecordOnly) {
  std::string first = Cookie("a", kPast);
  ReadResult result = ReadBytes(first +
                                "\x1a"
                                "garbage that is no record");
  EXPECT_EQ(result.Last, ReadOutcome::Record);
  EXPECT_EQ(result.Records.size(), 1u);

  // Inside a line, or at the start of a line other than a record's first, it
  // is an ordinary byte.
  result = ReadBytes(Cookie("x\x1ay", kPast) + "b\n\x1a\nh\n1\n5\n6\n7\n8\n*\n");
  ASSERT_EQ(result.Records.size(), 2u);
  EXPECT_EQ(result.Records[0].Lines[Name], "x\x1ay");
  EXPECT_EQ(result.Records[1].Lines[Value], "\x1a");
}

TEST_F(CookieReaderTest, TakesAnExtraEmptyLineForARecordWithoutExpiry) {
  ReadResult result = ReadBytes(Cookie("a", kFuture) + "\n");
  EXPECT_EQ(result.Records.size(), 1u);
  EXPECT_EQ(result.Last, ReadOutcome::FormatError);
}

TEST_F(CookieReaderTest, ReadsTheLastLineWithoutLineEnd) {
  std::string two = Cookie("a", kPast) + Cookie("b", kFuture);
  two.pop_back();
  ReadResult result = ReadBytes(two);
  EXPECT_EQ(result.Last, ReadOutcome::Record);
  ASSERT_EQ(result.Records.size(), 2u);
  EXPECT_EQ(result.Records[1].Lines[Terminator], "*");
}

TEST_F(CookieReaderTest, CompletesARecordCutAfterItsSixthLine) {
  ReadResult result = ReadBytes("a\nv\nh\n1\n100\n7");
  ASSERT_EQ(result.Records.size(), 1u);
  EXPECT_EQ(result.Records[0].Lines[CreationLow], "");
  EXPECT_EQ(result.Records[0].Lines[Terminator], "");

  EXPECT_EQ(ReadBytes("a\nv\nh\n1\n100\n").Last, ReadOutcome::FormatError);
  EXPECT_EQ(ReadBytes("").Last, ReadOutcome::FormatError);
}

TEST_F(CookieReaderTest, KeepsZeroBytesAndLongLinesAcrossBlocks) {
  std::string longValue(200000, 'v');
  longValue[65535] = '\0';
  // A CR LF split between two blocks still ends one line only.
  std::string name(65535, 'n');
  std::string bytes = name + "\r\n" + longValue + "\nh\n1\n100\n7\n7\n8\n*\r\n";
  ReadResult result = ReadBytes(bytes);
  ASSERT_EQ(result.Records.size(), 1u);
  EXPECT_EQ(result.Records[0].Lines[Name], name);
  EXPECT_EQ(result.Records[0].Lines[Value], longValue);
  EXPECT_EQ(result.Last, ReadOutcome::Record);
}

TEST_F(CookieReaderTest, ReadsMoreThanThreeHundredRecords) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += Cookie("c" + std::to_string(i), kFuture);
  ReadResult result = ReadBytes(bytes);
  ASSERT_EQ(result.Records.size(), 1000u);
  EXPECT_EQ(result.Records[999].Lines[Name], "c999");
}

TEST_F(CookieReaderTest, WriterWritesNineLinesWithSingleLineFeeds) {
  ReadResult result = ReadBytes(Cookie("a", kFuture, 3, "\r\n"));
  ASSERT_EQ(result.Records.size(), 1u);
  CookieWriter writer;
  ASSERT_EQ(writer.Create((Folder.Path + "out.txt").c_str()), 0u);
  writer.WriteRecord(result.Records[0]);
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(Folder.Read("out.txt"), Cookie("a", kFuture, 3));
}

int WritesBeforeFailure = 0;
bool FailOneWrite(FileHandle file, const char* data, uint32_t size) {
  if (WritesBeforeFailure-- == 0) return false;
  return NativePlatform.WriteBlock(file, data, size);
}

// The close itself succeeds; the failed write went out either with a block too
// large to buffer or with the buffer when closing.
TEST_F(CookieReaderTest, WriterCloseReportsAFailedWrite) {
  Platform.WriteBlock = FailOneWrite;
  for (int failing : {0, 1}) {
    WritesBeforeFailure = failing;
    FileWriter writer;
    ASSERT_EQ(writer.Create((Folder.Path + "out.txt").c_str()), 0u);
    writer.Write(std::string(kFileBufferSize, 'x'));
    writer.Write("tail");
    EXPECT_FALSE(writer.Close()) << "failing write " << failing;
  }
}

int Reads = 0;
uint32_t CountedRead(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd) {
  ++Reads;
  return NativePlatform.ReadBlock(file, buffer, size, got, atEnd);
}

// Three bytes at a time, never calling a block the last: only the empty
// block at the end tells.
uint32_t ReadInSmallBlocks(FileHandle file, char* buffer, uint32_t, uint32_t* got, bool* atEnd) {
  ++Reads;
  uint32_t error = NativePlatform.ReadBlock(file, buffer, 3, got, atEnd);
  *atEnd = false;
  return error;
}

TEST_F(CookieReaderTest, ReadsASmallFileWithOneReadAndAShortBlockOnlyWhereItEnds) {
  std::string bytes = Cookie("a", kPast, 0, "\r\n") + Cookie("b", kFuture, 0, "\r\n");
  Platform.ReadBlock = CountedRead;
  Reads = 0;
  EXPECT_EQ(ReadBytes(bytes).Records.size(), 2u);
  EXPECT_EQ(Reads, 1);

  Platform.ReadBlock = ReadInSmallBlocks;
  Reads = 0;
  ReadResult result = ReadBytes(bytes);
  ASSERT_EQ(result.Records.size(), 2u);
  EXPECT_EQ(result.Records[1].Lines[Terminator], "*");
  EXPECT_EQ(Reads, static_cast<int>((bytes.size() + 2) / 3 + 1));
}

TEST_F(CookieReaderTest, ReportsOpenFailuresByWindowsCode) {
  CookieReader reader;
  EXPECT_EQ(reader.Open((Folder.Path + "missing.txt").c_str()), 2u);
  EXPECT_EQ(reader.Open((Folder.Path + "no-folder\\c.txt").c_str()), 3u);
}

TEST(ReportedOpenError, MovesSharingAndLowDeviceErrors) {
  EXPECT_EQ(ReportedOpenError(2), 2u);
  EXPECT_EQ(ReportedOpenError(5), 5u);
  EXPECT_EQ(ReportedOpenError(32), 5u);
  EXPECT_EQ(ReportedOpenError(18), 18u);
  EXPECT_EQ(ReportedOpenError(19), 150u);
  EXPECT_EQ(ReportedOpenError(31), 162u);
  EXPECT_EQ(ReportedOpenError(33), 33u);
}

}  // namespace
