// The real file dialog, in the test process, driven by xdotool as a user drives it: it takes the
// keyboard focus without a window manager, a typed path arrives whole, it offers the one filter
// "Text (*.txt)" and lists only what matches "*.txt", and both the open and the save dialog start
// on the file last chosen, in its folder, so that Enter at once keeps that file. The desktop's
// GTK chooser is never loaded.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/x.H>
#include <X11/Xutil.h>

#include <fstream>
#include <string>
#include <vector>

#include "fltk_windows.h"

using fltktest::FltkWindows;
namespace fs = std::filesystem;

namespace {

const std::string OpenTitle = "Select Input File for Clustering";
const std::string SaveTitle = "Enter Output File for Storing Clustered Output";

template <class W>
W* findWidget(Fl_Group& group) {
  for (int i = 0; i < group.children(); ++i) {
    if (auto* found = dynamic_cast<W*>(group.child(i))) return found;
    if (Fl_Group* inner = group.child(i)->as_group()) {
      if (W* found = findWidget<W>(*inner)) return found;
    }
  }
  return nullptr;
}

// The files the list shows; folders ("../" and the like) end in a slash and are left out.
std::vector<std::string> listedFiles(Fl_File_Browser& browser) {
  std::vector<std::string> names;
  for (int line = 1; line <= browser.size(); ++line) {
    const std::string name = browser.text(line);
    if (!name.empty() && name.back() != '/') names.push_back(name);
  }
  return names;
}

class FileDialog : public FltkWindows {
 protected:
  void SetUp() override {
    FltkWindows::SetUp();
    if (IsSkipped()) return;
    if (!xdotoolInstalled()) GTEST_SKIP() << "xdotool is needed to play the user in the file dialog";
    folder_ = sandbox_->work().parent_path() / "expression data";
    fs::create_directories(folder_);
    for (const char* name : {"alpha.txt", "matrix.txt", "notes.dat"}) std::ofstream(folder_ / name) << "g1 1 2\n";
  }

  void click(const std::string& control) { backend_->widget("Form1", control)->do_callback(); }
  std::string pathsRunFile() const { return testsupport::readFile(sandbox_->driveC() / "outinfo.txt"); }

  // Keys go where the focus is: no window is named, as no user names one.
  void type(const std::string& text) { display().xdotool({"type", "--delay", "20", text}); }
  void key(const std::string& name) { display().xdotool({"key", name}); }

  // Where the dialog starts: the file chosen in the list, and the name in its file-name box.
  static std::string chosenInList(Fl_Window& dialog) {
    Fl_File_Browser* browser = findWidget<Fl_File_Browser>(dialog);
    if (browser == nullptr || browser->value() == 0) return "";
    return browser->text(browser->value());
  }
  static std::string fileNameBox(Fl_Window& dialog) {
    Fl_File_Input* box = findWidget<Fl_File_Input>(dialog);
    return box != nullptr ? box->value() : "";
  }

  fs::path folder_;
};

TEST_F(FileDialog, TakesTheFocusAndATypedPathArrivesWhole) {
  const std::string matrix = (folder_ / "matrix.txt").string();
  duringDialog(OpenTitle, [&](Fl_Window& dialog) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(fl_display, &focus, &revert);
    EXPECT_EQ(focus, fl_xid(&dialog)) << "the dialog did not take the keyboard focus";
    XClassHint classHint{};
    if (XGetClassHint(fl_display, fl_xid(&dialog), &classHint) != 0) {
      EXPECT_STREQ(classHint.res_name, "ostrel");
      XFree(classHint.res_name);
      XFree(classHint.res_class);
    }
    type(matrix);
    key("Return");
  }, [&] { click("Open"); });
  EXPECT_EQ(pathsRunFile(), matrix + "\r\n");
}

TEST_F(FileDialog, OffersTheOneFilterAndListsWhatItMatches) {
  const std::string matrix = (folder_ / "matrix.txt").string();
  duringDialog(OpenTitle, [&](Fl_Window&) {
    type(matrix);
    key("Return");
  }, [&] { click("Open"); });
  duringDialog(OpenTitle, [&](Fl_Window& dialog) {
    Fl_Choice* filters = findWidget<Fl_Choice>(dialog);
    ASSERT_NE(filters, nullptr);
    ASSERT_EQ(filters->size() - 1, 1) << "one filter entry";
    EXPECT_STREQ(filters->text(0), "Text (*.txt)");
    EXPECT_EQ(filters->value(), 0);
    Fl_File_Browser* browser = findWidget<Fl_File_Browser>(dialog);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(listedFiles(*browser), (std::vector<std::string>{"alpha.txt", "matrix.txt"}));
    key("Escape");
  }, [&] { click("Open"); });
}

TEST_F(FileDialog, BothDialogsStartOnTheFileLastChosenInItsFolder) {
  const std::string matrix = (folder_ / "matrix.txt").string();
  const std::string result = (folder_ / "result.txt").string();
  duringDialog(OpenTitle, [&](Fl_Window&) {
    type(matrix);
    key("Return");
  }, [&] { click("Open"); });

  // The second "Select Input File": Enter at once keeps the matrix, not the first file of the folder.
  duringDialog(OpenTitle, [&](Fl_Window& dialog) {
    EXPECT_EQ(chosenInList(dialog), "matrix.txt");
    EXPECT_EQ(fs::path(fileNameBox(dialog)).filename(), "matrix.txt");
    key("Return");
  }, [&] { click("Open"); });
  EXPECT_EQ(pathsRunFile(), matrix + "\r\n");

  // The save dialog starts there too; a name typed over it is taken by "OK".
  duringDialog(SaveTitle, [&](Fl_Window& dialog) {
    EXPECT_EQ(chosenInList(dialog), "matrix.txt");
    key("ctrl+a");
    type(result);
    settle();
    EXPECT_EQ(fileNameBox(dialog), result);
    Fl_Return_Button* ok = findWidget<Fl_Return_Button>(dialog);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->active());
    ok->do_callback();
  }, [&] { click("Command1"); });
  EXPECT_EQ(pathsRunFile(), matrix + "\r\n" + result + "\r\n");

  // And the next open dialog starts on the result, the file the dialog returned last.
  duringDialog(OpenTitle, [&](Fl_Window& dialog) {
    EXPECT_EQ(fs::path(fileNameBox(dialog)).filename(), "result.txt");
    key("Escape");
  }, [&] { click("Open"); });

  std::ifstream maps("/proc/self/maps");
  const std::string mapped((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  EXPECT_EQ(mapped.find("libgtk"), std::string::npos) << "the GTK file chooser was loaded";
}

}  // namespace
