#include "common/console.h"

#include <limits>
#include <string>

#include "common/failure.h"
#include "common/printable.h"
#include "common/tokens.h"

namespace clustering {

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
      const TokenRead read = tokens.next(token);
      if (read == TokenRead::End) {
        std::string question(prompt);
        while (!question.empty() && (question.back() == '\n' || question.back() == ' ')) question.pop_back();
        throw EngineError("the console input ended before \"" + question + "\" was answered");
      }
      // A token cut at MaxTokenLength is no number, whatever its first bytes say.
      NumberParse parsed = NumberParse::NotANumber;
      if (int* const* whole = std::get_if<int*>(&slot)) {
        if (read == TokenRead::Token) parsed = parseWholeNumber(token, **whole);
        if (parsed != NumberParse::Ok) out_ << quotedToken(token) << " is not a whole number; please answer again.\n";
      } else {
        if (read == TokenRead::Token) parsed = parseNumber(token, *std::get<double*>(slot));
        if (parsed != NumberParse::Ok) out_ << quotedToken(token) << " is not a number; please answer again.\n";
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

int Console::askWholeNumberWithin(std::string_view prompt, std::string_view quantity, int fewest, int most,
                                  BelowFewest below) {
  for (;;) {
    const int value = askWholeNumber(prompt);
    const std::string answer = "\"" + std::to_string(value) + "\"";
    if (value < fewest && below == BelowFewest::AskAgain) {
      hint(answer + " is too few; " + std::string(quantity) + " is " + std::to_string(fewest) +
           " or more; please answer again.");
    } else if (value > most) {
      hint(answer + " is too many; " + std::string(quantity) + " is from " + std::to_string(fewest) + " to " +
           std::to_string(most) + "; please answer again.");
    } else {
      return value;
    }
  }
}

}  // namespace clustering
