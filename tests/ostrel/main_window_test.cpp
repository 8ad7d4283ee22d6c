// The main window and the input-parameters form: their design, the run-file workflow with its
// exact bytes and status texts, and the mended faults (cancels, repeated choices, a result file
// that is the matrix, run files that cannot be written, windows closed by their title bar).
#include <gtest/gtest.h>

#include "front_end_fixture.h"
#include "ostrel/forms/model.h"

using namespace ostrel::forms;
using ostreltest::FrontEnd;
using ostreltest::Visible;
using testsupport::crlf;

namespace {

const std::string Matrix = "C:\\My Data\\set one.txt";
const std::string Result = "C:\\Results\\out 1.txt";

const std::string InputStatus =
    "Selected input file for clustering is C:\\My Data\\set one.txt.    Next action: Click [Enter Input Description] "
    "to enter number of genes and samples in input file C:\\My Data\\set one.txt";
const std::string OutputStatus =
    "Selected file for storing result is C:\\Results\\out 1.txt.    Next action: Click [Start Clustering] to start "
    "VTRQ clustering";

std::string describe(const ControlModel& control) {
  std::ostringstream out;
  out << control.name << " " << static_cast<int>(control.kind) << " \"" << control.caption << "\" on "
      << (control.container.empty() ? "form" : control.container) << " at " << control.bounds.left << ","
      << control.bounds.top << "," << control.bounds.width << "," << control.bounds.height << " tab "
      << control.tabIndex << (control.takesFocus ? " focus" : "");
  return out.str();
}

std::vector<std::string> describe(const FormModel& form) {
  std::vector<std::string> lines{form.name + " \"" + form.caption + "\" " + std::to_string(form.clientWidth) + "x" +
                                 std::to_string(form.clientHeight)};
  for (const ControlModel& control : form.controls) lines.push_back(describe(control));
  std::sort(lines.begin() + 1, lines.end());
  return lines;
}

}  // namespace

TEST_F(FrontEnd, MainWindowDesign) {
  const FormModel& form1 = backend.model("Form1");
  EXPECT_EQ(describe(form1),
            (std::vector<std::string>{
                "Form1 \"Clustering and biclustering tool\" 5400x3810",
                "Command1 0 \"Enter Output File Name\" on Frame1 at 120,1680,1695,495 tab 2 focus",
                "Command2 0 \"Start Clustering\" on Frame1 at 120,2280,1695,375 tab 3 focus",
                "Command3 0 \"Exit\" on Frame1 at 480,2880,735,495 tab 4 focus",
                "Command4 0 \"Enter Input Description\" on Frame1 at 120,960,1695,495 tab 7 focus",
                "Frame1 4 \"Controls\" on form at 120,240,2055,3495 tab 1",
                "Frame2 4 \"Help Window\" on form at 3000,360,2175,3255 tab 5",
                "Open 0 \"Select Input File\" on form at 240,600,1695,375 tab 0 focus",
                "Text1 2 \"\" on Frame2 at 120,240,1935,2895 tab 6 focus",
            }));
  EXPECT_EQ(form1.iconResource, "ostrel");
  EXPECT_EQ(toPixels(form1.clientWidth), 360);
  EXPECT_EQ(toPixels(form1.clientHeight), 254);
  // "Select Input File" lies over the frame, so it is drawn after it.
  auto position = [&](const std::string& name) { return &form1.control(name) - form1.controls.data(); };
  EXPECT_GT(position("Open"), position("Frame1"));

  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
  EXPECT_EQ(status(), "");
  EXPECT_EQ(runtime.instance<ostrel::Form1>().pathsFileNumber(), 0);
  EXPECT_EQ(backend.focused("Form1"), "Open");
  std::vector<std::string> walk;
  for (int step = 0; step < 6; ++step) {
    backend.pressTab("Form1");
    walk.push_back(backend.focused("Form1"));
  }
  EXPECT_EQ(walk, (std::vector<std::string>{"Command1", "Command2", "Command3", "Text1", "Command4", "Open"}));
}

TEST_F(FrontEnd, InputParametersDesign) {
  backend.click("Form1", "Command4");
  const FormModel& form2 = backend.model("Form2");
  EXPECT_EQ(describe(form2), (std::vector<std::string>{
                                 "Form2 \"Input parameters\" 4680x3120",
                                 "Command1 0 \"Submit\" on form at 1560,2400,1095,495 tab 5 focus",
                                 "Frame1 4 \"Enter Data\" on form at 360,240,4095,1935 tab 1",
                                 "Label1 3 \"Number of Genes in Input File\" on Frame1 at 1320,480,2295,495 tab 2",
                                 "Label2 3 \"Number of Samples in Input File\" on Frame1 at 1320,1320,2415,255 tab 4",
                                 "Text1 1 \"\" on form at 480,600,1095,375 tab 0 focus",
                                 "Text2 1 \"\" on Frame1 at 120,1200,1095,375 tab 3 focus",
                             }));
  EXPECT_EQ(focusOrder(form2), (std::vector<std::string>{"Text1", "Text2", "Command1"}));
  EXPECT_EQ(backend.focused("Form2"), "Text1");
}

TEST_F(FrontEnd, TheStepsInStatusOrderWriteBothRunFilesAndLeadTheUser) {
  selectInputFile(Matrix);
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n"));
  EXPECT_EQ(status(), InputStatus);
  EXPECT_NE(runtime.instance<ostrel::Form1>().pathsFileNumber(), 0);

  backend.click("Form1", "Command4");
  EXPECT_EQ(Visible{"Form2"}, backend.visibleForms());
  EXPECT_EQ(backend.text("Form2", "Text1"), "");
  backend.type("Form2", "Text1", "120");
  backend.type("Form2", "Text2", "40");
  backend.click("Form2", "Command1");
  EXPECT_EQ(dimensionsRunFile(), "120\r\n40\r\n");
  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
  EXPECT_EQ(status(),
            "Number of gene in input file is 120 and number of samples are 40. If entries are correct then next "
            "action: Click [Enter Output File Name] to select file name that will store result");

  enterOutputFileName(Result);
  EXPECT_EQ(status(), OutputStatus);
  startClustering();
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n" + Result + "\n"));
  EXPECT_FALSE(runtime.isOpen(runtime.instance<ostrel::Form1>().pathsFileNumber()));
  EXPECT_EQ(Visible{"Form3"}, backend.visibleForms());
  EXPECT_EQ(status(), OutputStatus);
  EXPECT_TRUE(backend.messageBoxes().empty());

  ASSERT_EQ(backend.fileDialogs().size(), 2u);
  const FileDialogRequest& open = backend.fileDialogs()[0];
  EXPECT_EQ(open.kind, DialogKind::Open);
  EXPECT_EQ(open.title, "Select Input File for Clustering");
  EXPECT_EQ(open.filter, "Text (*.txt)|*.txt");
  EXPECT_EQ(open.fileName, "");
  const FileDialogRequest& save = backend.fileDialogs()[1];
  EXPECT_EQ(save.kind, DialogKind::Save);
  EXPECT_EQ(save.title, "Enter Output File for Storing Clustered Output");
  EXPECT_EQ(save.filter, "Text (*.txt)|*.txt");
  EXPECT_EQ(save.fileName, Matrix);  // the save dialog starts on the file last chosen
}

// The one dialog control keeps the file name it last returned: whichever dialog comes next, open
// or save, starts on that file, and a cancel leaves it as it was.
TEST_F(FrontEnd, EachDialogStartsOnTheFileTheDialogLastReturned) {
  selectInputFile(Matrix);
  enterOutputFileName(Result);
  selectInputFile("C:\\other.txt");
  backend.cancelNextFileDialog();
  backend.click("Form1", "Command1");
  enterOutputFileName("C:\\other result.txt");
  std::vector<std::pair<DialogKind, std::string>> starts;
  for (const FileDialogRequest& request : backend.fileDialogs()) starts.emplace_back(request.kind, request.fileName);
  EXPECT_EQ(starts, (std::vector<std::pair<DialogKind, std::string>>{{DialogKind::Open, ""},
                                                                     {DialogKind::Save, Matrix},
                                                                     {DialogKind::Open, Result},
                                                                     {DialogKind::Save, "C:\\other.txt"},
                                                                     {DialogKind::Save, "C:\\other.txt"}}));
}

TEST_F(FrontEnd, TheTwoRunFilesAreWrittenIndependently) {
  selectInputFile("C:\\data\\m.txt");
  enterOutputFileName("C:\\data\\r.txt");
  enterInputDescription("7", "3");
  startClustering();
  EXPECT_EQ(pathsRunFile(), "C:\\data\\m.txt\r\nC:\\data\\r.txt\r\n");
  EXPECT_EQ(dimensionsRunFile(), "7\r\n3\r\n");
}

TEST_F(FrontEnd, SubmitWritesTheTextsUnchangedAndRewritesTheFileWhole) {
  enterInputDescription("", "");
  EXPECT_EQ(dimensionsRunFile(), "\r\n\r\n");
  EXPECT_EQ(status(),
            "Number of gene in input file is  and number of samples are . If entries are correct then next action: "
            "Click [Enter Output File Name] to select file name that will store result");

  enterInputDescription(" 12 ", "many");
  EXPECT_EQ(dimensionsRunFile(), " 12 \r\nmany\r\n");
  enterInputDescription("5", "2");
  EXPECT_EQ(dimensionsRunFile(), "5\r\n2\r\n");
}

TEST_F(FrontEnd, HiddenInputParametersKeepTheirTexts) {
  enterInputDescription("120", "40");
  backend.click("Form1", "Command4");
  EXPECT_EQ(backend.text("Form2", "Text1"), "120");
  EXPECT_EQ(backend.text("Form2", "Text2"), "40");
  EXPECT_EQ(backend.log().back(), "show Form2");
}

TEST_F(FrontEnd, PathsAreWrittenAsChosen) {
  selectInputFile("C:\\two  blanks\\no extension");
  enterOutputFileName("/home/user/result");
  startClustering();
  EXPECT_EQ(pathsRunFile(), "C:\\two  blanks\\no extension\r\n/home/user/result\r\n");
}

TEST_F(FrontEnd, ExitEndsTheProgramKeepingTheLinesWrittenSoFar) {
  selectInputFile(Matrix);
  backend.click("Form1", "Command3");
  EXPECT_TRUE(backend.quitRequested());
  EXPECT_TRUE(runtime.ended());
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n"));
}

TEST_F(FrontEnd, ASecondRunStartsANewPathsRunFile) {
  selectInputFile(Matrix);
  enterOutputFileName(Result);
  startClustering();
  backend.click("Form3", "Command12");
  EXPECT_EQ(status(), OutputStatus);
  selectInputFile("C:\\other.txt");
  EXPECT_EQ(pathsRunFile(), "C:\\other.txt\r\n");
  enterOutputFileName("C:\\other result.txt");
  startClustering();
  EXPECT_EQ(pathsRunFile(), "C:\\other.txt\r\nC:\\other result.txt\r\n");
}

// ---- Mended faults ----

TEST_F(FrontEnd, CancellingTheOpenDialogChangesNothing) {
  backend.cancelNextFileDialog();
  backend.click("Form1", "Open");
  EXPECT_FALSE(std::filesystem::exists(pathsRunFilePath()));
  EXPECT_EQ(status(), "");

  selectInputFile(Matrix);
  enterOutputFileName(Result);
  startClustering();
  backend.click("Form3", "Command12");
  backend.cancelNextFileDialog();
  backend.click("Form1", "Open");
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n" + Result + "\n"));
  EXPECT_EQ(status(), OutputStatus);
  EXPECT_FALSE(backend.quitRequested());
  EXPECT_TRUE(backend.messageBoxes().empty());
  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
}

TEST_F(FrontEnd, CancellingTheSaveDialogWritesNothing) {
  selectInputFile(Matrix);
  backend.cancelNextFileDialog();
  backend.click("Form1", "Command1");
  EXPECT_EQ(status(), InputStatus);
  startClustering();
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n"));
  EXPECT_FALSE(backend.quitRequested());
}

TEST_F(FrontEnd, ASecondSelectInputFileStartsTheRunFileAgain) {
  selectInputFile("C:\\first.txt");
  enterOutputFileName("C:\\first result.txt");
  selectInputFile(Matrix);
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n"));
  EXPECT_EQ(status(), InputStatus);
  enterOutputFileName(Result);
  startClustering();
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n" + Result + "\n"));
  EXPECT_TRUE(backend.messageBoxes().empty());
}

TEST_F(FrontEnd, OutputFileNameWithoutAnOpenRunFileAsksForTheInputFileFirst) {
  const std::string hint =
      "No input file is selected for this run. Click [Select Input File] first, then [Enter Output File Name].";
  backend.click("Form1", "Command1");
  EXPECT_EQ(backend.messageBoxes(), (std::vector<std::string>{hint}));
  EXPECT_TRUE(backend.fileDialogs().empty());
  EXPECT_FALSE(std::filesystem::exists(pathsRunFilePath()));

  selectInputFile(Matrix);
  enterOutputFileName(Result);
  startClustering();
  backend.click("Form3", "Command12");
  backend.click("Form1", "Command1");  // the run file was closed by "Start Clustering"
  EXPECT_EQ(backend.messageBoxes(), (std::vector<std::string>{hint, hint}));
  EXPECT_EQ(backend.fileDialogs().size(), 2u);
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n" + Result + "\n"));
  EXPECT_EQ(status(), OutputStatus);
  EXPECT_FALSE(backend.quitRequested());
}

TEST_F(FrontEnd, ARepeatedOutputFileNameReplacesLineTwo) {
  selectInputFile(Matrix);
  enterOutputFileName("C:\\first choice.txt");
  enterOutputFileName("C:\\second choice.txt");
  enterOutputFileName(Result);
  EXPECT_EQ(status(), OutputStatus);
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n" + Result + "\n"));
  startClustering();
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n" + Result + "\n"));
  EXPECT_EQ(backend.fileDialogs().back().fileName, "C:\\second choice.txt");
}

TEST_F(FrontEnd, AResultFileThatIsTheInputFileIsRefused) {
  testsupport::writeFile(sandbox.driveC() / "data" / "m.txt", "g1 1 2\n");
  selectInputFile("C:\\data\\m.txt");
  backend.answerNextFileDialog("C:\\data\\m.txt");  // the save dialog confirmed as it opened
  backend.click("Form1", "Command1");
  enterOutputFileName("c:\\DATA\\..\\data\\m.txt");
  enterOutputFileName(sandbox.driveC().string() + "/data/m.txt");
  const std::string refusal = "The result file C:\\data\\m.txt is the input file itself; the engine would empty it. "
                              "Choose another result file.";
  ASSERT_EQ(backend.messageBoxes().size(), 3u);
  EXPECT_EQ(backend.messageBoxes()[0], refusal);
  EXPECT_EQ(pathsRunFile(), "C:\\data\\m.txt\r\n");
  EXPECT_EQ(status(), "Selected input file for clustering is C:\\data\\m.txt.    Next action: Click [Enter Input "
                      "Description] to enter number of genes and samples in input file C:\\data\\m.txt");
  EXPECT_EQ(testsupport::readFile(sandbox.driveC() / "data" / "m.txt"), "g1 1 2\n");

  enterOutputFileName("C:\\data\\r.txt");  // a different file is still taken
  EXPECT_EQ(pathsRunFile(), "C:\\data\\m.txt\r\nC:\\data\\r.txt\r\n");
  EXPECT_FALSE(backend.quitRequested());
}

TEST_F(FrontEnd, RunFilesThatCannotBeWrittenAreReportedAndTheProgramRunsOn) {
  testsupport::writeFile(sandbox.driveC() / "blocked", "");
  const std::filesystem::path blockedDrive = sandbox.driveC() / "blocked" / "drive";
  ostreltest::DriveCVariable blocked(blockedDrive);

  selectInputFile(Matrix);
  ASSERT_EQ(backend.messageBoxes().size(), 1u);
  const std::string paths = "Cannot write the run file c:\\outinfo.txt (" + (blockedDrive / "outinfo.txt").string() + "): ";
  EXPECT_EQ(backend.messageBoxes()[0].substr(0, paths.size()), paths);
  EXPECT_GT(backend.messageBoxes()[0].size(), paths.size());
  EXPECT_EQ(status(), "");
  EXPECT_FALSE(backend.quitRequested());

  backend.click("Form1", "Command4");
  backend.type("Form2", "Text1", "120");
  backend.click("Form2", "Command1");
  ASSERT_EQ(backend.messageBoxes().size(), 2u);
  const std::string dimensions =
      "Cannot write the run file c:\\doutinfo.txt (" + (blockedDrive / "doutinfo.txt").string() + "): ";
  EXPECT_EQ(backend.messageBoxes()[1].substr(0, dimensions.size()), dimensions);
  EXPECT_EQ(Visible{"Form2"}, backend.visibleForms());  // the user can try again
  EXPECT_EQ(backend.text("Form2", "Text1"), "120");
  EXPECT_FALSE(backend.quitRequested());
}

TEST_F(FrontEnd, StartClusteringWithoutAnOpenRunFilePassesSilently) {
  startClustering();
  EXPECT_EQ(Visible{"Form3"}, backend.visibleForms());
  EXPECT_TRUE(backend.messageBoxes().empty());
  EXPECT_FALSE(std::filesystem::exists(pathsRunFilePath()));
}

TEST_F(FrontEnd, ClosingWindowsByTheirTitleBar) {
  backend.click("Form1", "Command4");
  backend.type("Form2", "Text1", "120");
  backend.closeByTitleBar("Form2");
  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
  EXPECT_FALSE(std::filesystem::exists(dimensionsRunFilePath()));
  backend.click("Form1", "Command4");
  EXPECT_EQ(backend.text("Form2", "Text1"), "120");
  backend.click("Form2", "Command1");

  startClustering();
  backend.closeByTitleBar("Form3");
  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
  EXPECT_FALSE(backend.quitRequested());

  selectInputFile(Matrix);
  backend.closeByTitleBar("Form1");
  EXPECT_TRUE(backend.quitRequested());
  EXPECT_EQ(pathsRunFile(), crlf(Matrix + "\n"));
  EXPECT_FALSE(runtime.isOpen(runtime.instance<ostrel::Form1>().pathsFileNumber()));
}
