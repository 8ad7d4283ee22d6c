#include "ostrel/forms/fltk/window_hints.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

namespace ostrel::forms::fltk {

namespace {

// The Motif window manager hints (_MOTIF_WM_HINTS): five longs. With the ALL bit set, the
// functions and decorations named beside it are the ones taken away.
constexpr long MwmHintsFunctions = 1L << 0;
constexpr long MwmHintsDecorations = 1L << 1;
constexpr long MwmFunctionAll = 1L << 0;
constexpr long MwmFunctionResize = 1L << 1;
constexpr long MwmFunctionMaximize = 1L << 4;
constexpr long MwmDecorationAll = 1L << 0;
constexpr long MwmDecorationResizeHandles = 1L << 2;
constexpr long MwmDecorationMaximize = 1L << 6;

bool viewable(Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(fl_display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

}  // namespace

void nameWindowClass() { Fl_Window::default_xclass(WindowClass); }

void keepFixedSize(Fl_Window& window) { window.size_range(window.w(), window.h(), window.w(), window.h()); }

void offerNoMaximise(Fl_Window& window) {
  const Window xid = fl_xid(&window);
  if (xid == 0) return;
  const Atom hints = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
  long values[5] = {MwmHintsFunctions | MwmHintsDecorations, MwmFunctionAll | MwmFunctionResize | MwmFunctionMaximize,
                    MwmDecorationAll | MwmDecorationResizeHandles | MwmDecorationMaximize, 0, 0};
  XChangeProperty(fl_display, xid, hints, hints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(values), 5);
}

bool windowManagerRunning() {
  const std::string selection = "WM_S" + std::to_string(fl_screen);
  return XGetSelectionOwner(fl_display, XInternAtom(fl_display, selection.c_str(), False)) != 0;
}

void windowShown(Fl_Window& window) {
  // Menus and tooltips pop up over a window that keeps the focus.
  if (window.parent() != nullptr || window.override()) return;
  const Window xid = fl_xid(&window);
  if (xid == 0 || windowManagerRunning() || !viewable(xid)) return;
  XSetInputFocus(fl_display, xid, RevertToPointerRoot, CurrentTime);
}

}  // namespace ostrel::forms::fltk
