#include "ostrel/forms/fltk/captions.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <string>

namespace ostrel::forms::fltk {

namespace {

constexpr int LabelInset = 3;

bool hasCaption(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::Label || kind == ControlKind::Frame;
}

// The room a caption has inside a control of this kind and size (in pixels): inside the bevel of
// a button, between the corners of a group box's top line, the whole of a label; less the margins.
struct CaptionRoom {
  int width = 0;
  int height = 0;
};

CaptionRoom captionRoom(ControlKind kind, int width, int height) {
  switch (kind) {
    case ControlKind::Button:
      return CaptionRoom{width - Fl::box_dw(ButtonBox) - 2 * CaptionMargin, height - Fl::box_dh(ButtonBox)};
    case ControlKind::Label:
      // FLTK sets left-aligned text LabelInset pixels in from either side: that is its margin.
      return CaptionRoom{width - 2 * LabelInset, height};
    case ControlKind::Frame:
      return CaptionRoom{width - 2 * FrameCaptionInset - 2 * CaptionMargin, height};
    default:
      return CaptionRoom{width, height};
  }
}

// Whether the caption fits a control of this kind and size (pixels) at this font size.
bool captionFits(const std::string& caption, ControlKind kind, int width, int height, int size) {
  if (caption.empty()) return true;
  const CaptionRoom room = captionRoom(kind, width, height);
  fl_font(CaptionFont, size);
  if (!captionWraps(kind, height, size)) return fl_width(caption.c_str()) <= room.width;
  // fl_measure breaks lines at blanks only, so a word wider than the room comes back wider.
  int measuredWidth = room.width;
  int measuredHeight = 0;
  fl_measure(caption.c_str(), measuredWidth, measuredHeight, 0);
  return measuredWidth <= room.width && measuredHeight <= room.height;
}

}  // namespace

bool captionWraps(ControlKind kind, int height, int size) {
  if (kind == ControlKind::Frame) return false;
  fl_font(CaptionFont, size);
  return height >= 2 * fl_height();
}

int captionSize(const FormModel& form) {
  for (int size = CaptionSizeLargest; size > CaptionSizeSmallest; --size) {
    bool allFit = true;
    for (const ControlModel& control : form.controls) {
      if (!hasCaption(control.kind)) continue;
      if (!captionFits(control.caption, control.kind, toPixels(control.bounds.width), toPixels(control.bounds.height),
                       size)) {
        allFit = false;
        break;
      }
    }
    if (allFit) return size;
  }
  return CaptionSizeSmallest;
}

}  // namespace ostrel::forms::fltk
