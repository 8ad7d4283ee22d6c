#include "ostrel/forms/model.h"

#include <algorithm>
#include <stdexcept>

namespace ostrel::forms {

const ControlModel* FormModel::find(const std::string& controlName) const {
  for (const ControlModel& candidate : controls) {
    if (candidate.name == controlName) return &candidate;
  }
  return nullptr;
}

const ControlModel& FormModel::control(const std::string& controlName) const {
  if (const ControlModel* found = find(controlName)) return *found;
  throw std::out_of_range(name + " has no control " + controlName);
}

namespace {

ControlModel control(std::string name, ControlKind kind, std::string caption, Bounds bounds, int tabIndex,
                     std::string container) {
  ControlModel made;
  made.name = std::move(name);
  made.kind = kind;
  made.caption = std::move(caption);
  made.bounds = bounds;
  made.container = std::move(container);
  made.tabIndex = tabIndex;
  made.takesFocus = kind != ControlKind::Frame && kind != ControlKind::Label;
  return made;
}

}  // namespace

ControlModel frame(std::string name, std::string caption, Bounds bounds, int tabIndex) {
  return control(std::move(name), ControlKind::Frame, std::move(caption), bounds, tabIndex, "");
}

ControlModel button(std::string name, std::string caption, Bounds bounds, int tabIndex, std::function<void()> onClick,
                    std::string container) {
  ControlModel made =
      control(std::move(name), ControlKind::Button, std::move(caption), bounds, tabIndex, std::move(container));
  made.onClick = std::move(onClick);
  return made;
}

ControlModel textBox(std::string name, Bounds bounds, int tabIndex, std::string container) {
  return control(std::move(name), ControlKind::TextBox, "", bounds, tabIndex, std::move(container));
}

ControlModel multiLineTextBox(std::string name, Bounds bounds, int tabIndex, std::string container) {
  return control(std::move(name), ControlKind::MultiLineTextBox, "", bounds, tabIndex, std::move(container));
}

ControlModel label(std::string name, std::string caption, Bounds bounds, int tabIndex, std::string container) {
  return control(std::move(name), ControlKind::Label, std::move(caption), bounds, tabIndex, std::move(container));
}

ControlModel pictureBox(std::string name, Bounds bounds, int tabIndex, PictureResource picture) {
  ControlModel made = control(std::move(name), ControlKind::PictureBox, "", bounds, tabIndex, "");
  made.picture = std::move(picture);
  return made;
}

std::vector<std::string> focusOrder(const FormModel& form) {
  std::vector<const ControlModel*> focusable;
  for (const ControlModel& control : form.controls) {
    if (control.takesFocus) focusable.push_back(&control);
  }
  std::stable_sort(focusable.begin(), focusable.end(),
                   [](const ControlModel* a, const ControlModel* b) { return a->tabIndex < b->tabIndex; });
  std::vector<std::string> names;
  for (const ControlModel* control : focusable) names.push_back(control->name);
  return names;
}

}  // namespace ostrel::forms
