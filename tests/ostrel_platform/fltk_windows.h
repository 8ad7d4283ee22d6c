// The FLTK windows of the real forms on a private X display, inside the test process: one Xvfb
// for the whole process, shared by every suite of these windows (FLTK 1.3 cannot open a display
// again once it has closed one), a drive C and a working folder of their own for each test,
// Form1 shown as at program start, program starts recorded. Whatever reaches the error stream
// during a test (a toolkit's warnings, an X error) fails it. A modal dialog is driven from inside
// its own event loop by duringDialog(). pictureRgb() reads one pixel of a drawn picture.
#pragma once

#include <gtest/gtest.h>

// After GoogleTest: the X headers these pull in define macros such as None.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ostrel/forms/fltk/fltk_backend.h"
#include "ostrel/forms/runtime.h"
#include "support/engine_run.h"
#include "x_session.h"

class Fl_RGB_Image;

namespace fltktest {

// The pixel at (x, y) of an RGB picture as 0xRRGGBB.
unsigned pictureRgb(const Fl_RGB_Image& picture, int x, int y);

class FltkWindows : public ::testing::Test {
 public:
  // The shown top-level window with this title, if any.
  static Fl_Window* shownWindow(const std::string& title);

 protected:
  static void SetUpTestSuite();  // the first suite starts the display; it ends with the process
  void SetUp() override;
  void TearDown() override;

  static void settle();
  static bool xdotoolInstalled();
  static testsupport::VirtualDisplay& display() { return *display_; }

  // Creates Form2 to Form7 (hidden) beside the shown Form1; the names of all seven.
  std::vector<std::string> createEveryForm();

  std::string focusedControl(const std::string& form) const;
  std::vector<std::string> tabWalk(const std::string& form, int presses, bool backwards = false);

  // Arranges for `act` to run once, inside the modal loop of the dialog titled `title`, as soon as
  // the dialog is on the screen; then `start` is called (it opens the dialog and returns when the
  // dialog has closed). A dialog still open ten seconds later is cancelled and the test fails.
  void duringDialog(const std::string& title, const std::function<void(Fl_Window& dialog)>& act,
                    const std::function<void()>& start);

  static inline testsupport::VirtualDisplay* display_ = nullptr;
  std::unique_ptr<testsupport::EngineRun> sandbox_;
  std::unique_ptr<ostrel::forms::fltk::FltkBackend> backend_;
  std::unique_ptr<ostrel::forms::Runtime> runtime_;
  std::vector<std::string> started_;

 private:
  int savedErrorStream_ = -1;
  std::filesystem::path errorCapture_;
  std::filesystem::path savedWorkingFolder_;
};

}  // namespace fltktest
