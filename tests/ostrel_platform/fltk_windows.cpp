#include "fltk_windows.h"

#include <FL/Fl_Image.H>
#include <FL/x.H>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ostrel/form1.h"
#include "ostrel/form2.h"
#include "ostrel/form3.h"
#include "ostrel/parameter_form.h"

namespace fltktest {

namespace {

bool viewable(Fl_Window& window) {
  const Window xid = fl_xid(&window);
  XWindowAttributes attributes{};
  return xid != 0 && XGetWindowAttributes(fl_display, xid, &attributes) != 0 && attributes.map_state == IsViewable;
}

struct DialogDriver {
  std::string title;
  std::function<void(Fl_Window&)> act;
  int seenViewable = 0;  // ticks since the dialog was first seen on the screen
  bool acted = false;
  int ticks = 0;
  bool gaveUp = false;
};

constexpr double TickSeconds = 0.1;
constexpr int GiveUpTicks = 100;

void tick(void* data) {
  auto* driver = static_cast<DialogDriver*>(data);
  Fl_Window* dialog = FltkWindows::shownWindow(driver->title);
  ++driver->ticks;
  if (!driver->acted && dialog != nullptr && viewable(*dialog) && ++driver->seenViewable >= 2) {
    // A tick after the dialog came up, so that the display's news of it has been handled.
    driver->acted = true;
    driver->act(*dialog);
  } else if (driver->ticks > GiveUpTicks) {
    // The dialog, and any box it opened in its turn, are closed so that the test can go on.
    driver->gaveUp = true;
    std::vector<Fl_Window*> modal;
    for (Fl_Window* window = Fl::first_window(); window != nullptr; window = Fl::next_window(window)) {
      if (window->modal()) modal.push_back(window);
    }
    for (Fl_Window* window : modal) window->hide();
    return;
  }
  Fl::repeat_timeout(TickSeconds, tick, data);
}

// The display and the home of the whole process: FLTK 1.3 cannot open a display again once it
// has closed one, so every suite of these windows works on the first, and both end with the process.
struct ProcessDisplay {
  std::unique_ptr<testsupport::VirtualDisplay> display;
  std::filesystem::path home;
  ~ProcessDisplay() {
    if (fl_display != nullptr) fl_close_display();
    display.reset();
    std::error_code ignored;
    if (!home.empty()) std::filesystem::remove_all(home, ignored);
  }
};

}  // namespace

unsigned pictureRgb(const Fl_RGB_Image& picture, int x, int y) {
  const auto* pixels = reinterpret_cast<const unsigned char*>(picture.data()[0]);
  const int lineBytes = picture.ld() != 0 ? picture.ld() : picture.w() * picture.d();
  const unsigned char* p = pixels + y * lineBytes + x * picture.d();
  return static_cast<unsigned>((p[0] << 16) | (p[1] << 8) | p[2]);
}

void FltkWindows::SetUpTestSuite() {
  if (display_ != nullptr || !testsupport::installedProgram("Xvfb")) return;
  static ProcessDisplay process;
  process.display = std::make_unique<testsupport::VirtualDisplay>();
  display_ = process.display.get();
  ::setenv("DISPLAY", display_->name().c_str(), 1);
  // FLTK's file chooser keeps its preferences under $HOME: a home of the process's own, so that the
  // tests never touch the user's.
  char homeTemplate[] = "/tmp/fltk_windows_home_XXXXXX";
  if (::mkdtemp(homeTemplate) != nullptr) {
    process.home = homeTemplate;
    ::setenv("HOME", homeTemplate, 1);
  }
}

void FltkWindows::SetUp() {
  if (display_ == nullptr) GTEST_SKIP() << "Xvfb is needed for the window tests";
  sandbox_ = std::make_unique<testsupport::EngineRun>();
  ::setenv("CLUSTERING_DRIVE_C", sandbox_->driveC().c_str(), 1);
  savedWorkingFolder_ = std::filesystem::current_path();
  std::filesystem::current_path(sandbox_->work());

  std::fflush(stderr);
  errorCapture_ = sandbox_->work().parent_path() / "error-stream.txt";
  const int capture = ::open(errorCapture_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(capture, 0);
  savedErrorStream_ = ::dup(2);
  ::dup2(capture, 2);
  ::close(capture);

  backend_ = std::make_unique<ostrel::forms::fltk::FltkBackend>();
  runtime_ = std::make_unique<ostrel::forms::Runtime>(*backend_);
  runtime_->setProgramStarter([this](const std::string& name) {
    started_.push_back(name);
    return std::string();
  });
  runtime_->start(runtime_->instance<ostrel::Form1>());
  settle();
}

void FltkWindows::TearDown() {
  runtime_.reset();
  backend_.reset();
  if (display_ != nullptr) settle();
  if (savedErrorStream_ >= 0) {
    std::fflush(stderr);
    ::dup2(savedErrorStream_, 2);
    ::close(savedErrorStream_);
    EXPECT_EQ(testsupport::readFile(errorCapture_), "") << "the error stream during the test";
  }
  if (!savedWorkingFolder_.empty()) std::filesystem::current_path(savedWorkingFolder_);
  sandbox_.reset();
}

void FltkWindows::settle() {
  Fl::flush();
  for (int i = 0; i < 20; ++i) Fl::wait(0.01);
}

bool FltkWindows::xdotoolInstalled() { return testsupport::installedProgram("xdotool").has_value(); }

std::vector<std::string> FltkWindows::createEveryForm() {
  runtime_->instance<ostrel::Form2>();
  runtime_->instance<ostrel::Form3>();
  runtime_->instance<ostrel::Form4>();
  runtime_->instance<ostrel::Form5>();
  runtime_->instance<ostrel::Form6>();
  runtime_->instance<ostrel::Form7>();
  return {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6", "Form7"};
}

std::string FltkWindows::focusedControl(const std::string& form) const {
  const ostrel::forms::Form* shown = runtime_->findForm(form);
  for (const auto& control : shown->model().controls) {
    if (backend_->widget(form, control.name) == Fl::focus()) return control.name;
  }
  return "";
}

std::vector<std::string> FltkWindows::tabWalk(const std::string& form, int presses, bool backwards) {
  std::vector<std::string> visited{focusedControl(form)};
  for (int i = 0; i < presses; ++i) {
    backend_->moveFocus(backend_->window(form), backwards);
    visited.push_back(focusedControl(form));
  }
  return visited;
}

Fl_Window* FltkWindows::shownWindow(const std::string& title) {
  for (Fl_Window* window = Fl::first_window(); window != nullptr; window = Fl::next_window(window)) {
    if (window->parent() == nullptr && window->label() != nullptr && title == window->label()) return window;
  }
  return nullptr;
}

void FltkWindows::duringDialog(const std::string& title, const std::function<void(Fl_Window&)>& act,
                               const std::function<void()>& start) {
  DialogDriver driver{title, act};
  Fl::add_timeout(TickSeconds, tick, &driver);
  start();
  Fl::remove_timeout(tick, &driver);
  EXPECT_TRUE(driver.acted) << "no dialog \"" << title << "\" came up";
  EXPECT_FALSE(driver.gaveUp) << "the dialog \"" << title << "\" was still open after ten seconds";
}

}  // namespace fltktest
