// The design of a form as plain data: caption, client size, and every control with its designer
// name, kind, caption, place and tab index. A form class fills one of these once; the runtime
// and the backends only read it. Geometry is in twips, 15 twips to a pixel. A control sits on
// the form, or inside a frame, whose corner its left and top are then measured from. Controls
// are listed bottom to top: a later control is drawn above an earlier one, so a control that
// belongs to the form but lies over a frame is listed after that frame.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::forms {

inline constexpr int TwipsPerPixel = 15;
constexpr int toPixels(int twips) { return twips / TwipsPerPixel; }

enum class ControlKind {
  Button,
  TextBox,           // one line of text
  MultiLineTextBox,  // long text wraps within the box
  Label,
  Frame,             // a group box with a caption; holds other controls
  PictureBox,        // shows a named picture unscaled from its top-left corner
};

struct Bounds {  // twips: left, top, width, height
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A picture of ours, by name; the backend that draws it supplies its pixels.
struct PictureResource {
  std::string name;
  int widthPixels = 0;
  int heightPixels = 0;
};

struct ControlModel {
  std::string name;     // designer name: "Command1", "Text1", "Frame1", ...
  ControlKind kind = ControlKind::Button;
  std::string caption;  // button, label and frame caption; a text box's text at start
  Bounds bounds;
  std::string container;  // "" for the form itself, else the designer name of a frame
  int tabIndex = 0;
  bool takesFocus = false;  // buttons, text boxes and picture boxes; never frames or labels
  std::optional<PictureResource> picture;  // picture boxes only
  std::function<void()> onClick;           // called by the runtime only, never by a backend
};

struct FormModel {
  std::string name;     // "Form1" ... "Form7"
  std::string caption;  // the window title
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  std::string iconResource;  // "" for the backend's default icon
  std::vector<ControlModel> controls;

  const ControlModel* find(const std::string& control) const;
  const ControlModel& control(const std::string& control) const;  // throws std::out_of_range
};

// Design helpers for the form classes; `container` is "" for the form or a frame's name.
ControlModel frame(std::string name, std::string caption, Bounds bounds, int tabIndex);
ControlModel button(std::string name, std::string caption, Bounds bounds, int tabIndex, std::function<void()> onClick,
                    std::string container = "");
ControlModel textBox(std::string name, Bounds bounds, int tabIndex, std::string container = "");
ControlModel multiLineTextBox(std::string name, Bounds bounds, int tabIndex, std::string container = "");
ControlModel label(std::string name, std::string caption, Bounds bounds, int tabIndex, std::string container = "");
ControlModel pictureBox(std::string name, Bounds bounds, int tabIndex, PictureResource picture);

// The controls that take the focus, by rising tab index: the order Tab walks through; the first
// one has the focus when the form is first shown.
std::vector<std::string> focusOrder(const FormModel& form);

}  // namespace ostrel::forms
