#include <gtest/gtest.h>

#include "shell/command_line.h"

namespace {

using Words = std::vector<std::string>;

TEST(SplitArguments, SeparatesAtBlanksAndControlCharacters) {
  EXPECT_EQ(SplitArguments(""), Words{});
  EXPECT_EQ(SplitArguments("  \t "), Words{});
  EXPECT_EQ(SplitArguments("a  log.txt\x01x\x1fy"), (Words{"a", "log.txt", "x", "y"}));
  EXPECT_EQ(SplitArguments(std::string_view("a\0b", 3)), Words{"a"});
  EXPECT_EQ(SplitArguments("\xe9t\xe9"), Words{"\xe9t\xe9"});
}

TEST(SplitArguments, GroupsWithEitherQuoteAndDropsThem) {
  EXPECT_EQ(SplitArguments("a \"my log.txt\""), (Words{"a", "my log.txt"}));
  EXPECT_EQ(SplitArguments("a 'my log.txt'"), (Words{"a", "my log.txt"}));
  EXPECT_EQ(SplitArguments("'it\"s' \"it's\""), (Words{"it\"s", "it's"}));
  EXPECT_EQ(SplitArguments("x\"a b\"y"), Words{"xa by"});
  EXPECT_EQ(SplitArguments("\"unclosed  rest"), Words{"unclosed  rest"});
}

TEST(SplitArguments, GivesNothingForADoubledQuote) {
  EXPECT_EQ(SplitArguments("a \"\""), (Words{"a", ""}));
  EXPECT_EQ(SplitArguments("''"), Words{""});
  EXPECT_EQ(SplitArguments("ab\"\"cd"), Words{"abcd"});
  EXPECT_EQ(SplitArguments("'a\"\"b'"), Words{"a\"\"b"});
}

TEST(SkipProgramName, FollowsTheSystemRuleForTheProgramName) {
  EXPECT_EQ(SkipProgramName("Quillfen.exe a x"), " a x");
  EXPECT_EQ(SkipProgramName("\"C:\\Program Files\\Q's\\Quillfen.exe\" a"), " a");
  EXPECT_EQ(SkipProgramName("C:\\Bob's\\Quillfen.exe\ta"), "\ta");
  EXPECT_EQ(SkipProgramName("\"unclosed a"), "");
  EXPECT_EQ(SkipProgramName(""), "");
}

}  // namespace
