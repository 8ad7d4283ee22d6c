// The four "Input+" forms (Form4 to Form7): a minimum distance threshold and a minimum number of
// clusters for one outside method. "Execute" rewrites the dimensions run file c:\doutinfo.txt
// with four lines (Form2's two counts, then this form's two values, all as typed), empties the
// four boxes and starts the form's outside program through launchProgram. The four forms share
// this design and differ only in where the frame and the button sit, their tab indices and
// their program.
#pragma once

#include <string>

#include "ostrel/forms/runtime.h"

namespace ostrel {

struct ParameterFormLayout {
  std::string name;     // "Form4" ...
  std::string program;  // bare name started by "Execute"
  int frameLeft, frameTop;
  int buttonLeft, buttonTop;
  // Tab indices of Frame1, Text1, Label1, Text2, Label2, Command1.
  int frameTab, text1Tab, label1Tab, text2Tab, label2Tab, buttonTab;
};

class ParameterForm : public forms::Form {
 public:
  ParameterForm(forms::Runtime& runtime, const ParameterFormLayout& layout);

  // Shown by the "Algorithms" form, which has hidden itself; a close by the title bar goes back there.
  void showFrom(forms::Form& chooser);
  void closedByTitleBar() override;  // shows the form it was shown from again

 private:
  void Command1_Click();
  std::string program_;
  forms::Form* chooser_ = nullptr;
};

class Form4 : public ParameterForm {  // "Single linkage"
 public:
  explicit Form4(forms::Runtime& runtime);
};
class Form5 : public ParameterForm {  // "Complete linkage"
 public:
  explicit Form5(forms::Runtime& runtime);
};
class Form6 : public ParameterForm {  // "Average linkage"
 public:
  explicit Form6(forms::Runtime& runtime);
};
class Form7 : public ParameterForm {  // "DIANA"
 public:
  explicit Form7(forms::Runtime& runtime);
};

}  // namespace ostrel
