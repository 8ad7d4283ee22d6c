// launchProgram: the front end's one way of starting a program. The calling form is hidden and
// the main window Form1 shown (its status text untouched) before the start is attempted; the program is started
// by its bare name and not waited for. A program that cannot be started is reported in a
// message box naming the program and the reason; Form1 stays shown and the front end runs on.
#pragma once

#include <string>

#include "ostrel/forms/runtime.h"

namespace ostrel {

void launchProgram(forms::Runtime& runtime, forms::Form& caller, const std::string& bareName);

}  // namespace ostrel
