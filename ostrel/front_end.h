// Program start of the front end on a given backend: Form1 is created from its design and
// shown, and events are handled until the program ends ("Exit", or Form1 closed by its title
// bar). `starter` starts the outside programs and the engines by their bare names.
#pragma once

#include "ostrel/forms/backend.h"
#include "ostrel/forms/program_starter.h"

namespace ostrel {

int runFrontEnd(forms::Backend& backend, forms::ProgramStarter starter);

}  // namespace ostrel
