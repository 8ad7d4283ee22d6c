// The front end's own pictures: the program icon (Form1, 16 x 16 and 32 x 32) and the
// "algorithms" tree that Form3 shows above its button columns. The icon is plain pixel
// arithmetic; the tree is drawn with FLTK's primitives into an image of exactly 634 x 338
// pixels, with its six boxes placed above the six button columns of Form3 and every heading
// inside its box, clear of the box's line.
#pragma once

#include <memory>
#include <string>
#include <vector>

class Fl_RGB_Image;

namespace ostrel::forms::fltk {

inline constexpr int AlgorithmsPictureWidth = 634;
inline constexpr int AlgorithmsPictureHeight = 338;

// Where the picture meets the form: the picture box's corner on Form3 plus the box's border,
// and the six columns of buttons below it (left and width in twips on the form).
struct ButtonColumn {
  const char* heading;
  int leftTwips;
  int widthTwips;
};
inline constexpr int PictureOriginLeftPixels = 360 / 15 + 2;
inline constexpr ButtonColumn AlgorithmColumns[] = {
    {"Partitioning", 480, 1335}, {"Hierarchical", 2400, 1335}, {"Density-based", 4320, 1095},
    {"Grid-based", 5640, 1095},  {"Subspace", 6960, 1095},     {"Soft computing", 8520, 1095},
};

// The horizontal centre of a column, in picture pixels.
int columnCentre(const ButtonColumn& column);

// The boxes of the six families: one bold font size for all six headings, the largest up to 10
// at which every heading fits its box with FamilyBoxPadding on each side (the box's line
// included); each box as wide as its heading needs, within the room its column has.
inline constexpr int FamilyBoxPadding = 6;
inline constexpr int FamilyBoxLine = 2;
inline constexpr int FamilyBoxTop = 124;
inline constexpr int FamilyBoxHeight = 44;
inline constexpr unsigned FamilyBoxFill = 0xFAEBAA;  // 0xRRGGBB
int familyHeadingSize();                              // needs the display to be open
int familyBoxWidth(const ButtonColumn& column);       // at familyHeadingSize()

// RGBA pixels, row by row from the top, of the icon at `size` x `size` (16 or 32).
std::vector<unsigned char> iconPixels(int size);

// The named picture of a picture box, drawn once and kept; null for an unknown name. Needs the
// display to be open.
const Fl_RGB_Image* picture(const std::string& name);

}  // namespace ostrel::forms::fltk
