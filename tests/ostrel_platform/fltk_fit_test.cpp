// What only the real windows show about fitting text into controls: the status box wraps a long
// path within its width, never scrolls sideways and grows a scroll bar only when the text is
// taller than the box; every caption of every form, measured in the font it is drawn in, fits
// inside its control with a margin; the headings of the Algorithms picture stay clear of their
// boxes' lines.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Text_Display.H>
#include <FL/fl_draw.H>

#include <string>

#include "fltk_windows.h"
#include "ostrel/forms/fltk/pictures.h"

using fltktest::FltkWindows;
namespace fltk = ostrel::forms::fltk;

namespace {

constexpr int Margin = 2;  // pixels a caption keeps clear of its control's inner edge on each side

// A folder path of `length` characters, a few long folder names deep.
std::string longPath(std::size_t length) {
  std::string path = "/home/researcher/expression-studies/";
  for (int folder = 0; path.size() < length; ++folder) {
    path += "series_" + std::to_string(folder) + "_replicates_without_any_blank_in_the_name/";
  }
  path.resize(length - 4);
  return path + ".txt";
}

Fl_Scrollbar* scrollbar(Fl_Group& box, bool horizontal) {
  for (int i = 0; i < box.children(); ++i) {
    auto* bar = dynamic_cast<Fl_Scrollbar*>(box.child(i));
    if (bar != nullptr && (bar->type() == FL_HORIZONTAL) == horizontal) return bar;
  }
  return nullptr;
}

class StatusBox : public FltkWindows {
 protected:
  Fl_Text_Display& box() { return *dynamic_cast<Fl_Text_Display*>(backend_->widget("Form1", "Text1")); }

  // Every character of the text, scrolled into view, lies between the left edge of the text's
  // first character and the inner edge of the box or its scroll bar, and the view never moves
  // sideways to show it.
  void expectEveryCharacterWithinTheBox(const std::string& text) {
    Fl_Text_Display& status = box();
    Fl_Scrollbar* vertical = scrollbar(status, false);
    Fl_Scrollbar* horizontal = scrollbar(status, true);
    const int right = status.x() + status.w() - Fl::box_dx(status.box()) -
                      (vertical != nullptr && vertical->visible() ? vertical->w() : 0);
    fl_font(status.textfont(), status.textsize());
    int left = 0;
    int top = 0;
    status.scroll(1, 0);
    ASSERT_NE(status.position_to_xy(0, &left, &top), 0);
    EXPECT_GT(left, status.x());
    for (int position = 0; position < static_cast<int>(text.size()); ++position) {
      status.insert_position(position);
      status.show_insert_position();
      int x = 0;
      int y = 0;
      ASSERT_NE(status.position_to_xy(position, &x, &y), 0) << "character " << position << " cannot be brought into view";
      const char character[2] = {text[position], '\0'};
      EXPECT_GE(x, left) << "character " << position << " lies left of the text's edge: the view moved sideways";
      // A blank where a line breaks may hang past the edge: it shows nothing.
      if (text[position] != ' ') {
        EXPECT_LE(x + fl_width(character), right) << "character " << position << " '" << text[position]
                                                  << "' lies past the box's right edge";
      }
      EXPECT_EQ(horizontal->value(), 0) << "the view moved sideways to show character " << position;
      if (HasFailure()) return;
    }
  }
};

TEST_F(StatusBox, ALongPathWrapsWithinTheBoxAndNothingScrollsSideways) {
  const std::string path = longPath(200);
  ASSERT_EQ(path.size(), 200u);
  ASSERT_EQ(path.find(' '), std::string::npos);
  const std::string status = "Selected input file for clustering is " + path +
                             ".    Next action: Click [Enter Input Description] to enter number of genes and samples "
                             "in input file " + path;
  runtime_->findForm("Form1")->setText("Text1", status);
  settle();
  EXPECT_EQ(runtime_->findForm("Form1")->text("Text1"), status);  // every character kept
  const Fl_Scrollbar* horizontal = scrollbar(box(), true);
  ASSERT_NE(horizontal, nullptr);
  EXPECT_FALSE(horizontal->visible()) << "a sideways scroll bar";
  const Fl_Scrollbar* vertical = scrollbar(box(), false);
  ASSERT_NE(vertical, nullptr);
  EXPECT_TRUE(vertical->visible()) << "the text is taller than the box, and the user must be able to scroll down";
  expectEveryCharacterWithinTheBox(status);
  EXPECT_FALSE(horizontal->visible());
}

TEST_F(StatusBox, TextThatFitsGrowsNoScrollBar) {
  const std::string status = "Selected file for storing result is /tmp/r.txt.    Next action: Click [Start Clustering] "
                             "to start VTRQ clustering";
  runtime_->findForm("Form1")->setText("Text1", status);
  settle();
  EXPECT_FALSE(scrollbar(box(), true)->visible());
  EXPECT_FALSE(scrollbar(box(), false)->visible());
  expectEveryCharacterWithinTheBox(status);
}

// The room a caption has in its widget: inside a button's bevel, between a group box's corners
// (its caption is set into the top line 8 pixels in), the whole of a label; less the margins.
struct Room {
  int width, height;
};
Room captionRoom(const Fl_Widget& widget, ostrel::forms::ControlKind kind) {
  if (kind == ostrel::forms::ControlKind::Frame) return Room{widget.w() - 2 * 8 - 2 * Margin, widget.h()};
  return Room{widget.w() - Fl::box_dw(widget.box()) - 2 * Margin, widget.h() - Fl::box_dh(widget.box())};
}

TEST_F(FltkWindows, EveryCaptionFitsInsideItsControlWithAMargin) {
  int captions = 0;
  for (const std::string& name : createEveryForm()) {
    for (const auto& control : runtime_->findForm(name)->model().controls) {
      const Fl_Widget& widget = *backend_->widget(name, control.name);
      using ostrel::forms::ControlKind;
      const bool captioned = control.kind == ControlKind::Button || control.kind == ControlKind::Label ||
                             control.kind == ControlKind::Frame;
      if (!captioned || widget.label() == nullptr || *widget.label() == '\0') continue;
      ++captions;
      const Room room = captionRoom(widget, control.kind);
      fl_font(widget.labelfont(), widget.labelsize());
      int width = room.width;
      int height = 0;
      if (widget.align() & FL_ALIGN_WRAP) {
        fl_measure(widget.label(), width, height, 0);  // lines break at blanks; a long word stays whole
      } else {
        width = static_cast<int>(fl_width(widget.label()) + 0.999);
        height = fl_height();
      }
      EXPECT_LE(width, room.width) << name << "." << control.name << " \"" << widget.label() << "\" at size "
                                   << widget.labelsize() << " is too wide for its control";
      EXPECT_LE(height, room.height) << name << "." << control.name << " \"" << widget.label()
                                     << "\" is too tall for its control";
    }
  }
  EXPECT_EQ(captions, 7 + 4 + 20 + 4 * 4);  // Form1, Form2, Form3, the four parameter forms
}

// Inside each family box, the strip of FamilyBoxPadding pixels along each side line holds the
// box's fill alone: no heading reaches the line, and no box meets its neighbour.
TEST_F(FltkWindows, TheAlgorithmsHeadingsStayClearOfTheirBoxLines) {
  const Fl_RGB_Image* picture = fltk::picture("algorithms");
  ASSERT_NE(picture, nullptr);
  auto rgb = [&](int x, int y) { return fltktest::pictureRgb(*picture, x, y); };
  int previousRight = -1;
  for (const fltk::ButtonColumn& column : fltk::AlgorithmColumns) {
    SCOPED_TRACE(column.heading);
    const int width = fltk::familyBoxWidth(column);
    const int left = fltk::columnCentre(column) - width / 2;
    EXPECT_GT(left, previousRight + 1) << "the box meets the one before it";
    previousRight = left + width;
    // The heading is drawn: some pixel in the middle of the box is darker than the fill.
    bool headingDrawn = false;
    for (int x = left + width / 4; x < left + 3 * width / 4; ++x) {
      if ((rgb(x, fltk::FamilyBoxTop + fltk::FamilyBoxHeight / 2) & 0xFF) < 0x80) headingDrawn = true;
    }
    EXPECT_TRUE(headingDrawn);
    int touching = 0;
    for (int y = fltk::FamilyBoxTop + fltk::FamilyBoxLine; y < fltk::FamilyBoxTop + fltk::FamilyBoxHeight - fltk::FamilyBoxLine; ++y) {
      for (int inset = fltk::FamilyBoxLine; inset < fltk::FamilyBoxPadding; ++inset) {
        if (rgb(left + inset, y) != fltk::FamilyBoxFill) ++touching;
        if (rgb(left + width - 1 - inset, y) != fltk::FamilyBoxFill) ++touching;
      }
    }
    EXPECT_EQ(touching, 0) << "pixels other than the fill within " << fltk::FamilyBoxPadding
                           << " pixels of the box's side lines";
  }
}

}  // namespace
