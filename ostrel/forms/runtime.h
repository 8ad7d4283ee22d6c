// The form runtime the front end runs on: forms created on first use and afterwards only shown
// and hidden (modeless), text boxes read and replaced, file numbers for run files, the file
// dialog, message boxes, program start, ending the program, and run-time errors.
//
// Invariants:
// - One instance per form class, made by Runtime::instance<F>() at its first use, hidden; no
//   form is ever destroyed before the runtime is.
// - A hidden form keeps the contents of all its controls.
// - Every file opened under a file number is closed, with what was written to it, when the
//   program ends or the runtime goes away.
// - A RuntimeError that escapes a click handler is reported in a message box, then the program
//   ends. Handlers catch the errors they recover from (a cancelled dialog, a run file that
//   cannot be written, a program that cannot be started) themselves.
#pragma once

#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "ostrel/forms/backend.h"
#include "ostrel/forms/model.h"
#include "ostrel/forms/program_starter.h"

namespace ostrel::forms {

class Runtime;

class RuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file dialog cancelled while its cancel-error property was set.
class DialogCancelled : public RuntimeError {
 public:
  DialogCancelled() : RuntimeError("Cancel was selected") {}
};

// A file that cannot be opened for output or written. path() is the path as the program spells
// it, followed by the host path in brackets when that differs ("c:\outinfo.txt (/home/...)");
// reason() is the system's reason.
class FileError : public RuntimeError {
 public:
  FileError(std::string path, std::string reason);
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// A program that cannot be started; names the program and the reason.
class ProgramStartError : public RuntimeError {
 public:
  ProgramStartError(std::string program, std::string reason);
  const std::string& program() const { return program_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string program_;
  std::string reason_;
};

// One form instance: its design and the operations its handlers use.
class Form {
 public:
  explicit Form(Runtime& runtime) : runtime_(runtime) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormModel& model() const { return model_; }
  const std::string& name() const { return model_.name; }

  void show();  // modeless; the first show puts the focus on the first control of the focus order
  void hide();
  bool visible() const { return visible_; }

  std::string text(const std::string& textBox) const;
  void setText(const std::string& textBox, const std::string& text);

  // The user closed the window by its title bar; the runtime has hidden it already.
  virtual void closedByTitleBar() {}

 protected:
  Runtime& runtime() const { return runtime_; }
  FormModel& design() { return model_; }  // filled by the form's constructor only

 private:
  Runtime& runtime_;
  FormModel model_;
  bool visible_ = false;
  bool shownBefore_ = false;
};

// The file dialog control: one object serves the open and the save dialog, and its properties
// (title, filter, file name ...) stay set between uses.
class FileDialog {
 public:
  explicit FileDialog(Runtime& runtime) : runtime_(runtime) {}

  bool cancelError = false;  // cancel raises DialogCancelled instead of returning
  std::string filter;        // "Text (*.txt)|*.txt"
  std::string title;
  std::string fileName;      // the chosen full path after a confirmed dialog; where the next one starts

  void showOpen();
  void showSave();

 private:
  void showDialog(DialogKind kind);
  Runtime& runtime_;
};

class Runtime : private BackendEvents {
 public:
  explicit Runtime(Backend& backend);
  ~Runtime() override;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Backend& backend() { return backend_; }

  // The one instance of form class F (constructed as F(Runtime&)), created hidden at first use.
  template <class F>
  F& instance() {
    if (auto found = instances_.find(typeid(F)); found != instances_.end()) return static_cast<F&>(*found->second);
    auto form = std::make_unique<F>(*this);
    F& created = *form;
    adopt(typeid(F), std::move(form));
    return created;
  }
  Form* findForm(const std::string& name);

  // File numbers. A path on drive C ("c:\...") is resolved through the drive C layer; the
  // drive C folder is created when a file is first opened there.
  int freeFileNumber() const;
  void openForOutput(int fileNumber, const std::string& path);  // creates or empties; FileError
  void printLine(int fileNumber, std::string_view line);        // line + CR LF; RuntimeError, FileError
  void close(int fileNumber);  // writes out and closes; a number with no open file passes silently
  void closeAll();
  bool isOpen(int fileNumber) const;

  void messageBox(const std::string& message);

  void setProgramStarter(ProgramStarter starter);
  void startProgram(const std::string& bareName);  // ProgramStartError

  // Closes every file and leaves the event loop; events after it are ignored.
  void endProgram();
  bool ended() const { return ended_; }

  // The startup form, the main window that the other forms lead back to; start() shows it.
  void start(Form& main);
  Form& mainForm() const;  // std::logic_error before start()

  // Starts with the main form, runs the event loop until the program ends, closes every file.
  int run(Form& main);

  static constexpr const char* MessageBoxTitle = "ostrel";

 private:
  struct OpenFile {
    std::string path;
    std::unique_ptr<std::ofstream> out;
  };

  void adopt(std::type_index type, std::unique_ptr<Form> form);
  void clicked(const std::string& form, const std::string& control) override;
  void closedByTitleBar(const std::string& form) override;

  Backend& backend_;
  std::map<std::type_index, std::unique_ptr<Form>> instances_;
  std::map<std::string, Form*> formsByName_;
  std::map<int, OpenFile> files_;
  ProgramStarter starter_;
  Form* main_ = nullptr;
  bool ended_ = false;
};

}  // namespace ostrel::forms
