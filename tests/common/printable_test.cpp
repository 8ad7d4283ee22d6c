#include <gtest/gtest.h>

#include <string>

#include "common/printable.h"

using namespace clustering;

TEST(QuotedText, UnprintableBytesAreEscapedAndLongTextIsCutAtACharacter) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::string quoted;
  };
  const std::string sixty(60, 'a');
  const Case cases[] = {
      {"g1", 60, "\"g1\""},
      {"\x1b[2J\x07\x7f", 60, "\"\\x1b[2J\\x07\\x7f\""},
      {"M\xc3\xbcller \xf0\x9f\x98\x80", 60, "\"M\xc3\xbcller \xf0\x9f\x98\x80\""},  // UTF-8 shows as it is
      {"\xc2\x9b" "1m", 60, "\"\\xc2\\x9b1m\""},                                     // a C1 control
      {"\xff\xc0\xaf\xed\xa0\x80", 60, "\"\\xff\\xc0\\xaf\\xed\\xa0\\x80\""},        // no UTF-8 characters
      {"ab\xe2\x82", 60, "\"ab\\xe2\\x82\""},                                         // cut short in the file
      {sixty, 60, "\"" + sixty + "\""},
      {sixty + "b", 60, "\"" + sixty + "\"..."},
      {std::string(59, 'a') + "\xc3\xa9", 60, "\"" + std::string(59, 'a') + "\"..."},
      {std::string(59, 'a') + "\x1b", 60, "\"" + std::string(59, 'a') + "\\x1b\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(quotedText(c.text, c.limit), c.quoted) << c.text;
  }
}
