// Form2, "Input parameters": the number of genes and the number of samples, as typed. "Submit"
// writes them unchanged as the two lines of the dimensions run file c:\doutinfo.txt and brings
// back Form1. The boxes keep their texts while the form is hidden; the parameter forms read and
// empty them.
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

class Form2 : public forms::Form {
 public:
  explicit Form2(forms::Runtime& runtime);
  void closedByTitleBar() override;  // shows Form1 again

 private:
  void Command1_Click();
};

}  // namespace ostrel
