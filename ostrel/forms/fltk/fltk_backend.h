// Real windows for the form runtime, drawn with FLTK 1.3. Each form becomes one window of the
// fixed client size of its design (twips / 15 pixels) and each control one widget at its design
// place: buttons, single- and multi-line text boxes (the multi-line box wraps long text within
// its width), labels, group boxes and picture boxes, every caption at a size that fits its
// control (captions.h). Tab walks the controls in the form's focus order, whatever the drawing
// order. A button click and a close by the title bar are reported to the runtime; the window
// itself is never hidden by FLTK on its own (Escape closes nothing). File dialogs are FLTK's own
// chooser (file_dialog.h); message boxes are FLTK's; what the windows tell a window manager is
// in window_hints.h. One backend per program: it owns the display connection and every window.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "ostrel/forms/backend.h"

class Fl_Widget;
class Fl_Window;

namespace ostrel::forms::fltk {

class FltkBackend : public Backend {
 public:
  // Opens the display for FLTK: "" when it is open, else what is wrong. The one connection made
  // here is the one FLTK keeps, so that a server which resets when its last client leaves (as
  // Xvfb does) cannot go away between the check and the windows.
  static std::string openDisplay();

  FltkBackend();  // opens the display unless openDisplay() already did
  ~FltkBackend() override;
  FltkBackend(const FltkBackend&) = delete;
  FltkBackend& operator=(const FltkBackend&) = delete;

  void attach(BackendEvents& events) override { events_ = &events; }
  void createWindows(const FormModel& form) override;
  void show(const FormModel& form) override;
  void hide(const FormModel& form) override;
  std::string text(const FormModel& form, const std::string& textBox) override;
  void setText(const FormModel& form, const std::string& textBox, const std::string& text) override;
  void setFocus(const FormModel& form, const std::string& control) override;
  std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
  void messageBox(const std::string& title, const std::string& message) override;
  void runEventLoop() override;
  void quit() override;

  // The native widgets, for tests that look at the real windows.
  Fl_Window* window(const std::string& form) const;
  Fl_Widget* widget(const std::string& form, const std::string& control) const;

  // Moves the focus as Tab (or Shift+Tab) does on the form whose window holds the focus.
  bool moveFocus(Fl_Window* window, bool backwards);

 private:
  struct FormWindows;
  FormWindows& windows(const std::string& form) const;
  void deliver(const std::string& form, const std::string& control);  // "" control: closed by title bar

  BackendEvents* events_ = nullptr;
  std::map<std::string, std::unique_ptr<FormWindows>> forms_;
  bool quit_ = false;
};

}  // namespace ostrel::forms::fltk
