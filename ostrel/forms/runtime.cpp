#include "ostrel/forms/runtime.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "common/host_path.h"

namespace ostrel::forms {

FileError::FileError(std::string path, std::string reason)
    : RuntimeError("cannot write " + path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}

ProgramStartError::ProgramStartError(std::string program, std::string reason)
    : RuntimeError("cannot start " + program + ": " + reason),
      program_(std::move(program)),
      reason_(std::move(reason)) {}

// ---- Form ----

void Form::show() {
  runtime_.backend().show(model_);
  visible_ = true;
  if (!shownBefore_) {
    shownBefore_ = true;
    const std::vector<std::string> order = focusOrder(model_);
    if (!order.empty()) runtime_.backend().setFocus(model_, order.front());
  }
}

void Form::hide() {
  runtime_.backend().hide(model_);
  visible_ = false;
}

std::string Form::text(const std::string& textBox) const {
  model_.control(textBox);
  return runtime_.backend().text(model_, textBox);
}

void Form::setText(const std::string& textBox, const std::string& text) {
  model_.control(textBox);
  runtime_.backend().setText(model_, textBox, text);
}

// ---- FileDialog ----

void FileDialog::showOpen() { showDialog(DialogKind::Open); }
void FileDialog::showSave() { showDialog(DialogKind::Save); }

void FileDialog::showDialog(DialogKind kind) {
  std::optional<std::string> chosen = runtime_.backend().runFileDialog(FileDialogRequest{kind, title, filter, fileName});
  if (!chosen) {
    if (cancelError) throw DialogCancelled();
    return;
  }
  fileName = *chosen;
}

// ---- Runtime ----

namespace {

// The path as the program spells it and, when that differs, where it lives on this host.
std::string describePath(const std::string& path, const std::filesystem::path& host) {
  return host.string() == path ? path : path + " (" + host.string() + ")";
}

}  // namespace

Runtime::Runtime(Backend& backend) : backend_(backend) { backend_.attach(*this); }

Runtime::~Runtime() { closeAll(); }

void Runtime::adopt(std::type_index type, std::unique_ptr<Form> form) {
  Form& adopted = *form;
  instances_.emplace(type, std::move(form));
  formsByName_[adopted.name()] = &adopted;
  backend_.createWindows(adopted.model());
}

Form* Runtime::findForm(const std::string& name) {
  auto found = formsByName_.find(name);
  return found == formsByName_.end() ? nullptr : found->second;
}

int Runtime::freeFileNumber() const {
  int number = 1;
  while (files_.count(number) != 0) ++number;
  return number;
}

bool Runtime::isOpen(int fileNumber) const { return files_.count(fileNumber) != 0; }

void Runtime::openForOutput(int fileNumber, const std::string& path) {
  if (isOpen(fileNumber)) throw RuntimeError("file number " + std::to_string(fileNumber) + " is already open");
  const std::filesystem::path host = clustering::resolveHostPath(path);
  for (const auto& [number, file] : files_) {
    if (clustering::resolveHostPath(file.path) == host) {
      throw FileError(path, "it is already open under file number " + std::to_string(number));
    }
  }
  if (clustering::onDriveC(path)) {
    std::error_code failure;
    std::filesystem::create_directories(clustering::driveCFolder(), failure);
    if (failure) throw FileError(describePath(path, host), failure.message());
  }
  errno = 0;
  auto out = std::make_unique<std::ofstream>(host, std::ios::binary | std::ios::trunc);
  if (!*out) throw FileError(describePath(path, host), clustering::systemReason());
  files_.emplace(fileNumber, OpenFile{path, std::move(out)});
}

void Runtime::printLine(int fileNumber, std::string_view line) {
  auto found = files_.find(fileNumber);
  if (found == files_.end()) throw RuntimeError("no file is open under file number " + std::to_string(fileNumber));
  std::ofstream& out = *found->second.out;
  errno = 0;
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.write("\r\n", 2);
  out.flush();
  if (!out) {
    const std::filesystem::path host = clustering::resolveHostPath(found->second.path);
    throw FileError(describePath(found->second.path, host), clustering::systemReason());
  }
}

void Runtime::close(int fileNumber) {
  auto found = files_.find(fileNumber);
  if (found == files_.end()) return;
  found->second.out->close();
  files_.erase(found);
}

void Runtime::closeAll() {
  while (!files_.empty()) close(files_.begin()->first);
}

void Runtime::messageBox(const std::string& message) { backend_.messageBox(MessageBoxTitle, message); }

void Runtime::setProgramStarter(ProgramStarter starter) { starter_ = std::move(starter); }

void Runtime::startProgram(const std::string& bareName) {
  if (!starter_) throw ProgramStartError(bareName, "no way to start programs is set up");
  const std::string failure = starter_(bareName);
  if (!failure.empty()) throw ProgramStartError(bareName, failure);
}

void Runtime::endProgram() {
  if (ended_) return;
  ended_ = true;
  closeAll();
  backend_.quit();
}

void Runtime::start(Form& main) {
  main_ = &main;
  main.show();
}

Form& Runtime::mainForm() const {
  if (main_ == nullptr) throw std::logic_error("the front end has not been started: no main form");
  return *main_;
}

int Runtime::run(Form& main) {
  start(main);
  backend_.runEventLoop();
  closeAll();
  return 0;
}

void Runtime::clicked(const std::string& formName, const std::string& controlName) {
  if (ended_) return;
  Form* form = findForm(formName);
  if (form == nullptr) return;
  const ControlModel* control = form->model().find(controlName);
  if (control == nullptr || !control->onClick) return;
  try {
    control->onClick();
  } catch (const RuntimeError& error) {
    messageBox(error.what());
    endProgram();
  }
}

void Runtime::closedByTitleBar(const std::string& formName) {
  if (ended_) return;
  Form* form = findForm(formName);
  if (form == nullptr) return;
  try {
    form->hide();
    form->closedByTitleBar();
  } catch (const RuntimeError& error) {
    messageBox(error.what());
    endProgram();
  }
}

}  // namespace ostrel::forms
