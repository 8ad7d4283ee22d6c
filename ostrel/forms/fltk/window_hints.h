// What the program's windows tell the window manager, and what they do where there is none.
// - Every window carries the class "ostrel" (FLTK writes the instance "ostrel" and the class
//   "Ostrel" into WM_CLASS), so that desktops group and name them as one program.
// - A form has the fixed client size of its design: its minimum and maximum size are that size,
//   and the Motif hints list the functions and decorations it has, without resize and maximise
//   (FLTK writes the functions alone, as "all but", which not every window manager reads so),
//   so that no window manager offers to maximise it.
// - Without a window manager nobody gives a new window the keyboard focus, so a window of ours
//   that is shown takes it itself, as a window manager would give it: the file dialog and the
//   message boxes as much as the forms.
#pragma once

class Fl_Window;

namespace ostrel::forms::fltk {

inline constexpr const char* WindowClass = "ostrel";

// Before the first window is shown: every window made from now on carries WindowClass.
void nameWindowClass();

// Before show: the window keeps its size.
void keepFixedSize(Fl_Window& window);
// After show, for a window whose size is fixed: the Motif hints offer no maximise.
void offerNoMaximise(Fl_Window& window);

// For every top-level window when the display reports it shown: takes the keyboard focus when no
// window manager runs; leaves it to the window manager when one does.
void windowShown(Fl_Window& window);

}  // namespace ostrel::forms::fltk
