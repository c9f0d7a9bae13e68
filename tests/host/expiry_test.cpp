#include <gtest/gtest.h>

#include "cleaning/expiry.h"

namespace {

struct Conversion {
  const char* Text;
  uint32_t Half;
};

TEST(ParseTimeHalf, ConvertsEveryAcceptedForm) {
  const Conversion cases[] = {
      {"0", 0u},
      {"4294967295", 0xFFFFFFFFu},
      {"-1", 0xFFFFFFFFu},
      {"2147483648", 0x80000000u},
      {" 2147483648", 0x80000000u},
      {"\t \t30000000", 30000000u},
      {"+17", 17u},
      {"$FF", 255u},
      {"$ff", 255u},
      {"%101", 5u},
      {"&17", 15u},
      {"-$1", 0xFFFFFFFFu},
      {"4294967296", 0u},
      {"4294967301", 5u},
      {"000000000000000000000000000042", 42u},
      {"9223372036854775807", 0xFFFFFFFFu},
      {"-9223372036854775808", 0u},
      {"$FFFFFFFFFFFFFFFF", 0xFFFFFFFFu},
      {"$123456789", 0x23456789u},
      {"&1777777777777777777777", 0xFFFFFFFFu},
      {"&1000000000000000000001", 1u},
      {"%1111111111111111111111111111111111111111111111111111111111111111", 0xFFFFFFFFu},
  };
  for (const Conversion& c : cases) {
    uint32_t half = 12345;
    EXPECT_TRUE(ParseTimeHalf(c.Text, &half)) << c.Text;
    EXPECT_EQ(half, c.Half) << c.Text;
  }
}

TEST(ParseTimeHalf, RefusesEveryOtherForm) {
  const char* const texts[] = {"",
                               " ",
                               "\t",
                               "+",
                               "-",
                               "$",
                               "-$",
                               "+-1",
                               "--1",
                               "$$1",
                               "2147483648 ",
                               "1\r",
                               "12a",
                               "0x10",
                               "%102",
                               "&8",
                               "$G",
                               "1 2",
                               "\v1",
                               "\n1",
                               "9223372036854775808",
                               "-9223372036854775809",
                               "99999999999999999999",
                               "$10000000000000000",
                               "&2000000000000000000000",
                               "%10000000000000000000000000000000000000000000000000000000000000000",
                               "1.5"};
  for (const char* text : texts) {
    uint32_t half = 0;
    EXPECT_FALSE(ParseTimeHalf(text, &half)) << '"' << text << '"';
  }
  uint32_t half = 0;
  EXPECT_FALSE(ParseTimeHalf(std::string_view("1\0", 2), &half));
}

TEST(ParseTimeHalf, ConvertsLinesOfAnyLength) {
  std::string line(100000, ' ');
  line += "-00000000000000000000000000000000000000000000000000000000000000000000000000000007";
  uint32_t half = 0;
  ASSERT_TRUE(ParseTimeHalf(line, &half));
  EXPECT_EQ(half, 0xFFFFFFF9u);
}

CookieRecord WithExpiry(uint32_t high, uint32_t low) {
  CookieRecord record;
  record.Expiry = FileTimeValue(high, low);
  return record;
}

TEST(IsCookieExpired, ComparesHighSignedThenLowUnsigned) {
  const FileTime now = {100, 7};
  EXPECT_TRUE(IsCookieExpired(WithExpiry(7, 100), now));
  EXPECT_FALSE(IsCookieExpired(WithExpiry(7, 101), now));
  EXPECT_TRUE(IsCookieExpired(WithExpiry(6, 0xFFFFFFFFu), now));
  EXPECT_FALSE(IsCookieExpired(WithExpiry(8, 0), now));
  EXPECT_TRUE(IsCookieExpired(WithExpiry(0xFFFFFFFFu, 0xFFFFFFFFu), now));
  EXPECT_TRUE(IsCookieExpired(WithExpiry(0x80000000u, 0), now));
  EXPECT_FALSE(IsCookieExpired(WithExpiry(0x7FFFFFFFu, 0), now));
}

TEST(IsCookieExpired, JudgesTheLowHalfUnsignedAgainstANowWithTheTopBitSet) {
  const FileTime now = {0x80000000u, 30000000};
  EXPECT_TRUE(IsCookieExpired(WithExpiry(30000000, 0x7FFFFFFFu), now));
  EXPECT_TRUE(IsCookieExpired(WithExpiry(30000000, 0x80000000u), now));
  EXPECT_FALSE(IsCookieExpired(WithExpiry(30000000, 0x80000001u), now));
}

}  // namespace
