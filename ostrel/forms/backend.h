// What a backend does for the form runtime: native windows for a form's design, showing and
// hiding them, the text of text boxes, the focus, the modal file dialogs and message boxes, and
// the event loop. Two backends exist: real windows (FLTK) and a scripted one that tests drive.
// The form classes never see a backend; they talk to the runtime, which talks to the backend.
//
// Invariants a backend keeps:
// - createWindows comes once per form, before any other call for it; the windows stay hidden
//   until show. Hiding keeps every control and its contents. The FormModel passed there stays
//   valid and unchanged until the runtime goes away, so a backend may keep a pointer to it.
// - A text box's text lives in the backend from createWindows on (starting as the caption);
//   text() returns what the user typed or what setText last put there.
// - Clicks and title-bar closes are only reported to the runtime through BackendEvents. On a
//   title-bar close the backend does not hide or destroy the window itself: the runtime decides
//   (it hides the form, shows another one, or ends the program).
// - Events are delivered one at a time from the event loop; a handler runs to completion
//   (including any modal dialog it opens) before the next event.
#pragma once

#include <optional>
#include <string>

#include "ostrel/forms/model.h"

namespace ostrel::forms {

enum class DialogKind { Open, Save };

struct FileDialogRequest {
  DialogKind kind = DialogKind::Open;
  std::string title;
  // One or more "description|pattern" pairs joined by '|', e.g. "Text (*.txt)|*.txt".
  std::string filter;
  // The file the dialog starts on (its folder and its name); "" for none.
  std::string fileName;
};

// The runtime's side, which the backend notifies.
class BackendEvents {
 public:
  virtual ~BackendEvents() = default;
  virtual void clicked(const std::string& form, const std::string& control) = 0;
  virtual void closedByTitleBar(const std::string& form) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Called once by the runtime before anything else.
  virtual void attach(BackendEvents& events) = 0;

  virtual void createWindows(const FormModel& form) = 0;
  virtual void show(const FormModel& form) = 0;  // modeless, no owner; returns at once
  virtual void hide(const FormModel& form) = 0;
  virtual std::string text(const FormModel& form, const std::string& textBox) = 0;
  virtual void setText(const FormModel& form, const std::string& textBox, const std::string& text) = 0;
  virtual void setFocus(const FormModel& form, const std::string& control) = 0;

  // Modal; the chosen full path, or nothing when the user cancelled.
  virtual std::optional<std::string> runFileDialog(const FileDialogRequest& request) = 0;
  // Modal; returns when the user has dismissed it.
  virtual void messageBox(const std::string& title, const std::string& message) = 0;

  // Runs until quit(); returns at once in the scripted backend, whose events come from the test.
  virtual void runEventLoop() = 0;
  virtual void quit() = 0;
};

}  // namespace ostrel::forms
