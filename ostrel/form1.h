// Form1, the main window "Clustering and biclustering tool": leads the user through one engine
// run. "Select Input File" starts the paths run file c:\outinfo.txt with the matrix path,
// "Enter Input Description" opens Form2 for the dimensions, "Enter Output File Name" adds the
// result path, "Start Clustering" closes the paths run file and opens the "Algorithms" form,
// "Exit" ends. The status box says after each step what was chosen and what comes next.
//
// Invariants of the paths run file: it is emptied only once a new input file is confirmed; it
// then holds line 1 (the matrix path) and at most one line 2 (the last result path chosen), and
// it is never given a result path equal to the matrix file.
#pragma once

#include <string>

#include "ostrel/forms/runtime.h"

namespace ostrel {

class Form1 : public forms::Form {
 public:
  explicit Form1(forms::Runtime& runtime);

  int pathsFileNumber() const { return pathsFileNumber_; }
  void closedByTitleBar() override;  // ends the program

 private:
  void Open_Click();
  void Command4_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

  void setStatus(const std::string& text) { setText("Text1", text); }
  void prepareDialog(const std::string& title);

  forms::FileDialog cmd_;
  int pathsFileNumber_ = 0;
  std::string matrixPath_;  // line 1 of the open paths run file
  bool hasResultLine_ = false;
};

}  // namespace ostrel
