#include "common/tokens.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace clustering {

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

TokenRead TokenReader::next(std::string& token) {
  constexpr int End = std::char_traits<char>::eof();
  std::streambuf* buffer = in_.rdbuf();
  if (buffer == nullptr) return TokenRead::End;
  int c = buffer->sgetc();
  while (c != End && isWhiteSpace(static_cast<char>(c))) c = buffer->snextc();
  if (c == End) return TokenRead::End;
  token.clear();
  while (c != End && !isWhiteSpace(static_cast<char>(c))) {
    if (token.size() == MaxTokenLength) {
      while (c != End && !isWhiteSpace(static_cast<char>(c))) c = buffer->snextc();
      return TokenRead::TooLong;
    }
    token += static_cast<char>(c);
    c = buffer->snextc();
  }
  return TokenRead::Token;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the decimal form; on success `body` is the text without a leading '+'.
bool hasDecimalForm(std::string_view text, std::string_view& body) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != text.size()) return false;
  body = (text[0] == '+') ? text.substr(1) : text;
  return true;
}

template <typename Real>
NumberParse parseReal(std::string_view text, Real& value) {
  std::string_view body;
  if (!hasDecimalForm(text, body)) return NumberParse::NotANumber;
  Real parsed{};
  auto result = std::from_chars(body.data(), body.data() + body.size(), parsed);
  if (result.ec == std::errc() && result.ptr == body.data() + body.size()) {
    value = parsed;
    return NumberParse::Ok;
  }
  // from_chars reports underflow and overflow alike; the C library tells them apart and still
  // rounds correctly, so a value that merely underflows to zero or a subnormal is kept.
  std::string copy(body);
  errno = 0;
  Real fallback{};
  if constexpr (std::is_same_v<Real, float>) {
    fallback = std::strtof(copy.c_str(), nullptr);
  } else {
    fallback = std::strtod(copy.c_str(), nullptr);
  }
  if (std::isinf(fallback)) return NumberParse::OutOfRange;
  value = fallback;
  return NumberParse::Ok;
}

}  // namespace

NumberParse parseNumber(std::string_view text, double& value) { return parseReal(text, value); }
NumberParse parseNumber(std::string_view text, float& value) { return parseReal(text, value); }

NumberParse parseWholeNumber(std::string_view text, int& value) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return NumberParse::NotANumber;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (!isDigit(text[k])) return NumberParse::NotANumber;
  }
  long long parsed = 0;
  for (std::size_t k = i; k < text.size(); ++k) {
    parsed = parsed * 10 + (text[k] - '0');
    if (parsed > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return NumberParse::OutOfRange;
  }
  if (text[0] == '-') parsed = -parsed;
  if (parsed < std::numeric_limits<int>::min() || parsed > std::numeric_limits<int>::max()) {
    return NumberParse::OutOfRange;
  }
  value = static_cast<int>(parsed);
  return NumberParse::Ok;
}

}  // namespace clustering
