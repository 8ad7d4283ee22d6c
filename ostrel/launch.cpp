#include "ostrel/launch.h"

namespace ostrel {

void launchProgram(forms::Runtime& runtime, forms::Form& caller, const std::string& bareName) {
  caller.hide();
  runtime.mainForm().show();
  try {
    runtime.startProgram(bareName);
  } catch (const forms::ProgramStartError& error) {
    runtime.messageBox("Cannot start " + error.program() + ": " + error.reason());
  }
}

}  // namespace ostrel
