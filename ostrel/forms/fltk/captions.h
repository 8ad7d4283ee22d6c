// How large the captions of a form are drawn: one font size for all the buttons, labels and group
// boxes of a form, the largest from CaptionSizeLargest down at which every caption of the form
// fits inside its control, within the control's bevel and a margin on each side. A caption wraps
// onto more lines only where its control is tall enough for two; a single word never breaks.
// Measured with the font the display really has, so a wider system font gives smaller captions,
// never captions that run over their controls.
#pragma once

#include <FL/Enumerations.H>

#include "ostrel/forms/model.h"

namespace ostrel::forms::fltk {

inline constexpr Fl_Font CaptionFont = FL_HELVETICA;
inline constexpr int CaptionSizeLargest = 10;  // close to the classic 8-point dialog font
inline constexpr int CaptionSizeSmallest = 6;
inline constexpr int CaptionMargin = 2;        // pixels between a caption and its control's inner edge
inline constexpr Fl_Boxtype ButtonBox = FL_UP_BOX;
inline constexpr int FrameCaptionInset = 8;    // a group box's caption starts this far in from its corner

// Whether the caption wraps in a control of this height at this size: where two lines fit.
bool captionWraps(ControlKind kind, int height, int size);

// The one caption size of the form. Needs the display to be open.
int captionSize(const FormModel& form);

}  // namespace ostrel::forms::fltk
