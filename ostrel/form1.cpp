#include "ostrel/form1.h"

#include <filesystem>

#include "common/host_path.h"
#include "ostrel/form2.h"
#include "ostrel/form3.h"
#include "ostrel/run_files.h"

namespace ostrel {

using forms::Bounds;

namespace {

const std::string PathsRunFile(clustering::PathsRunFile);

// The result file would be the matrix itself: the same file on disk, or the same host path
// when the file does not exist yet.
bool namesTheMatrix(const std::string& matrixPath, const std::string& resultPath) {
  const std::filesystem::path matrix = clustering::resolveHostPath(matrixPath);
  const std::filesystem::path result = clustering::resolveHostPath(resultPath);
  if (clustering::sameFile(matrix, result)) return true;
  std::error_code matrixFailure;
  std::error_code resultFailure;
  const std::filesystem::path matrixCanonical = std::filesystem::weakly_canonical(matrix, matrixFailure);
  const std::filesystem::path resultCanonical = std::filesystem::weakly_canonical(result, resultFailure);
  return !matrixFailure && !resultFailure && matrixCanonical == resultCanonical;
}

}  // namespace

Form1::Form1(forms::Runtime& runtime) : Form(runtime), cmd_(runtime) {
  forms::FormModel& form = design();
  form.name = "Form1";
  form.caption = "Clustering and biclustering tool";
  form.clientWidth = 5400;
  form.clientHeight = 3810;
  form.iconResource = "ostrel";
  form.controls = {
      forms::frame("Frame1", "Controls", Bounds{120, 240, 2055, 3495}, 1),
      forms::button("Command4", "Enter Input Description", Bounds{120, 960, 1695, 495}, 7,
                    [this] { Command4_Click(); }, "Frame1"),
      forms::button("Command1", "Enter Output File Name", Bounds{120, 1680, 1695, 495}, 2,
                    [this] { Command1_Click(); }, "Frame1"),
      forms::button("Command2", "Start Clustering", Bounds{120, 2280, 1695, 375}, 3, [this] { Command2_Click(); },
                    "Frame1"),
      forms::button("Command3", "Exit", Bounds{480, 2880, 735, 495}, 4, [this] { Command3_Click(); }, "Frame1"),
      // Belongs to the form, drawn over the head of the frame's column of buttons.
      forms::button("Open", "Select Input File", Bounds{240, 600, 1695, 375}, 0, [this] { Open_Click(); }),
      forms::frame("Frame2", "Help Window", Bounds{3000, 360, 2175, 3255}, 5),
      forms::multiLineTextBox("Text1", Bounds{120, 240, 1935, 2895}, 6, "Frame2"),
  };
}

void Form1::prepareDialog(const std::string& title) {
  cmd_.cancelError = true;
  cmd_.filter = "Text (*.txt)|*.txt";
  cmd_.title = title;
}

// "Select Input File": a new paths run file holding the chosen matrix path as line 1. Nothing
// changes until a file is confirmed, so a cancel keeps an earlier run file as it was.
void Form1::Open_Click() {
  prepareDialog("Select Input File for Clustering");
  try {
    cmd_.showOpen();
  } catch (const forms::DialogCancelled&) {
    return;
  }
  const std::string matrixPath = cmd_.fileName;

  runtime().close(pathsFileNumber_);  // a run file still open from an earlier choice is finished first
  matrixPath_.clear();
  hasResultLine_ = false;
  pathsFileNumber_ = runtime().freeFileNumber();
  try {
    runtime().openForOutput(pathsFileNumber_, PathsRunFile);
    runtime().printLine(pathsFileNumber_, matrixPath);
  } catch (const forms::FileError& error) {
    runtime().close(pathsFileNumber_);
    reportRunFileError(runtime(), error);
    return;
  }
  matrixPath_ = matrixPath;

  setStatus("Selected input file for clustering is " + matrixPath +
            ".    Next action: Click [Enter Input Description] to enter number of genes and samples in input file " +
            matrixPath);
}

// "Enter Input Description"
void Form1::Command4_Click() {
  hide();
  runtime().instance<Form2>().show();
}

// "Enter Output File Name": the chosen result path as line 2 of the open paths run file; a
// later choice replaces it, so the file the status box names is the file the engine writes.
void Form1::Command1_Click() {
  if (!runtime().isOpen(pathsFileNumber_)) {
    runtime().messageBox(
        "No input file is selected for this run. Click [Select Input File] first, then [Enter Output File Name].");
    return;
  }
  prepareDialog("Enter Output File for Storing Clustered Output");
  try {
    cmd_.showSave();
  } catch (const forms::DialogCancelled&) {
    return;
  }
  const std::string resultPath = cmd_.fileName;
  if (namesTheMatrix(matrixPath_, resultPath)) {
    runtime().messageBox("The result file " + resultPath +
                         " is the input file itself; the engine would empty it. Choose another result file.");
    return;
  }

  try {
    if (hasResultLine_) {
      runtime().close(pathsFileNumber_);
      runtime().openForOutput(pathsFileNumber_, PathsRunFile);
      runtime().printLine(pathsFileNumber_, matrixPath_);
    }
    runtime().printLine(pathsFileNumber_, resultPath);
  } catch (const forms::FileError& error) {
    runtime().close(pathsFileNumber_);
    reportRunFileError(runtime(), error);
    return;
  }
  hasResultLine_ = true;

  setStatus("Selected file for storing result is " + resultPath +
            ".    Next action: Click [Start Clustering] to start VTRQ clustering");
}

// "Start Clustering": the paths run file is complete on disk before any engine can start.
void Form1::Command2_Click() {
  runtime().close(pathsFileNumber_);
  hide();
  runtime().instance<Form3>().show();
}

// "Exit"
void Form1::Command3_Click() { runtime().endProgram(); }

void Form1::closedByTitleBar() { runtime().endProgram(); }

}  // namespace ostrel
