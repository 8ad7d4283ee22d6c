// The "Algorithms" form and launchProgram: the picture and the twenty buttons, the program each
// direct button starts (after the forms have switched), the parameter form each of the other
// four opens, and a start that fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "front_end_fixture.h"
#include "ostrel/forms/model.h"
#include "ostrel/programs.h"

using namespace ostrel::forms;
using ostreltest::FrontEnd;
using ostreltest::Visible;

namespace {

struct ButtonRow {
  std::string control;
  std::string caption;
  Bounds bounds;
  int tabIndex;
  std::string program;    // started at once, or
  std::string opensForm;  // shown instead
};

const std::vector<ButtonRow> Buttons = {
    {"Command4", "Kmeans", {480, 5280, 1335, 375}, 3, "kmeans.exe", ""},
    {"Command5", "PAM", {480, 5760, 1335, 375}, 4, "pam.exe", ""},
    {"Command6", "TOLVAR", {480, 6240, 1335, 375}, 5, "tolvar.exe", ""},
    {"Command7", "TOLVARS", {480, 6720, 1335, 375}, 6, "tolvars.exe", ""},
    {"Command11", "korrin", {480, 7200, 1335, 375}, 10, "korrin.exe", ""},
    {"Command1", "Single linkage", {2400, 5400, 1335, 375}, 0, "", "Form4"},
    {"Command2", "Complete linkage", {2400, 5880, 1335, 375}, 1, "", "Form5"},
    {"Command3", "Average linkage", {2400, 6360, 1335, 375}, 2, "", "Form6"},
    {"Command9", "DIANA", {2400, 6840, 1335, 375}, 8, "", "Form7"},
    {"Command8", "BIRCH", {2400, 7320, 1335, 375}, 7, "birch.exe", ""},
    {"Command10", "CURE", {2400, 7800, 1335, 375}, 9, "cure.exe", ""},
    {"Command12", "VARNEK", {2400, 8280, 1335, 375}, 11, "varnek.exe", ""},
    {"Command13", "DBSCAN", {4320, 5400, 1095, 375}, 12, "dbscan.exe", ""},
    {"Command14", "OPTICS", {4320, 5880, 1095, 375}, 13, "optics.exe", ""},
    {"Command15", "DENCLUE", {4320, 6360, 1095, 375}, 14, "denclue.exe", ""},
    {"Command17", "STING", {5640, 5400, 1095, 375}, 16, "sting.exe", ""},
    {"Command16", "CLIQUE", {6960, 5400, 1095, 375}, 15, "clique.exe", ""},
    {"Command18", "FCM", {8520, 5400, 1095, 375}, 17, "fcm.exe", ""},
    {"Command19", "GK", {8520, 5880, 1095, 375}, 18, "gk.exe", ""},
    {"Command20", "GA Clustering", {8520, 6360, 1095, 375}, 19, "gaclustering.exe", ""},
};

}  // namespace

TEST_F(FrontEnd, AlgorithmsDesign) {
  startClustering();
  const FormModel& form3 = backend.model("Form3");
  EXPECT_EQ(form3.caption, "Algorithms");
  EXPECT_EQ(form3.clientWidth, 10395);
  EXPECT_EQ(form3.clientHeight, 8760);
  EXPECT_EQ(form3.controls.size(), 21u);

  const ControlModel& picture = form3.control("Picture1");
  EXPECT_EQ(picture.kind, ControlKind::PictureBox);
  EXPECT_EQ((std::vector<int>{picture.bounds.left, picture.bounds.top, picture.bounds.width, picture.bounds.height}),
            (std::vector<int>{360, 120, 9615, 5055}));
  EXPECT_EQ(picture.tabIndex, 20);
  ASSERT_TRUE(picture.picture.has_value());
  EXPECT_EQ(picture.picture->name, "algorithms");
  EXPECT_EQ(picture.picture->widthPixels, 634);
  EXPECT_EQ(picture.picture->heightPixels, 338);

  for (const ButtonRow& row : Buttons) {
    SCOPED_TRACE(row.control);
    const ControlModel& button = form3.control(row.control);
    EXPECT_EQ(button.kind, ControlKind::Button);
    EXPECT_EQ(button.caption, row.caption);
    EXPECT_EQ(button.container, "");
    EXPECT_EQ((std::vector<int>{button.bounds.left, button.bounds.top, button.bounds.width, button.bounds.height}),
              (std::vector<int>{row.bounds.left, row.bounds.top, row.bounds.width, row.bounds.height}));
    EXPECT_EQ(button.tabIndex, row.tabIndex);
  }
}

TEST_F(FrontEnd, AlgorithmsTabOrderRunsByControlNumberThenThePicture) {
  startClustering();
  EXPECT_EQ(backend.focused("Form3"), "Command1");
  std::vector<std::string> walk{backend.focused("Form3")};
  for (int step = 0; step < 21; ++step) {
    backend.pressTab("Form3");
    walk.push_back(backend.focused("Form3"));
  }
  std::vector<std::string> captions;
  for (const std::string& name : walk) {
    const ControlModel& control = backend.model("Form3").control(name);
    captions.push_back(control.kind == ControlKind::PictureBox ? name : control.caption);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"Single linkage", "Complete linkage", "Average linkage", "Kmeans", "PAM",
                                                "TOLVAR", "TOLVARS", "BIRCH", "DIANA", "CURE", "korrin", "VARNEK",
                                                "DBSCAN", "OPTICS", "DENCLUE", "CLIQUE", "STING", "FCM", "GK",
                                                "GA Clustering", "Picture1", "Single linkage"}));
}

TEST_F(FrontEnd, EachDirectButtonSwitchesTheFormsThenStartsItsOwnProgram) {
  selectInputFile("C:\\m.txt");
  enterOutputFileName("C:\\r.txt");
  const std::string shownStatus = status();
  std::vector<std::string> expected;
  for (const ButtonRow& row : Buttons) {
    if (row.program.empty()) continue;
    SCOPED_TRACE(row.caption);
    startClustering();
    backend.clearLog();
    backend.click("Form3", row.control);
    EXPECT_EQ(backend.log(), (std::vector<std::string>{"click Form3." + row.control, "hide Form3", "show Form1",
                                                       "start " + row.program}));
    EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
    EXPECT_EQ(status(), shownStatus);
    expected.push_back(row.program);
  }
  EXPECT_EQ(expected.size(), 16u);
  EXPECT_EQ(backend.startedPrograms(), expected);
  EXPECT_EQ(pathsRunFile(), "C:\\m.txt\r\nC:\\r.txt\r\n");
  EXPECT_TRUE(backend.messageBoxes().empty());
}

TEST_F(FrontEnd, TheFourMethodButtonsOpenTheirParameterFormAndStartNothing) {
  for (const ButtonRow& row : Buttons) {
    if (row.opensForm.empty()) continue;
    SCOPED_TRACE(row.caption);
    startClustering();
    backend.click("Form3", row.control);
    EXPECT_EQ(Visible{row.opensForm}, backend.visibleForms());
    backend.closeByTitleBar(row.opensForm);
    EXPECT_EQ(Visible{"Form3"}, backend.visibleForms());
    backend.closeByTitleBar("Form3");
  }
  EXPECT_TRUE(backend.startedPrograms().empty());
  EXPECT_FALSE(std::filesystem::exists(dimensionsRunFilePath()));
}

TEST_F(FrontEnd, AProgramThatCannotStartIsReportedAndMainWindowStays) {
  selectInputFile("C:\\m.txt");
  const std::string shownStatus = status();
  startClustering();
  backend.failProgramStarts("no program of that name in the front end's folder, the working folder or PATH");
  backend.click("Form3", "Command10");
  EXPECT_EQ(backend.messageBoxes(),
            (std::vector<std::string>{
                "Cannot start cure.exe: no program of that name in the front end's folder, the working folder or PATH"}));
  EXPECT_EQ(Visible{"Form1"}, backend.visibleForms());
  EXPECT_EQ(status(), shownStatus);
  EXPECT_FALSE(backend.quitRequested());
  selectInputFile("C:\\again.txt");  // the front end runs on
  EXPECT_EQ(pathsRunFile(), "C:\\again.txt\r\n");
}

TEST(ProgramNames, FourteenOutsideProgramsOfTheirOwnBesideTheSixEngines) {
  namespace p = ostrel::programs;
  const std::vector<std::string> engines{p::Varnek, p::Tolvar, p::Korrin, p::Cure, p::Sting, p::Birch};
  const std::vector<std::string> outside{p::Kmeans,  p::Pam, p::Tolvars, p::Dbscan,       p::Optics,
                                         p::Denclue, p::Clique, p::Fcm,  p::Gk,           p::GaClustering,
                                         p::SingleLinkage, p::CompleteLinkage, p::AverageLinkage, p::Diana};
  std::set<std::string> distinct(engines.begin(), engines.end());
  for (const std::string& name : outside) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(distinct.insert(name).second);
    EXPECT_TRUE(name.size() > 4 && name.ends_with(".exe"));
    EXPECT_TRUE(std::none_of(name.begin(), name.end(), [](unsigned char c) { return std::isupper(c) || std::isspace(c); }));
  }
  EXPECT_EQ(distinct.size(), 20u);
}
