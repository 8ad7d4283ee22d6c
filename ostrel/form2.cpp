#include "ostrel/form2.h"

#include "ostrel/run_files.h"

namespace ostrel {

using forms::Bounds;

Form2::Form2(forms::Runtime& runtime) : Form(runtime) {
  forms::FormModel& form = design();
  form.name = "Form2";
  form.caption = "Input parameters";
  form.clientWidth = 4680;
  form.clientHeight = 3120;
  form.controls = {
      forms::frame("Frame1", "Enter Data", Bounds{360, 240, 4095, 1935}, 1),
      forms::label("Label1", "Number of Genes in Input File", Bounds{1320, 480, 2295, 495}, 2, "Frame1"),
      forms::textBox("Text2", Bounds{120, 1200, 1095, 375}, 3, "Frame1"),
      forms::label("Label2", "Number of Samples in Input File", Bounds{1320, 1320, 2415, 255}, 4, "Frame1"),
      // Belongs to the form, drawn over the frame left of Label1.
      forms::textBox("Text1", Bounds{480, 600, 1095, 375}, 0),
      forms::button("Command1", "Submit", Bounds{1560, 2400, 1095, 495}, 5, [this] { Command1_Click(); }),
  };
}

// "Submit": the dimensions run file rewritten whole with the two texts as typed. A file that
// cannot be written leaves the form shown with its texts, so the user can try again.
void Form2::Command1_Click() {
  if (!writeDimensionsRunFile(runtime(), {text("Text1"), text("Text2")})) return;
  hide();
  forms::Form& form1 = runtime().mainForm();
  form1.show();
  // Form1's status box.
  form1.setText("Text1", "Number of gene in input file is " + text("Text1") + " and number of samples are " +
                             text("Text2") +
                             ". If entries are correct then next action: Click [Enter Output File Name] to select "
                             "file name that will store result");
}

void Form2::closedByTitleBar() { runtime().mainForm().show(); }

}  // namespace ostrel
