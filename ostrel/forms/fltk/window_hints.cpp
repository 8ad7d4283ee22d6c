#include "ostrel/forms/fltk/window_hints.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <string>

namespace ostrel::forms::fltk {

namespace {

// The Motif window manager hints (_MOTIF_WM_HINTS): five longs, of which the first says which of
// the next two are given. The functions and decorations are listed one by one: window managers
// read an "all but these" list (the ALL bit) in different ways, a plain list all alike.
constexpr long MwmHintsFunctions = 1L << 0;
constexpr long MwmHintsDecorations = 1L << 1;
constexpr long MwmFunctionMove = 1L << 2;
constexpr long MwmFunctionMinimize = 1L << 3;
constexpr long MwmFunctionClose = 1L << 5;
constexpr long MwmDecorationBorder = 1L << 1;
constexpr long MwmDecorationTitle = 1L << 3;
constexpr long MwmDecorationMenu = 1L << 4;
constexpr long MwmDecorationMinimize = 1L << 5;

bool viewable(Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(fl_display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

// Whether a window manager owns the screen (the ICCCM WM_Sn selection has an owner).
bool windowManagerRunning() {
  const std::string selection = "WM_S" + std::to_string(fl_screen);
  return XGetSelectionOwner(fl_display, XInternAtom(fl_display, selection.c_str(), False)) != 0;
}

}  // namespace

void nameWindowClass() { Fl_Window::default_xclass(WindowClass); }

void keepFixedSize(Fl_Window& window) { window.size_range(window.w(), window.h(), window.w(), window.h()); }

void offerNoMaximise(Fl_Window& window) {
  const Window xid = fl_xid(&window);
  if (xid == 0) return;
  const Atom hints = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
  // Moved, minimised and closed, with a border, a title, a window menu and a minimise button:
  // neither resized nor maximised.
  long values[5] = {MwmHintsFunctions | MwmHintsDecorations, MwmFunctionMove | MwmFunctionMinimize | MwmFunctionClose,
                    MwmDecorationBorder | MwmDecorationTitle | MwmDecorationMenu | MwmDecorationMinimize, 0, 0};
  XChangeProperty(fl_display, xid, hints, hints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(values), 5);
}

void windowShown(Fl_Window& window) {
  // Menus and tooltips pop up over a window that keeps the focus.
  if (window.parent() != nullptr || window.override()) return;
  const Window xid = fl_xid(&window);
  if (xid == 0 || windowManagerRunning() || !viewable(xid)) return;
  XSetInputFocus(fl_display, xid, RevertToPointerRoot, CurrentTime);
}

}  // namespace ostrel::forms::fltk
