// The front end's writing of the dimensions run file c:\doutinfo.txt, shared by "Submit" on
// Form2 and "Execute" on the parameter forms, and the one message for a run file that cannot be
// written, shared with Form1's paths run file. The file is rewritten whole, one line per text,
// each unchanged, and is complete on disk when the writer returns.
#pragma once

#include <string>
#include <vector>

#include "ostrel/forms/runtime.h"

namespace ostrel {

// Rewrites the dimensions run file whole, one line per text, each unchanged. A file that cannot
// be written is reported in a message box, and false comes back so that the caller changes
// nothing else.
bool writeDimensionsRunFile(forms::Runtime& runtime, const std::vector<std::string>& lines);

// The message box for a run file that cannot be written: its path and the system's reason.
void reportRunFileError(forms::Runtime& runtime, const forms::FileError& error);

}  // namespace ostrel
