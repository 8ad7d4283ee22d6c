// The four "Input+" forms: their design and focus orders, "Execute" with its four-line
// dimensions run file, emptied boxes and program start, and the road to a real engine run on
// the run files the front end wrote.
#include <gtest/gtest.h>

#include "front_end_fixture.h"
#include "ostrel/forms/model.h"

using namespace ostrel::forms;
using ostreltest::FrontEnd;
using ostreltest::Visible;
using testsupport::crlf;

namespace {

struct ParameterFormRow {
  std::string form;
  std::string opener;  // its button on the "Algorithms" form
  std::string program;
  Bounds frame;
  Bounds button;
  std::vector<int> tabIndices;  // Frame1, Text1, Label1, Text2, Label2, Command1
  std::vector<std::string> focus;
};

const std::vector<ParameterFormRow> ParameterFormRows = {
    {"Form4", "Command1", "singlelinkage.exe", {120, 240, 4455, 2055}, {1320, 2520, 1815, 375}, {0, 1, 2, 3, 4, 5},
     {"Text1", "Text2", "Command1"}},
    {"Form5", "Command2", "completelinkage.exe", {0, 0, 4455, 2055}, {1200, 2280, 1815, 375}, {0, 2, 4, 1, 3, 5},
     {"Text2", "Text1", "Command1"}},
    {"Form6", "Command3", "averagelinkage.exe", {120, 120, 4455, 2055}, {1320, 2400, 1815, 375}, {1, 2, 4, 3, 5, 0},
     {"Command1", "Text1", "Text2"}},
    {"Form7", "Command9", "diana.exe", {0, 0, 4455, 2055}, {1200, 2280, 1815, 375}, {1, 3, 5, 2, 4, 0},
     {"Command1", "Text2", "Text1"}},
};

std::vector<int> edges(const Bounds& bounds) { return {bounds.left, bounds.top, bounds.width, bounds.height}; }

class ParameterForms : public FrontEnd {
 protected:
  void openParameterForm(const std::string& opener) {
    startClustering();
    backend.click("Form3", opener);
  }
  void execute(const std::string& form, const std::string& threshold, const std::string& clusters) {
    backend.type(form, "Text1", threshold);
    backend.type(form, "Text2", clusters);
    backend.click(form, "Command1");
  }
};

}  // namespace

TEST_F(ParameterForms, DesignAndFocusOrderOfEachForm) {
  for (const ParameterFormRow& row : ParameterFormRows) {
    SCOPED_TRACE(row.form);
    openParameterForm(row.opener);
    const FormModel& form = backend.model(row.form);
    EXPECT_EQ(form.caption, "Input+");
    EXPECT_EQ(form.clientWidth, 4680);
    EXPECT_EQ(form.clientHeight, 3090);
    const std::vector<std::string> names{"Frame1", "Text1", "Label1", "Text2", "Label2", "Command1"};
    for (size_t k = 0; k < names.size(); ++k) EXPECT_EQ(form.control(names[k]).tabIndex, row.tabIndices[k]) << names[k];
    EXPECT_EQ(form.control("Frame1").caption, "Additional inputs");
    EXPECT_EQ(edges(form.control("Frame1").bounds), edges(row.frame));
    EXPECT_EQ(edges(form.control("Command1").bounds), edges(row.button));
    EXPECT_EQ(form.control("Command1").caption, "Execute");
    EXPECT_EQ(form.control("Command1").container, "");
    EXPECT_EQ(form.control("Label1").caption, "Minimum distance threshold");
    EXPECT_EQ(edges(form.control("Label1").bounds), (std::vector<int>{2040, 480, 2175, 375}));
    EXPECT_EQ(form.control("Label2").caption, "Minimum number of cluster");
    EXPECT_EQ(edges(form.control("Label2").bounds), (std::vector<int>{2040, 1080, 1935, 255}));
    for (const char* box : {"Text1", "Text2"}) {
      EXPECT_EQ(form.control(box).kind, ControlKind::TextBox);
      EXPECT_EQ(form.control(box).container, "Frame1");
    }
    EXPECT_EQ(edges(form.control("Text1").bounds), (std::vector<int>{120, 480, 1575, 375}));
    EXPECT_EQ(edges(form.control("Text2").bounds), (std::vector<int>{120, 1080, 1575, 375}));

    EXPECT_EQ(focusOrder(form), row.focus);
    EXPECT_EQ(backend.focused(row.form), row.focus[0]);
    backend.pressTab(row.form);
    EXPECT_EQ(backend.focused(row.form), row.focus[1]);
    backend.closeByTitleBar(row.form);
    backend.closeByTitleBar("Form3");
  }
}

TEST_F(ParameterForms, ExecuteWritesFourLinesEmptiesTheBoxesAndStartsTheFormsProgram) {
  selectInputFile("C:\\m.txt");
  enterOutputFileName("C:\\r.txt");
  for (const ParameterFormRow& row : ParameterFormRows) {
    SCOPED_TRACE(row.form);
    enterInputDescription("120", "40");
    const std::string shownStatus = status();
    openParameterForm(row.opener);
    backend.clearLog();
    execute(row.form, "0.5", "3");
    EXPECT_EQ(dimensionsRunFile(), "120\r\n40\r\n0.5\r\n3\r\n");
    EXPECT_EQ(backend.text("Form2", "Text1"), "");
    EXPECT_EQ(backend.text("Form2", "Text2"), "");
    EXPECT_EQ(backend.text(row.form, "Text1"), "");
    EXPECT_EQ(backend.text(row.form, "Text2"), "");
    EXPECT_EQ(backend.log(), (std::vector<std::string>{"click " + row.form + ".Command1", "hide " + row.form,
                                                       "show Form1", "start " + row.program}));
    EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
    EXPECT_EQ(status(), shownStatus);
  }
  EXPECT_EQ(pathsRunFile(), "C:\\m.txt\r\nC:\\r.txt\r\n");
  EXPECT_TRUE(backend.messageBoxes().empty());
}

TEST_F(ParameterForms, FourEmptyBoxesGiveEightBytes) {
  enterInputDescription("", "");
  openParameterForm("Command2");
  backend.click("Form5", "Command1");
  EXPECT_EQ(dimensionsRunFile(), "\r\n\r\n\r\n\r\n");
}

TEST_F(ParameterForms, ASecondExecuteWithoutSubmitWritesEmptyCounts) {
  enterInputDescription("120", "40");
  openParameterForm("Command1");
  execute("Form4", "0.5", "3");
  openParameterForm("Command2");
  execute("Form5", "0.25", "4");
  EXPECT_EQ(dimensionsRunFile(), "\r\n\r\n0.25\r\n4\r\n");
  backend.click("Form1", "Command4");  // Form2 shows its boxes emptied
  EXPECT_EQ(backend.text("Form2", "Text1"), "");
  EXPECT_EQ(backend.text("Form2", "Text2"), "");
}

TEST_F(ParameterForms, ExecuteWithInputParametersNeverShown) {
  openParameterForm("Command9");
  execute("Form7", "1", "2");
  EXPECT_TRUE(backend.created("Form2"));
  EXPECT_FALSE(backend.visible("Form2"));
  EXPECT_EQ(dimensionsRunFile(), "\r\n\r\n1\r\n2\r\n");
  EXPECT_EQ(backend.startedPrograms(), (std::vector<std::string>{"diana.exe"}));
}

TEST_F(ParameterForms, TextsAreWrittenAsTyped) {
  enterInputDescription(" 120", "40 ");
  openParameterForm("Command3");
  execute("Form6", " 0.5 ", "three");
  EXPECT_EQ(dimensionsRunFile(), " 120\r\n40 \r\n 0.5 \r\nthree\r\n");
}

TEST_F(ParameterForms, ALaterSubmitGoesBackToTwoLines) {
  openParameterForm("Command1");
  execute("Form4", "0.5", "3");
  enterInputDescription("9", "4");
  EXPECT_EQ(dimensionsRunFile(), "9\r\n4\r\n");
}

TEST_F(ParameterForms, ClosingByTheTitleBarWritesEmptiesAndStartsNothing) {
  enterInputDescription("120", "40");
  openParameterForm("Command1");
  backend.type("Form4", "Text1", "0.5");
  backend.closeByTitleBar("Form4");
  EXPECT_EQ(Visible{"Form3"}, backend.visibleForms());
  EXPECT_EQ(dimensionsRunFile(), "120\r\n40\r\n");
  EXPECT_EQ(backend.text("Form2", "Text1"), "120");
  EXPECT_EQ(backend.text("Form4", "Text1"), "0.5");
  EXPECT_TRUE(backend.startedPrograms().empty());
}

TEST_F(ParameterForms, ADimensionsRunFileThatCannotBeWrittenChangesNothingElse) {
  enterInputDescription("120", "40");
  openParameterForm("Command2");
  testsupport::writeFile(sandbox.driveC() / "blocked", "");
  const std::filesystem::path blockedDrive = sandbox.driveC() / "blocked" / "drive";
  ostreltest::DriveCVariable blocked(blockedDrive);
  execute("Form5", "0.5", "3");
  ASSERT_EQ(backend.messageBoxes().size(), 1u);
  const std::string expected =
      "Cannot write the run file c:\\doutinfo.txt (" + (blockedDrive / "doutinfo.txt").string() + "): ";
  EXPECT_EQ(backend.messageBoxes()[0].substr(0, expected.size()), expected);
  EXPECT_EQ(backend.text("Form2", "Text1"), "120");
  EXPECT_EQ(backend.text("Form5", "Text2"), "3");
  EXPECT_EQ(Visible{"Form5"}, backend.visibleForms());
  EXPECT_TRUE(backend.startedPrograms().empty());
  EXPECT_FALSE(backend.quitRequested());
}

TEST_F(ParameterForms, AFailedStartAfterExecuteKeepsTheFileAndTheFrontEnd) {
  enterInputDescription("120", "40");
  openParameterForm("Command3");
  backend.failProgramStarts("not found");
  execute("Form6", "0.5", "3");
  EXPECT_EQ(backend.messageBoxes(), (std::vector<std::string>{"Cannot start averagelinkage.exe: not found"}));
  EXPECT_EQ(dimensionsRunFile(), "120\r\n40\r\n0.5\r\n3\r\n");
  EXPECT_EQ(backend.text("Form6", "Text1"), "");
  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
  EXPECT_FALSE(backend.quitRequested());
}

// ---- The run files meet a real engine ----

namespace {

const char* const Matrix =
    "g1 1.0 2.0\n"
    "g2 1.1 2.1\n"
    "g3 9.0 9.0\n"
    "g4 9.2 9.1\n";

}  // namespace

TEST_F(ParameterForms, AnEngineStartedFromTheFrontEndRunsOnTheRunFilesItWrote) {
  testsupport::writeFile(sandbox.matrixFile(), Matrix);
  selectInputFile("C:\\data\\matrix.txt");
  enterInputDescription("4", "2");
  enterOutputFileName("C:\\data\\result.txt");
  startClustering();
  backend.click("Form3", "Command12");
  ASSERT_EQ(backend.startedPrograms(), (std::vector<std::string>{"varnek.exe"}));

  const testsupport::ProgramResult run = sandbox.run(VARNEK_PATH, "1\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string twoLineResult = sandbox.result();
  EXPECT_NE(twoLineResult.find("g4\tg4\t"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(sandbox.listingFile()));

  // After "Execute" the engine reads the counts from lines 1 and 2 and ignores the rest.
  enterInputDescription("4", "2");
  openParameterForm("Command1");
  execute("Form4", "0.5", "3");
  ASSERT_EQ(dimensionsRunFile(), "4\r\n2\r\n0.5\r\n3\r\n");
  std::filesystem::remove(sandbox.resultFile());
  const testsupport::ProgramResult again = sandbox.run(VARNEK_PATH, "1\n");
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(sandbox.result(), twoLineResult);
}
