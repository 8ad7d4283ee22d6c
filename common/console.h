// Console prompts of the engines. A prompt goes to standard output, flushed before reading;
// the answer is read as white-space separated numbers. An answer that is not a number is met
// with a one-line hint and the prompt again; the end of the input is refused.
#pragma once

#include <initializer_list>
#include <istream>
#include <ostream>
#include <string>
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

  // A hint and the prompt again, for an answer that is a number but out of the engine's range.
  void hint(std::string_view text);

 private:
  std::istream& in_;
  std::ostream& out_;
};

// C's "%f": fixed notation, six decimals.
std::string formatFixed(double value);

}  // namespace clustering
