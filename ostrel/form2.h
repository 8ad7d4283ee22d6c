// Form2, "Input parameters": the number of genes and the number of samples, as typed. "Submit"
// writes them unchanged as the two lines of the dimensions run file c:\doutinfo.txt and brings
// back Form1. The boxes keep their texts while the form is hidden; the parameter forms read and
// empty them.
#pragma once

#include "ostrel/forms/runtime.h"

namespace ostrel {

class Form2 : public forms::Form {
 public:
  explicit Form2(forms::Runtime& runtime);
  void closedByTitleBar() override;  // shows the main window again

 private:
  void Command1_Click();
};

}  // namespace ostrel
