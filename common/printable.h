// User text made safe to show in a message. Tokens and paths come from files and answers the
// engine does not control: a control byte in them would move the cursor, clear or retitle the
// user's terminal, and a token of a megabyte would fill it. So every byte that is not printable
// (controls, DEL, bytes that form no UTF-8 character, UTF-8 encoded C1 controls) is shown as
// \xNN, and quoted text is cut after a bound, the cut marked by "..." after the closing quote.
// Printable ASCII and valid UTF-8 characters show unchanged, so ordinary names read as typed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace clustering {

// How much of a token a message quotes, and of a path: a path longer than the host's longest
// (4096 bytes) names no file, so nothing of use is lost beyond it.
inline constexpr std::size_t QuotedTokenLimit = 60;
inline constexpr std::size_t QuotedPathLimit = 4096;

// `text` with every byte that is not printable shown as \xNN.
std::string printable(std::string_view text);

// `text` printable between double quotes; beyond `limit` bytes of it the rest is cut and "..."
// follows the closing quote. A character is never split by the cut.
std::string quotedText(std::string_view text, std::size_t limit);

inline std::string quotedToken(std::string_view token) { return quotedText(token, QuotedTokenLimit); }
inline std::string quotedPath(const std::filesystem::path& path) { return quotedText(path.native(), QuotedPathLimit); }

}  // namespace clustering
