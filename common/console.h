// Console prompts of the engines. A prompt goes to standard output, flushed before reading;
// the answer is read as white-space separated numbers. An answer that is not a number is met
// with a one-line hint and the prompt again; the end of the input is refused. A hint quotes
// the answer shortened and with unprintable bytes escaped (see printable.h).
#pragma once

#include <algorithm>
#include <initializer_list>
#include <istream>
#include <ostream>
#include <string_view>
#include <variant>

namespace clustering {

class Console {
 public:
  Console(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  using Slot = std::variant<int*, double*>;
  // Prints `prompt` (which carries its own line end) and fills the slots in order from one answer.
  void ask(std::string_view prompt, std::initializer_list<Slot> slots);

  double askNumber(std::string_view prompt);
  int askWholeNumber(std::string_view prompt);

  // A whole number from `fewest` to `most`, `quantity` naming it in the hints ("the number of
  // clusters"). Above `most` it is asked again; below `fewest` it is asked again, or handed
  // back for the engine to refuse.
  enum class BelowFewest { AskAgain, HandBack };
  int askWholeNumberWithin(std::string_view prompt, std::string_view quantity, int fewest, int most,
                           BelowFewest below);

 private:
  // A hint and the prompt again, for an answer that is a number but out of the engine's range.
  void hint(std::string_view text);

  std::istream& in_;
  std::ostream& out_;
};

// The most clusters an engine that is asked for a number of clusters accepts: more than the
// larger of the gene count and 32767 could only add empty clusters (and headings) by the
// million, until the memory or the disk is full. Up to it, the empty clusters and headings that
// an engine's rules give for a small matrix are kept.
inline int mostClusters(int geneCount) { return std::max(geneCount, 32767); }

}  // namespace clustering
