#include "ostrel/forms/scripted/scripted_backend.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace ostrel::forms::scripted {

ScriptedBackend::Window& ScriptedBackend::window(const std::string& form) {
  auto found = windows_.find(form);
  if (found == windows_.end()) throw std::logic_error(form + " has not been created");
  return found->second;
}

const ScriptedBackend::Window& ScriptedBackend::window(const std::string& form) const {
  auto found = windows_.find(form);
  if (found == windows_.end()) throw std::logic_error(form + " has not been created");
  return found->second;
}

const ScriptedBackend::Window& ScriptedBackend::shownWindow(const std::string& form, const std::string& control) const {
  const Window& shown = window(form);
  if (!shown.visible) throw std::logic_error(form + " is not shown, so " + control + " cannot be used");
  if (shown.model->find(control) == nullptr) throw std::logic_error(form + " has no control " + control);
  return shown;
}

void ScriptedBackend::click(const std::string& form, const std::string& control) {
  shownWindow(form, control);
  log_.push_back("click " + form + "." + control);
  events_->clicked(form, control);
}

void ScriptedBackend::type(const std::string& form, const std::string& textBox, const std::string& text) {
  const Window& shown = shownWindow(form, textBox);
  const ControlKind kind = shown.model->control(textBox).kind;
  if (kind != ControlKind::TextBox && kind != ControlKind::MultiLineTextBox) {
    throw std::logic_error(form + "." + textBox + " is not a text box");
  }
  window(form).texts[textBox] = text;
}

void ScriptedBackend::closeByTitleBar(const std::string& form) {
  if (!window(form).visible) throw std::logic_error(form + " is not shown, so it cannot be closed");
  log_.push_back("close " + form);
  events_->closedByTitleBar(form);
}

void ScriptedBackend::pressTab(const std::string& form) {
  Window& shown = window(form);
  if (!shown.visible) throw std::logic_error(form + " is not shown");
  const std::vector<std::string> order = focusOrder(*shown.model);
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), shown.focused);
  shown.focused = (at == order.end() || std::next(at) == order.end()) ? order.front() : *std::next(at);
}

void ScriptedBackend::answerNextFileDialog(const std::string& path) { dialogAnswers_.emplace_back(path); }
void ScriptedBackend::cancelNextFileDialog() { dialogAnswers_.emplace_back(std::nullopt); }

bool ScriptedBackend::created(const std::string& form) const { return windows_.count(form) != 0; }

bool ScriptedBackend::visible(const std::string& form) const {
  auto found = windows_.find(form);
  return found != windows_.end() && found->second.visible;
}

std::vector<std::string> ScriptedBackend::visibleForms() const {
  std::vector<std::string> names;
  for (const auto& [name, shown] : windows_) {
    if (shown.visible) names.push_back(name);
  }
  return names;
}

std::string ScriptedBackend::text(const std::string& form, const std::string& textBox) const {
  const Window& shown = window(form);
  auto found = shown.texts.find(textBox);
  if (found == shown.texts.end()) throw std::logic_error(form + "." + textBox + " is not a text box");
  return found->second;
}

std::string ScriptedBackend::focused(const std::string& form) const { return window(form).focused; }

const FormModel& ScriptedBackend::model(const std::string& form) const { return *window(form).model; }

ProgramStarter ScriptedBackend::starter() {
  return [this](const std::string& bareName) {
    log_.push_back("start " + bareName);
    started_.push_back(bareName);
    return startFailure_;
  };
}

void ScriptedBackend::createWindows(const FormModel& form) {
  if (windows_.count(form.name) != 0) throw std::logic_error(form.name + " was created twice");
  Window created;
  created.model = &form;
  for (const ControlModel& control : form.controls) {
    if (control.kind == ControlKind::TextBox || control.kind == ControlKind::MultiLineTextBox) {
      created.texts[control.name] = control.caption;
    }
  }
  windows_.emplace(form.name, std::move(created));
  log_.push_back("create " + form.name);
}

void ScriptedBackend::show(const FormModel& form) {
  window(form.name).visible = true;
  log_.push_back("show " + form.name);
}

void ScriptedBackend::hide(const FormModel& form) {
  window(form.name).visible = false;
  log_.push_back("hide " + form.name);
}

std::string ScriptedBackend::text(const FormModel& form, const std::string& textBox) {
  return std::as_const(*this).text(form.name, textBox);
}

void ScriptedBackend::setText(const FormModel& form, const std::string& textBox, const std::string& text) {
  Window& target = window(form.name);
  auto found = target.texts.find(textBox);
  if (found == target.texts.end()) throw std::logic_error(form.name + "." + textBox + " is not a text box");
  found->second = text;
}

void ScriptedBackend::setFocus(const FormModel& form, const std::string& control) {
  window(form.name).focused = control;
}

std::optional<std::string> ScriptedBackend::runFileDialog(const FileDialogRequest& request) {
  dialogs_.push_back(request);
  if (dialogAnswers_.empty()) throw std::logic_error("a file dialog \"" + request.title + "\" opened with no answer queued");
  std::optional<std::string> answer = dialogAnswers_.front();
  dialogAnswers_.pop_front();
  log_.push_back(std::string(request.kind == DialogKind::Open ? "open" : "save") + " dialog " +
                 (answer ? *answer : std::string("cancelled")));
  return answer;
}

void ScriptedBackend::messageBox(const std::string& title, const std::string& message) {
  messages_.push_back(message);
  log_.push_back("message " + title + ": " + message);
}

void ScriptedBackend::quit() {
  quit_ = true;
  log_.push_back("quit");
}

}  // namespace ostrel::forms::scripted
