// How the form runtime starts a program: a function that starts a program by its bare name
// ("cure.exe") and does not wait for it. The real one lives in program_start.h; tests hand in
// one that records the names. Neither the runtime nor a backend needs to know which.
#pragma once

#include <functional>
#include <string>

namespace ostrel::forms {

// Returns "" once the program has started, else why it could not be.
using ProgramStarter = std::function<std::string(const std::string& bareName)>;

}  // namespace ostrel::forms
