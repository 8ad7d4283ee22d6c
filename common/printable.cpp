#include "common/printable.h"

namespace clustering {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the printable character that starts `text` (1 to 4 bytes), or 0 when its first
// byte must be escaped: a control, DEL, a C1 control, or a byte that starts no valid UTF-8
// character (a stray continuation, an overlong form, a surrogate, a value above U+10FFFF).
std::size_t printableLength(std::string_view text) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x20 || lead == 0x7F) return 0;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range the second byte must lie in
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    if (lead == 0xC2) low = 0xA0;  // U+0080 to U+009F are the C1 controls
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(at(i))) return 0;
  }
  return length;
}

// Appends the printable form of `text` up to `limit` of its bytes; returns the bytes taken.
std::size_t appendPrintable(std::string& out, std::string_view text, std::size_t limit) {
  static constexpr char Hex[] = "0123456789abcdef";
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = printableLength(text.substr(i));
    if (i + (length == 0 ? 1 : length) > limit) break;
    if (length == 0) {
      const auto byte = static_cast<unsigned char>(text[i]);
      out += "\\x";
      out += Hex[byte >> 4];
      out += Hex[byte & 0xF];
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return i;
}

}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  appendPrintable(out, text, text.size());
  return out;
}

std::string quotedText(std::string_view text, std::size_t limit) {
  std::string out = "\"";
  const std::size_t taken = appendPrintable(out, text, limit);
  out += '"';
  if (taken < text.size()) out += "...";
  return out;
}

}  // namespace clustering
