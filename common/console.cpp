#include "console.h"

#include <cstdio>
#include <limits>

#include "failure.h"
#include "tokens.h"

namespace clustering {

std::string formatFixed(double value) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, "%f", value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

void Console::hint(std::string_view text) {
  out_ << text << '\n';
}

void Console::ask(std::string_view prompt, std::initializer_list<Slot> slots) {
  out_ << prompt << std::flush;
  TokenReader tokens(in_);
  for (;;) {
    bool answered = true;
    for (const Slot& slot : slots) {
      std::string token;
      if (!tokens.next(token)) {
        std::string question(prompt);
        while (!question.empty() && (question.back() == '\n' || question.back() == ' ')) question.pop_back();
        throw EngineError("the console input ended before \"" + question + "\" was answered");
      }
      NumberParse parsed = NumberParse::NotANumber;
      if (int* const* whole = std::get_if<int*>(&slot)) {
        parsed = parseWholeNumber(token, **whole);
        if (parsed != NumberParse::Ok) {
          out_ << "\"" << token << "\" is not a whole number; please answer again.\n";
        }
      } else {
        parsed = parseNumber(token, *std::get<double*>(slot));
        if (parsed != NumberParse::Ok) {
          out_ << "\"" << token << "\" is not a number; please answer again.\n";
        }
      }
      if (parsed != NumberParse::Ok) {
        answered = false;
        break;
      }
    }
    if (answered) return;
    // Drop the rest of the line with the bad answer and ask again from the first value.
    if (in_.rdbuf()->sgetc() != std::char_traits<char>::eof()) {
      in_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    out_ << prompt << std::flush;
  }
}

double Console::askNumber(std::string_view prompt) {
  double value = 0.0;
  ask(prompt, {&value});
  return value;
}

int Console::askWholeNumber(std::string_view prompt) {
  int value = 0;
  ask(prompt, {&value});
  return value;
}

}  // namespace clustering
