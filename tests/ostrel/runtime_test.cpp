// The form runtime on its own: forms made once and kept while hidden, focus, file numbers, the
// file dialog's remembered settings, and how run-time errors and the end of the program behave.
#include <gtest/gtest.h>

#include "front_end_fixture.h"
#include "ostrel/forms/model.h"

using namespace ostrel::forms;
using ostreltest::DriveCVariable;
using scripted::ScriptedBackend;
using testsupport::readFile;

namespace {

// A form with a box, a label, a frame and two buttons; the second button fails the way a
// handler meets an error it does not recover from.
class SampleForm : public Form {
 public:
  explicit SampleForm(Runtime& runtime) : Form(runtime) {
    FormModel& form = design();
    form.name = "Sample";
    form.caption = "Sample";
    form.controls = {
        frame("Frame1", "Group", Bounds{0, 0, 3000, 3000}, 0),
        textBox("Box", Bounds{120, 240, 1000, 375}, 3, "Frame1"),
        label("Caption", "Label", Bounds{120, 700, 1000, 375}, 1, "Frame1"),
        button("Ok", "Ok", Bounds{0, 3100, 1000, 375}, 2, [this] { ++clicks; }),
        button("Fail", "Fail", Bounds{0, 3600, 1000, 375}, 4, [] { throw RuntimeError("Overflow"); }),
    };
  }
  int clicks = 0;
};

class Runtimes : public ::testing::Test {
 protected:
  Runtimes() : drive(sandbox.driveC()), runtime(backend) {}
  testsupport::EngineRun sandbox;
  DriveCVariable drive;
  ScriptedBackend backend;
  Runtime runtime;
};

}  // namespace

TEST_F(Runtimes, AFormIsMadeOnceHiddenAndKeepsItsTextsWhileHidden) {
  SampleForm& first = runtime.instance<SampleForm>();
  EXPECT_EQ(&first, &runtime.instance<SampleForm>());
  EXPECT_TRUE(backend.created("Sample"));
  EXPECT_FALSE(backend.visible("Sample"));
  EXPECT_EQ(runtime.findForm("Sample"), &first);

  first.show();
  backend.type("Sample", "Box", "typed");
  first.hide();
  first.show();
  EXPECT_EQ(first.text("Box"), "typed");
  first.setText("Box", "");
  EXPECT_EQ(backend.text("Sample", "Box"), "");
  EXPECT_THROW(first.text("Nothing"), std::out_of_range);
}

TEST_F(Runtimes, FocusFollowsTheTabIndexOfControlsThatTakeIt) {
  SampleForm& form = runtime.instance<SampleForm>();
  EXPECT_EQ(focusOrder(form.model()), (std::vector<std::string>{"Ok", "Box", "Fail"}));
  form.show();
  EXPECT_EQ(backend.focused("Sample"), "Ok");
  backend.pressTab("Sample");
  EXPECT_EQ(backend.focused("Sample"), "Box");
  backend.pressTab("Sample");
  backend.pressTab("Sample");
  EXPECT_EQ(backend.focused("Sample"), "Ok");
  // Only the first showing places the focus.
  backend.pressTab("Sample");
  form.hide();
  form.show();
  EXPECT_EQ(backend.focused("Sample"), "Box");
}

TEST_F(Runtimes, FileNumbersWriteCrLfLinesIntoDriveC) {
  const int first = runtime.freeFileNumber();
  EXPECT_GE(first, 1);
  runtime.openForOutput(first, "c:\\first.txt");
  runtime.openForOutput(runtime.freeFileNumber(), "C:\\second.txt");
  EXPECT_NE(runtime.freeFileNumber(), first);
  runtime.printLine(first, "a b\tc");
  runtime.printLine(first, "");
  runtime.close(first);
  EXPECT_EQ(readFile(sandbox.driveC() / "first.txt"), "a b\tc\r\n\r\n");
  EXPECT_FALSE(runtime.isOpen(first));
  EXPECT_EQ(runtime.freeFileNumber(), first);

  runtime.close(first);  // nothing open under it: passes silently
  runtime.close(0);
  EXPECT_THROW(runtime.printLine(first, "lost"), RuntimeError);
}

TEST_F(Runtimes, OpeningForOutputEmptiesAndRefusesAFileOpenTwice) {
  testsupport::writeFile(sandbox.driveC() / "run.txt", "old content\r\n");
  runtime.openForOutput(1, "c:\\run.txt");
  EXPECT_EQ(readFile(sandbox.driveC() / "run.txt"), "");
  EXPECT_THROW(runtime.openForOutput(2, "C:\\run.txt"), FileError);
  EXPECT_THROW(runtime.openForOutput(1, "c:\\other.txt"), RuntimeError);
}

TEST_F(Runtimes, TheDriveCFolderIsCreatedAtTheFirstFileWrittenThere) {
  const std::filesystem::path fresh = sandbox.driveC() / "not" / "yet";
  DriveCVariable freshDrive(fresh);
  runtime.openForOutput(1, "c:\\outinfo.txt");
  runtime.printLine(1, "x");
  runtime.closeAll();
  EXPECT_EQ(readFile(fresh / "outinfo.txt"), "x\r\n");
}

TEST_F(Runtimes, AFileThatCannotBeCreatedNamesThePathAndTheReason) {
  testsupport::writeFile(sandbox.driveC() / "blocked", "a file where drive C should be");
  DriveCVariable blocked(sandbox.driveC() / "blocked" / "drive");
  try {
    runtime.openForOutput(1, "c:\\outinfo.txt");
    FAIL() << "opened";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), "c:\\outinfo.txt (" + (sandbox.driveC() / "blocked" / "drive" / "outinfo.txt").string() + ")");
    EXPECT_FALSE(error.reason().empty());
  }
  EXPECT_FALSE(runtime.isOpen(1));
}

TEST_F(Runtimes, FileDialogKeepsItsSettingsAndRaisesCancelOnlyWhenAsked) {
  FileDialog dialog(runtime);
  dialog.filter = "Text (*.txt)|*.txt";
  dialog.title = "Pick";
  backend.answerNextFileDialog("C:\\a.txt");
  dialog.showOpen();
  EXPECT_EQ(dialog.fileName, "C:\\a.txt");

  backend.cancelNextFileDialog();
  dialog.showSave();  // no cancel error asked for: returns, file name kept
  EXPECT_EQ(dialog.fileName, "C:\\a.txt");

  dialog.cancelError = true;
  backend.cancelNextFileDialog();
  EXPECT_THROW(dialog.showSave(), DialogCancelled);
  EXPECT_EQ(dialog.fileName, "C:\\a.txt");

  ASSERT_EQ(backend.fileDialogs().size(), 3u);
  EXPECT_EQ(backend.fileDialogs()[0].kind, DialogKind::Open);
  EXPECT_EQ(backend.fileDialogs()[0].fileName, "");
  EXPECT_EQ(backend.fileDialogs()[2].kind, DialogKind::Save);
  EXPECT_EQ(backend.fileDialogs()[2].fileName, "C:\\a.txt");
  EXPECT_EQ(backend.fileDialogs()[2].title, "Pick");
  EXPECT_EQ(backend.fileDialogs()[2].filter, "Text (*.txt)|*.txt");
}

TEST_F(Runtimes, AnUnhandledRunTimeErrorIsShownThenEndsTheProgramWithFilesClosedAsWritten) {
  SampleForm& form = runtime.instance<SampleForm>();
  form.show();
  runtime.openForOutput(1, "c:\\outinfo.txt");
  runtime.printLine(1, "C:\\m.txt");
  backend.click("Sample", "Fail");
  EXPECT_EQ(backend.messageBoxes(), (std::vector<std::string>{"Overflow"}));
  EXPECT_TRUE(backend.quitRequested());
  EXPECT_TRUE(runtime.ended());
  EXPECT_FALSE(runtime.isOpen(1));
  EXPECT_EQ(readFile(sandbox.driveC() / "outinfo.txt"), "C:\\m.txt\r\n");
  backend.click("Sample", "Ok");  // the program has ended: no handler runs any more
  EXPECT_EQ(form.clicks, 0);
}

TEST_F(Runtimes, ProgramStartFailuresNameTheProgramAndTheReason) {
  EXPECT_THROW(runtime.startProgram("cure.exe"), ProgramStartError);  // no starter set up
  runtime.setProgramStarter(backend.starter());
  runtime.startProgram("cure.exe");
  backend.failProgramStarts("not found");
  try {
    runtime.startProgram("kmeans.exe");
    FAIL() << "started";
  } catch (const ProgramStartError& error) {
    EXPECT_EQ(error.program(), "kmeans.exe");
    EXPECT_EQ(error.reason(), "not found");
  }
  EXPECT_EQ(backend.startedPrograms(), (std::vector<std::string>{"cure.exe", "kmeans.exe"}));
}

TEST_F(Runtimes, TheScriptedBackendRefusesStepsNoUserCouldTake) {
  runtime.instance<SampleForm>();
  EXPECT_THROW(backend.click("Sample", "Ok"), std::logic_error);  // not shown
  runtime.instance<SampleForm>().show();
  EXPECT_THROW(backend.click("Sample", "Missing"), std::logic_error);
  EXPECT_THROW(backend.type("Sample", "Ok", "x"), std::logic_error);
  EXPECT_THROW(backend.click("Other", "Ok"), std::logic_error);
}
