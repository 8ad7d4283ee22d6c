#include "ostrel/parameter_form.h"

#include "ostrel/form2.h"
#include "ostrel/launch.h"
#include "ostrel/programs.h"
#include "ostrel/run_files.h"

namespace ostrel {

using forms::Bounds;

ParameterForm::ParameterForm(forms::Runtime& runtime, const ParameterFormLayout& layout)
    : Form(runtime), program_(layout.program) {
  forms::FormModel& form = design();
  form.name = layout.name;
  form.caption = "Input+";
  form.clientWidth = 4680;
  form.clientHeight = 3090;
  form.controls = {
      forms::frame("Frame1", "Additional inputs", Bounds{layout.frameLeft, layout.frameTop, 4455, 2055},
                   layout.frameTab),
      forms::textBox("Text1", Bounds{120, 480, 1575, 375}, layout.text1Tab, "Frame1"),
      forms::label("Label1", "Minimum distance threshold", Bounds{2040, 480, 2175, 375}, layout.label1Tab, "Frame1"),
      forms::textBox("Text2", Bounds{120, 1080, 1575, 375}, layout.text2Tab, "Frame1"),
      forms::label("Label2", "Minimum number of cluster", Bounds{2040, 1080, 1935, 255}, layout.label2Tab, "Frame1"),
      forms::button("Command1", "Execute", Bounds{layout.buttonLeft, layout.buttonTop, 1815, 375}, layout.buttonTab,
                    [this] { Command1_Click(); }),
  };
}

// "Execute": the dimensions run file rewritten with four lines (the counts typed on Form2, then
// this form's threshold and cluster count, all as typed), the four boxes emptied, then the
// form's own program started. A file that cannot be written changes nothing else.
void ParameterForm::Command1_Click() {
  Form2& form2 = runtime().instance<Form2>();  // created hidden, with empty boxes, if never shown
  if (!writeDimensionsRunFile(runtime(), {form2.text("Text1"), form2.text("Text2"), text("Text1"), text("Text2")})) {
    return;
  }
  form2.setText("Text1", "");
  form2.setText("Text2", "");
  setText("Text1", "");
  setText("Text2", "");
  launchProgram(runtime(), *this, program_);
}

void ParameterForm::showFrom(forms::Form& chooser) {
  chooser_ = &chooser;
  show();
}

void ParameterForm::closedByTitleBar() {
  if (chooser_ != nullptr) chooser_->show();
}

Form4::Form4(forms::Runtime& runtime)
    : ParameterForm(runtime, {"Form4", programs::SingleLinkage, 120, 240, 1320, 2520, 0, 1, 2, 3, 4, 5}) {}

Form5::Form5(forms::Runtime& runtime)
    : ParameterForm(runtime, {"Form5", programs::CompleteLinkage, 0, 0, 1200, 2280, 0, 2, 4, 1, 3, 5}) {}

Form6::Form6(forms::Runtime& runtime)
    : ParameterForm(runtime, {"Form6", programs::AverageLinkage, 120, 120, 1320, 2400, 1, 2, 4, 3, 5, 0}) {}

Form7::Form7(forms::Runtime& runtime)
    : ParameterForm(runtime, {"Form7", programs::Diana, 0, 0, 1200, 2280, 1, 3, 5, 2, 4, 0}) {}

}  // namespace ostrel
