#include <gtest/gtest.h>

#include <sstream>

#include "common/tokens.h"

using namespace clustering;

namespace {

std::vector<std::string> allTokens(const std::string& text) {
  std::istringstream in(text);
  TokenReader reader(in);
  std::vector<std::string> tokens;
  std::string token;
  while (reader.next(token) != TokenRead::End) tokens.push_back(token);
  return tokens;
}

}  // namespace

TEST(Tokens, AnyWhiteSpaceSeparatesAndLineBreaksCarryNoMeaning) {
  EXPECT_EQ(allTokens("g1\t1.5 \r\n2\n\n  g2 3\r\n"), (std::vector<std::string>{"g1", "1.5", "2", "g2", "3"}));
  EXPECT_TRUE(allTokens(" \r\n\t").empty());
}

TEST(Numbers, DecimalFormsAreNumbers) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"0.5", 0.5}, {"-1234.5", -1234.5}, {"+3", 3.0}, {"1.", 1.0}, {".25", 0.25},
               {"1e-7", 1e-7}, {"2E+3", 2000.0}, {"-0", -0.0}, {"0.1", 0.1}};
  for (const Case& c : cases) {
    double value = 99.0;
    EXPECT_EQ(parseNumber(c.text, value), NumberParse::Ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(Numbers, WordsHexAndPartialNumbersAreNot) {
  for (const char* text : {"NA", "nan", "inf", "-inf", "0x1p3", "1.5x", "", "-", ".", "e5", "1e", "1e+", "1,5", "--1"}) {
    double value = 7.0;
    EXPECT_EQ(parseNumber(text, value), NumberParse::NotANumber) << text;
    EXPECT_EQ(value, 7.0) << text;
  }
}

TEST(Numbers, OverflowIsRefusedAndUnderflowRoundsTowardZero) {
  double value = 0.0;
  EXPECT_EQ(parseNumber("1e400", value), NumberParse::OutOfRange);
  EXPECT_EQ(parseNumber("-1e400", value), NumberParse::OutOfRange);
  EXPECT_EQ(parseNumber("1e-400", value), NumberParse::Ok);
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(parseNumber("1e-310", value), NumberParse::Ok);
  EXPECT_EQ(value, 1e-310);
}

TEST(Numbers, SinglePrecisionIsReadStraightFromTheText) {
  // 0.1000000035 rounds to a different float through double than straight from the text only in
  // rare cases; this one is a known double-rounding case for float.
  float value = 0.0f;
  EXPECT_EQ(parseNumber("1.00000005960464477550", value), NumberParse::Ok);
  EXPECT_EQ(value, 1.0000001f);
  EXPECT_EQ(parseNumber("3.5e38", value), NumberParse::OutOfRange);
  EXPECT_EQ(parseNumber("0.1", value), NumberParse::Ok);
  EXPECT_EQ(value, 0.1f);
}

TEST(Numbers, WholeNumbersFitThirtyTwoBits) {
  int value = 0;
  EXPECT_EQ(parseWholeNumber("120", value), NumberParse::Ok);
  EXPECT_EQ(value, 120);
  EXPECT_EQ(parseWholeNumber("-2147483648", value), NumberParse::Ok);
  EXPECT_EQ(value, -2147483647 - 1);
  EXPECT_EQ(parseWholeNumber("2147483648", value), NumberParse::OutOfRange);
  EXPECT_EQ(parseWholeNumber("99999999999999999999", value), NumberParse::OutOfRange);
  EXPECT_EQ(parseWholeNumber("120abc", value), NumberParse::NotANumber);
  EXPECT_EQ(parseWholeNumber("3.0", value), NumberParse::NotANumber);
  EXPECT_EQ(parseWholeNumber("+", value), NumberParse::NotANumber);
}

TEST(Tokens, ATokenBeyondTheBoundIsCutThereAndTheNextOneReadWhole) {
  const std::string atBound(MaxTokenLength, '7');
  std::istringstream in(atBound + " " + atBound + "8 next");
  TokenReader reader(in);
  std::string token;
  EXPECT_EQ(reader.next(token), TokenRead::Token);
  EXPECT_EQ(token, atBound);
  EXPECT_EQ(reader.next(token), TokenRead::TooLong);
  EXPECT_EQ(token, atBound);
  EXPECT_EQ(reader.next(token), TokenRead::Token);
  EXPECT_EQ(token, "next");
  EXPECT_EQ(reader.next(token), TokenRead::End);
}
