// The real ostrel on a private X display, driven as a user would drive it: windows appear with
// their titles and client sizes, buttons switch the forms, typed numbers reach the dimensions run
// file, nothing reaches the terminal, and every form is photographed into the build's screenshots
// folder.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/program_run.h"
#include "x_session.h"

using testsupport::captureWindow;
using testsupport::readFile;
using testsupport::Screenshot;
using testsupport::VirtualDisplay;
namespace fs = std::filesystem;

namespace {

const std::string MainTitle = "Clustering and biclustering tool";

// The centre of a control, in pixels of its window's client area, from its twips design.
struct Place {
  int left, top, width, height;
};
std::pair<int, int> centreOf(Place control, Place frame = {0, 0, 0, 0}) {
  return {(frame.left + control.left + control.width / 2) / 15, (frame.top + control.top + control.height / 2) / 15};
}

const Place Form1Frame1{120, 240, 2055, 3495};
const Place SelectInputFile{240, 600, 1695, 375};
const Place EnterOutputFileName{120, 1680, 1695, 495};
const Place StartClustering{120, 2280, 1695, 375};
const Place Submit{1560, 2400, 1095, 495};
const Place SingleLinkage{2400, 5400, 1335, 375};
const Place CompleteLinkage{2400, 5880, 1335, 375};
const Place AverageLinkage{2400, 6360, 1335, 375};
const Place Diana{2400, 6840, 1335, 375};

class OstrelWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::installedProgram("Xvfb") || !testsupport::installedProgram("xdotool")) {
      GTEST_SKIP() << "Xvfb and xdotool are needed for the window test";
    }
    display_ = std::make_unique<VirtualDisplay>();
    char folderTemplate[] = "/tmp/ostrel_windows_XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    root_ = folderTemplate;
    fs::create_directories(driveC());
    fs::create_directories(work());
  }

  void TearDown() override {
    if (ostrel_ > 0) {
      ::kill(ostrel_, SIGTERM);
      ::waitpid(ostrel_, nullptr, 0);
    }
    // Nothing of the toolkit's (nor anyone's) reaches the terminal ostrel was started from.
    if (fs::exists(root_ / "ostrel.log")) {
      EXPECT_EQ(readFile(root_ / "ostrel.log"), "") << "ostrel's terminal output";
    }
    display_.reset();
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }

  fs::path driveC() const { return root_ / "drive_c"; }
  fs::path work() const { return root_ / "work"; }

  void startOstrel() {
    ostrel_ = ::fork();
    ASSERT_GE(ostrel_, 0);
    if (ostrel_ == 0) {
      if (::chdir(work().c_str()) != 0) ::_exit(126);
      // Its messages go to a log, never to the test's own output.
      const int log = ::open((root_ / "ostrel.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(log, 1);
      ::dup2(log, 2);
      ::setenv("DISPLAY", display_->name().c_str(), 1);
      ::setenv("CLUSTERING_DRIVE_C", driveC().c_str(), 1);
      ::setenv("HOME", root_.c_str(), 1);  // where FLTK's file chooser keeps its preferences
      // The sanitizer build reports leaks it was told to pass over unless asked not to.
      ::setenv("LSAN_OPTIONS", "print_suppressions=0:suppressions=" LSAN_SUPPRESSIONS, 1);
      ::execl(OSTREL_PATH, OSTREL_PATH, static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }

  // The exit status once ostrel has ended by itself, waiting up to `tenths` tenths of a second.
  std::optional<int> exitStatus(int tenths = 100) {
    for (int tries = 0; tries < tenths; ++tries) {
      int status = 0;
      if (::waitpid(ostrel_, &status, WNOHANG) == ostrel_) {
        ostrel_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
  }

  unsigned long windowTitled(const std::string& title) {
    const auto window = display_->waitForWindow(title);
    if (!window) ADD_FAILURE() << "no window titled \"" << title << "\"";
    return window.value_or(0);
  }

  Screenshot photograph(unsigned long window, const std::string& name) {
    // Give the window a moment to finish drawing before it is read back.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot shot = captureWindow(display_->name(), window);
    testsupport::writePpm(shot, fs::path(SCREENSHOT_FOLDER) / (name + ".ppm"));
    return shot;
  }

  void click(unsigned long window, std::pair<int, int> at) { display_->click(window, at.first, at.second); }

  static bool waitFor(const std::function<bool()>& condition) {
    for (int tries = 0; tries < 100; ++tries) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  std::unique_ptr<VirtualDisplay> display_;
  fs::path root_;
  pid_t ostrel_ = -1;
};

TEST_F(OstrelWindows, MainWindowInputParametersAndTheDimensionsRunFile) {
  startOstrel();
  const unsigned long form1 = windowTitled(MainTitle);
  ASSERT_NE(form1, 0u);
  EXPECT_EQ(display_->windowSize(form1), std::make_pair(360, 254));
  photograph(form1, "form1");

  // Tab runs by the tab indices: from "Select Input File" five steps reach "Enter Input
  // Description", after the status box; Space presses it.
  for (int step = 0; step < 5; ++step) display_->pressKey(form1, "Tab");
  display_->pressKey(form1, "space");
  const unsigned long form2 = windowTitled("Input parameters");
  ASSERT_NE(form2, 0u);
  EXPECT_EQ(display_->windowSize(form2), std::make_pair(312, 208));
  EXPECT_TRUE(display_->waitUntilGone(MainTitle)) << "Form1 stays shown beside Input parameters";

  // The number of genes has the first focus; Tab goes on to the number of samples.
  display_->focusAndType(form2, "12");
  display_->pressKey(form2, "Tab");
  display_->focusAndType(form2, "5");
  // Escape closes nothing.
  display_->pressKey(form2, "Escape");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(display_->waitForWindow("Input parameters"), form2);
  photograph(form2, "form2");
  click(form2, centreOf(Submit));

  const fs::path dimensions = driveC() / "doutinfo.txt";
  ASSERT_TRUE(waitFor([&] { return fs::exists(dimensions) && readFile(dimensions) == "12\r\n5\r\n"; }))
      << (fs::exists(dimensions) ? readFile(dimensions) : "no c:\\doutinfo.txt");
  // A window shown again is a new X window: look it up by its title each time.
  const unsigned long back = windowTitled(MainTitle);
  ASSERT_NE(back, 0u);
  EXPECT_TRUE(display_->waitUntilGone("Input parameters"));
  photograph(back, "form1-after-submit");

  // Closing the main window by its title bar ends the program.
  display_->closeByTitleBar(back);
  EXPECT_EQ(exitStatus(), 0);
}

TEST_F(OstrelWindows, FileDialogCancelledAndAMessageBox) {
  startOstrel();
  const unsigned long form1 = windowTitled(MainTitle);
  ASSERT_NE(form1, 0u);
  click(form1, centreOf(SelectInputFile));
  const unsigned long dialog = windowTitled("Select Input File for Clustering");
  ASSERT_NE(dialog, 0u);
  photograph(dialog, "dialog-select-input-file");
  display_->pressKey(dialog, "Escape");
  EXPECT_TRUE(display_->waitUntilGone("Select Input File for Clustering"));
  // A cancel changes nothing: no paths run file was started.
  EXPECT_FALSE(fs::exists(driveC() / "outinfo.txt"));

  // With no input file chosen, "Enter Output File Name" explains instead of opening a dialog.
  click(form1, centreOf(EnterOutputFileName, Form1Frame1));
  const unsigned long message = windowTitled("ostrel");
  ASSERT_NE(message, 0u);
  photograph(message, "message-box");
  display_->pressKey(message, "Return");
  EXPECT_TRUE(display_->waitUntilGone("ostrel"));
  EXPECT_EQ(exitStatus(10), std::nullopt);
  EXPECT_EQ(display_->waitForWindow(MainTitle), form1);
}

TEST_F(OstrelWindows, AlgorithmsPictureAndTheFourParameterForms) {
  startOstrel();
  const unsigned long form1 = windowTitled(MainTitle);
  ASSERT_NE(form1, 0u);
  // With no paths run file open "Start Clustering" has nothing to close and shows the methods.
  click(form1, centreOf(StartClustering, Form1Frame1));
  unsigned long form3 = windowTitled("Algorithms");
  ASSERT_NE(form3, 0u);
  EXPECT_EQ(display_->windowSize(form3), std::make_pair(693, 584));
  const Screenshot methods = photograph(form3, "form3");

  // The picture sits inside the picture box's border at (24 + 2, 8 + 2): a white field 634
  // pixels wide, and taller than the box, which cuts it off at its lower border.
  const int pictureLeft = 26;
  const int pictureTop = 10;
  const unsigned long white = 0xFFFFFF;
  int width = 0;
  while (pictureLeft + width < methods.width && methods.pixel(pictureLeft + width, pictureTop + 4) == white) ++width;
  EXPECT_EQ(width, 634);
  EXPECT_NE(methods.pixel(pictureLeft - 1, pictureTop + 4), white);
  int height = 0;
  while (pictureTop + height < methods.height && methods.pixel(pictureLeft + 2, pictureTop + height) == white) ++height;
  EXPECT_EQ(height, 8 + 5055 / 15 - 2 - pictureTop) << "the picture does not fill the box down to its border";

  // Each method with parameters opens its "Input+" form; closing it by the title bar goes back to
  // the methods.
  const std::pair<Place, std::string> parameterForms[] = {
      {SingleLinkage, "form4"}, {CompleteLinkage, "form5"}, {AverageLinkage, "form6"}, {Diana, "form7"}};
  for (const auto& [button, name] : parameterForms) {
    click(form3, centreOf(button));
    const unsigned long parameters = windowTitled("Input+");
    ASSERT_NE(parameters, 0u) << name;
    EXPECT_EQ(display_->windowSize(parameters), std::make_pair(312, 206)) << name;
    EXPECT_TRUE(display_->waitUntilGone("Algorithms")) << name;
    photograph(parameters, name);
    display_->closeByTitleBar(parameters);
    EXPECT_TRUE(display_->waitUntilGone("Input+")) << name;
    form3 = windowTitled("Algorithms");
    ASSERT_NE(form3, 0u) << name;
  }

  // Closing the methods by the title bar brings the main window back; the program goes on.
  display_->closeByTitleBar(form3);
  EXPECT_NE(windowTitled(MainTitle), 0u);
  EXPECT_EQ(exitStatus(10), std::nullopt);
}

TEST_F(OstrelWindows, WithoutADisplayItSaysHowToGetOne) {
  const testsupport::ProgramResult result =
      testsupport::runProgram(OSTREL_PATH, "", work(), {{"DISPLAY", ""}, {"CLUSTERING_DRIVE_C", driveC().string()}});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("DISPLAY is not set"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("xvfb-run"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(driveC() / "outinfo.txt"));
}

}  // namespace
