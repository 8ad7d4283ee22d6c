// A backend without windows, driven by tests: click a control by name, type into a box, close a
// window by its title bar, answer the next file dialog with a path or a cancel, and read back
// texts, visibility, focus, the dialogs and message boxes shown and the programs started.
// Every step is also written to one log, in order ("show Form1", "hide Form3",
// "start cure.exe", "message ..."), so a test can check what happened before what.
//
// A click or a key on a form that is not shown, or a control that does not exist, is a mistake
// of the test and throws std::logic_error; so does a file dialog that no answer was queued for.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ostrel/forms/backend.h"
#include "ostrel/forms/program_starter.h"

namespace ostrel::forms::scripted {

class ScriptedBackend : public Backend {
 public:
  // What the test does.
  void click(const std::string& form, const std::string& control);
  void type(const std::string& form, const std::string& textBox, const std::string& text);  // replaces the text
  void closeByTitleBar(const std::string& form);
  void pressTab(const std::string& form);  // moves the focus to the next control of the focus order
  void answerNextFileDialog(const std::string& path);
  void cancelNextFileDialog();

  // What the test reads back.
  bool created(const std::string& form) const;
  bool visible(const std::string& form) const;
  std::vector<std::string> visibleForms() const;  // by name, sorted
  std::string text(const std::string& form, const std::string& textBox) const;
  std::string focused(const std::string& form) const;  // "" when no control of it has the focus
  const FormModel& model(const std::string& form) const;
  const std::vector<FileDialogRequest>& fileDialogs() const { return dialogs_; }
  const std::vector<std::string>& messageBoxes() const { return messages_; }
  const std::vector<std::string>& startedPrograms() const { return started_; }
  const std::vector<std::string>& log() const { return log_; }
  bool quitRequested() const { return quit_; }
  void clearLog() { log_.clear(); }

  // A program starter that records each bare name (and logs "start <name>"); it fails with
  // `failure` as the reason when that is not empty.
  ProgramStarter starter();
  void failProgramStarts(const std::string& reason) { startFailure_ = reason; }

  // Backend
  void attach(BackendEvents& events) override { events_ = &events; }
  void createWindows(const FormModel& form) override;
  void show(const FormModel& form) override;
  void hide(const FormModel& form) override;
  std::string text(const FormModel& form, const std::string& textBox) override;
  void setText(const FormModel& form, const std::string& textBox, const std::string& text) override;
  void setFocus(const FormModel& form, const std::string& control) override;
  std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
  void messageBox(const std::string& title, const std::string& message) override;
  void runEventLoop() override {}
  void quit() override;

 private:
  struct Window {
    const FormModel* model = nullptr;
    bool visible = false;
    std::string focused;
    std::map<std::string, std::string> texts;
  };
  Window& window(const std::string& form);
  const Window& window(const std::string& form) const;
  const Window& shownWindow(const std::string& form, const std::string& control) const;

  BackendEvents* events_ = nullptr;
  std::map<std::string, Window> windows_;
  std::deque<std::optional<std::string>> dialogAnswers_;
  std::vector<FileDialogRequest> dialogs_;
  std::vector<std::string> messages_;
  std::vector<std::string> started_;
  std::vector<std::string> log_;
  std::string startFailure_;
  bool quit_ = false;
};

}  // namespace ostrel::forms::scripted
