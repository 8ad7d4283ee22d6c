#include "ostrel/forms/fltk/fltk_backend.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <list>
#include <stdexcept>
#include <vector>

#include "ostrel/forms/fltk/captions.h"
#include "ostrel/forms/fltk/file_dialog.h"
#include "ostrel/forms/fltk/pictures.h"
#include "ostrel/forms/fltk/window_hints.h"

namespace ostrel::forms::fltk {

namespace {

constexpr int InputTextSize = 11;

Fl_Align captionAlign(Fl_Align placement, ControlKind kind, int height, int size) {
  return placement | FL_ALIGN_INSIDE | (captionWraps(kind, height, size) ? FL_ALIGN_WRAP : 0);
}

// A group box: an engraved frame with its caption set into the top line.
class FrameGroup : public Fl_Group {
 public:
  FrameGroup(int x, int y, int w, int h, const std::string& caption) : Fl_Group(x, y, w, h) {
    copy_label(caption.c_str());
    align(FL_ALIGN_INSIDE);  // the parent must not draw the caption outside; draw() does
    end();
  }

 protected:
  void draw() override {
    if (damage() & ~FL_DAMAGE_CHILD) {
      fl_color(color());
      fl_rectf(x(), y(), w(), h());
      fl_font(labelfont(), labelsize());
      const int captionHeight = fl_height();
      const int lineTop = y() + captionHeight / 2;
      fl_draw_box(FL_ENGRAVED_FRAME, x(), lineTop, w(), h() - (lineTop - y()), color());
      if (label() != nullptr && *label() != '\0') {
        const int captionWidth = static_cast<int>(fl_width(label()));
        fl_color(color());
        fl_rectf(x() + FrameCaptionInset - 2, y(), captionWidth + 4, captionHeight);
        fl_color(labelcolor());
        fl_draw(label(), x() + FrameCaptionInset, y() + captionHeight - fl_descent());
      }
    }
    draw_children();
  }
};

// A picture box: a sunken border, the picture drawn unscaled from the inner corner and cut off
// where the box ends. It takes the focus like any other stop of the tab order.
class PictureView : public Fl_Widget {
 public:
  PictureView(int x, int y, int w, int h, const Fl_RGB_Image* picture) : Fl_Widget(x, y, w, h), picture_(picture) {
    box(FL_DOWN_BOX);
    color(FL_BACKGROUND_COLOR);
  }

 protected:
  void draw() override {
    draw_box();
    const int inset = Fl::box_dx(box());
    if (picture_ != nullptr) {
      fl_push_clip(x() + inset, y() + inset, w() - 2 * inset, h() - 2 * inset);
      const_cast<Fl_RGB_Image*>(picture_)->draw(x() + inset, y() + inset);
      fl_pop_clip();
    }
    if (Fl::focus() == this) draw_focus();
  }
  int handle(int event) override {
    switch (event) {
      case FL_FOCUS:
      case FL_UNFOCUS:
        redraw();
        return 1;
      case FL_PUSH:
        take_focus();
        return 1;
      default:
        return Fl_Widget::handle(event);
    }
  }

 private:
  const Fl_RGB_Image* picture_;
};

// The window of one form, of the fixed size of its design. A close request by the title bar is
// passed on; Escape, which FLTK would also treat as a close, is not one.
class FormWindow : public Fl_Double_Window {
 public:
  FormWindow(int w, int h, const std::string& caption) : Fl_Double_Window(w, h) {
    copy_label(caption.c_str());
    end();
    keepFixedSize(*this);
  }
  void show() override {
    Fl_Double_Window::show();
    offerNoMaximise(*this);  // FLTK writes its own hints as it makes the window: ours come after
  }
};

// The multi-line text box: the text wraps at the box's inner edge, a word wider than the box
// breaking where the edge is, so that nothing ever scrolls sideways; a scroll bar appears only
// when the text is taller than the box.
class WrappingTextBox : public Fl_Text_Editor {
 public:
  WrappingTextBox(int x, int y, int w, int h) : Fl_Text_Editor(x, y, w, h), buffer_(new Fl_Text_Buffer()) {
    buffer(buffer_);
    wrap_mode(WRAP_AT_BOUNDS, 0);
    textsize(InputTextSize);
  }
  ~WrappingTextBox() override {
    buffer(nullptr);
    delete buffer_;
  }
  std::string text() const {
    char* copy = buffer_->text();
    std::string text(copy);
    std::free(copy);
    return text;
  }
  void text(const std::string& text) { buffer_->text(text.c_str()); }

 private:
  Fl_Text_Buffer* buffer_;
};

FltkBackend* activeBackend = nullptr;

// Tab and Shift+Tab are taken before any widget or group sees them, so that the focus follows
// the tab indices of the design rather than the order in which the widgets are drawn.
int dispatch(int event, Fl_Window* window) {
  if (event == FL_SHOW && window != nullptr) windowShown(*window);
  if (event == FL_KEYBOARD && Fl::event_key() == FL_Tab && !Fl::event_state(FL_CTRL | FL_ALT | FL_META) &&
      activeBackend != nullptr) {
    Fl_Window* focusWindow = Fl::focus() != nullptr ? Fl::focus()->window() : window;
    if (Fl::focus() != nullptr && Fl::focus()->as_window() != nullptr) focusWindow = Fl::focus()->as_window();
    if (activeBackend->moveFocus(focusWindow, Fl::event_state(FL_SHIFT) != 0)) return 1;
  }
  return Fl::handle_(event, window);
}

}  // namespace

struct FltkBackend::FormWindows {
  struct Source {  // what a widget's callback reports
    FltkBackend* backend;
    std::string form;
    std::string control;
  };
  const FormModel* model = nullptr;
  std::unique_ptr<FormWindow> window;
  std::map<std::string, Fl_Widget*> widgets;
  std::list<Source> sources;
  std::vector<std::vector<unsigned char>> iconPixels;
  std::vector<std::unique_ptr<Fl_RGB_Image>> icons;
  Fl_Widget* lastFocus = nullptr;  // given back when the form is shown again
};

std::string FltkBackend::openDisplay() {
  if (fl_display != nullptr) return "";
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return "no display to open the windows on: DISPLAY is not set";
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return std::string("cannot open the display \"") + name + "\"";
  fl_open_display(display);
  return "";
}

FltkBackend::FltkBackend() {
  fl_open_display();
  nameWindowClass();
  Fl::visible_focus(1);
  activeBackend = this;
  Fl::event_dispatch(dispatch);
}

FltkBackend::~FltkBackend() {
  Fl::event_dispatch(nullptr);
  if (activeBackend == this) activeBackend = nullptr;
  for (auto& [name, form] : forms_) form->window->hide();
  forms_.clear();
}

FltkBackend::FormWindows& FltkBackend::windows(const std::string& form) const {
  auto found = forms_.find(form);
  if (found == forms_.end()) throw std::logic_error("no windows were made for " + form);
  return *found->second;
}

Fl_Window* FltkBackend::window(const std::string& form) const { return windows(form).window.get(); }

Fl_Widget* FltkBackend::widget(const std::string& form, const std::string& control) const {
  const FormWindows& made = windows(form);
  auto found = made.widgets.find(control);
  if (found == made.widgets.end()) throw std::logic_error(form + " has no widget " + control);
  return found->second;
}

void FltkBackend::createWindows(const FormModel& form) {
  auto made = std::make_unique<FormWindows>();
  made->model = &form;
  const int captionSize = fltk::captionSize(form);
  Fl_Group::current(nullptr);
  made->window = std::make_unique<FormWindow>(toPixels(form.clientWidth), toPixels(form.clientHeight), form.caption);
  FormWindow& window = *made->window;

  auto report = [&](const std::string& control) -> void* {
    made->sources.push_back(FormWindows::Source{this, form.name, control});
    return &made->sources.back();
  };
  auto reported = [](Fl_Widget*, void* data) {
    auto* source = static_cast<FormWindows::Source*>(data);
    source->backend->deliver(source->form, source->control);
  };

  for (const ControlModel& control : form.controls) {
    int left = toPixels(control.bounds.left);
    int top = toPixels(control.bounds.top);
    Fl_Group* parent = &window;
    if (!control.container.empty()) {
      const ControlModel& frame = form.control(control.container);
      left += toPixels(frame.bounds.left);
      top += toPixels(frame.bounds.top);
      parent = dynamic_cast<Fl_Group*>(made->widgets.at(control.container));
    }
    const int width = toPixels(control.bounds.width);
    const int height = toPixels(control.bounds.height);

    Fl_Widget* native = nullptr;
    switch (control.kind) {
      case ControlKind::Button: {
        auto* button = new Fl_Button(left, top, width, height);
        button->copy_label(control.caption.c_str());
        button->box(ButtonBox);
        button->align(captionAlign(FL_ALIGN_CENTER, control.kind, height, captionSize));
        button->callback(reported, report(control.name));
        native = button;
        break;
      }
      case ControlKind::TextBox: {
        auto* input = new Fl_Input(left, top, width, height);
        input->textsize(InputTextSize);
        input->value(control.caption.c_str());
        native = input;
        break;
      }
      case ControlKind::MultiLineTextBox: {
        auto* box = new WrappingTextBox(left, top, width, height);
        box->text(control.caption);
        native = box;
        break;
      }
      case ControlKind::Label: {
        auto* label = new Fl_Box(left, top, width, height);
        label->box(FL_NO_BOX);
        label->copy_label(control.caption.c_str());
        label->align(captionAlign(FL_ALIGN_TOP_LEFT, control.kind, height, captionSize));
        native = label;
        break;
      }
      case ControlKind::Frame:
        native = new FrameGroup(left, top, width, height, control.caption);
        break;
      case ControlKind::PictureBox:
        native = new PictureView(left, top, width, height, control.picture ? picture(control.picture->name) : nullptr);
        break;
    }
    native->labelfont(CaptionFont);
    native->labelsize(captionSize);
    parent->add(native);
    made->widgets[control.name] = native;
  }

  window.callback(
      [](Fl_Widget*, void* data) {
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        auto* source = static_cast<FormWindows::Source*>(data);
        source->backend->deliver(source->form, "");
      },
      report(""));

  if (form.iconResource == "ostrel") {
    const Fl_RGB_Image* sizes[2];
    int count = 0;
    for (int size : {16, 32}) {
      made->iconPixels.push_back(iconPixels(size));
      made->icons.push_back(std::make_unique<Fl_RGB_Image>(made->iconPixels.back().data(), size, size, 4));
      sizes[count++] = made->icons.back().get();
    }
    window.icons(sizes, count);
  }
  forms_[form.name] = std::move(made);
}

void FltkBackend::show(const FormModel& form) {
  FormWindows& made = windows(form.name);
  made.window->show();
  if (made.lastFocus != nullptr) made.lastFocus->take_focus();
}

void FltkBackend::hide(const FormModel& form) {
  FormWindows& made = windows(form.name);
  if (Fl::focus() != nullptr && made.window->contains(Fl::focus())) made.lastFocus = Fl::focus();
  made.window->hide();
}

std::string FltkBackend::text(const FormModel& form, const std::string& textBox) {
  Fl_Widget* native = widget(form.name, textBox);
  if (auto* box = dynamic_cast<WrappingTextBox*>(native)) return box->text();
  auto* input = dynamic_cast<Fl_Input*>(native);
  if (input == nullptr) throw std::logic_error(form.name + "." + textBox + " is not a text box");
  return input->value();
}

void FltkBackend::setText(const FormModel& form, const std::string& textBox, const std::string& text) {
  Fl_Widget* native = widget(form.name, textBox);
  if (auto* box = dynamic_cast<WrappingTextBox*>(native)) {
    box->text(text);
    return;
  }
  auto* input = dynamic_cast<Fl_Input*>(native);
  if (input == nullptr) throw std::logic_error(form.name + "." + textBox + " is not a text box");
  input->value(text.data(), static_cast<int>(text.size()));
}

void FltkBackend::setFocus(const FormModel& form, const std::string& control) {
  FormWindows& made = windows(form.name);
  Fl_Widget* target = widget(form.name, control);
  made.lastFocus = target;
  target->take_focus();
}

bool FltkBackend::moveFocus(Fl_Window* window, bool backwards) {
  for (auto& [name, made] : forms_) {
    if (made->window.get() != window) continue;
    const std::vector<std::string> order = focusOrder(*made->model);
    if (order.empty()) return false;
    const int count = static_cast<int>(order.size());
    int current = -1;
    for (int i = 0; i < count; ++i) {
      if (made->widgets.at(order[i]) == Fl::focus()) current = i;
    }
    for (int step = 1; step <= count; ++step) {
      int next = current < 0 ? (backwards ? count - step : step - 1)
                             : ((current + (backwards ? -step : step)) % count + count) % count;
      Fl_Widget* candidate = made->widgets.at(order[next]);
      if (candidate->visible_r() && candidate->active_r() && candidate->take_focus()) return true;
    }
    return true;
  }
  return false;
}

std::optional<std::string> FltkBackend::runFileDialog(const FileDialogRequest& request) {
  return runFileChooser(request);
}

void FltkBackend::messageBox(const std::string& title, const std::string& message) {
  fl_message_title(title.c_str());
  fl_message("%s", message.c_str());
}

void FltkBackend::runEventLoop() {
  while (!quit_) {
    if (Fl::wait() < 0) break;
  }
}

void FltkBackend::quit() {
  quit_ = true;
  for (auto& [name, made] : forms_) made->window->hide();
}

void FltkBackend::deliver(const std::string& form, const std::string& control) {
  if (events_ == nullptr || quit_) return;
  // Nothing may unwind through FLTK's own frames: whatever the runtime lets escape ends the
  // program with its message shown.
  try {
    if (control.empty()) {
      events_->closedByTitleBar(form);
    } else {
      events_->clicked(form, control);
    }
  } catch (const std::exception& error) {
    messageBox("ostrel", error.what());
    quit();
  }
}

}  // namespace ostrel::forms::fltk
