#include "ostrel/forms/fltk/pictures.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <map>

namespace ostrel::forms::fltk {

int columnCentre(const ButtonColumn& column) {
  return (column.leftTwips + column.widthTwips / 2) / 15 - PictureOriginLeftPixels;
}

namespace {

struct Rgb {
  unsigned char red, green, blue;
};

// The icon: three clusters of points on a white tile, the program's subject in one glance.
struct Disc {
  double x, y, radius;
  Rgb colour;
};
constexpr Disc IconDiscs[] = {
    {0.31, 0.33, 0.17, {200, 40, 40}},
    {0.71, 0.38, 0.15, {40, 150, 60}},
    {0.47, 0.73, 0.16, {40, 70, 200}},
};
constexpr Rgb IconTile = {250, 250, 245};
constexpr Rgb IconEdge = {50, 50, 90};

// Coverage of one icon point in unit coordinates: the colour it takes, or nothing outside the tile.
bool iconPoint(double u, double v, Rgb& colour) {
  const double corner = 0.22;  // rounded tile corners
  const double cu = std::clamp(u, corner, 1.0 - corner);
  const double cv = std::clamp(v, corner, 1.0 - corner);
  const double fromCorner = std::hypot(u - cu, v - cv);
  if (fromCorner > corner) return false;
  const double edge = 0.07;
  if (fromCorner > corner - edge || u < edge || v < edge || u > 1.0 - edge || v > 1.0 - edge) {
    colour = IconEdge;
    return true;
  }
  for (const Disc& disc : IconDiscs) {
    if (std::hypot(u - disc.x, v - disc.y) <= disc.radius) {
      colour = disc.colour;
      return true;
    }
  }
  colour = IconTile;
  return true;
}

constexpr int FamilyBoxNarrowest = 64;
constexpr int FamilyBoxWidest = 86;  // wider would meet the box of the next column

int headingWidth(const ButtonColumn& column, int size) {
  fl_font(FL_HELVETICA_BOLD, size);
  return static_cast<int>(fl_width(column.heading) + 0.999);
}

int boxWidthFor(const ButtonColumn& column, int size) {
  return std::clamp(headingWidth(column, size) + 2 * FamilyBoxPadding, FamilyBoxNarrowest, FamilyBoxWidest);
}

void drawBox(const char* text, int centreX, int top, int width, int height, Fl_Color fill, Fl_Font font, int size) {
  const int left = centreX - width / 2;
  fl_color(fill);
  fl_rectf(left, top, width, height);
  fl_color(FL_BLACK);
  fl_line_style(FL_SOLID, FamilyBoxLine);
  fl_rect(left, top, width, height);
  fl_line_style(0);
  fl_font(font, size);
  fl_draw(text, left, top, width, height, FL_ALIGN_CENTER, nullptr, 0);
}

void drawArrowDown(int x, int fromY, int toY) {
  fl_color(fl_rgb_color(40, 40, 40));
  fl_line_style(FL_SOLID, 2);
  fl_line(x, fromY, x, toY - 10);
  fl_line_style(0);
  fl_polygon(x - 7, toY - 12, x + 7, toY - 12, x, toY);
}

// The tree: the root box, a bus of lines to the six method families, and under each family an
// arrow down to the buttons of its column.
Fl_RGB_Image* drawAlgorithmsPicture() {
  const int width = AlgorithmsPictureWidth;
  const int height = AlgorithmsPictureHeight;
  // Measured on the display, before drawing goes to the image.
  const int headingSize = familyHeadingSize();
  std::vector<int> boxWidths;
  for (const ButtonColumn& column : AlgorithmColumns) boxWidths.push_back(boxWidthFor(column, headingSize));
  Fl_Image_Surface surface(width, height, 0);
  surface.set_current();
  fl_color(FL_WHITE);
  fl_rectf(0, 0, width, height);

  const int rootTop = 18;
  const int rootHeight = 40;
  const int busY = 96;
  const int familyTop = FamilyBoxTop;
  const int familyHeight = FamilyBoxHeight;
  const int arrowTip = 326;
  const int centre = width / 2;

  fl_color(FL_BLACK);
  fl_line_style(FL_SOLID, 2);
  fl_line(centre, rootTop + rootHeight, centre, busY);
  fl_line(columnCentre(AlgorithmColumns[0]), busY, columnCentre(AlgorithmColumns[5]), busY);
  for (const ButtonColumn& column : AlgorithmColumns) fl_line(columnCentre(column), busY, columnCentre(column), familyTop);
  fl_line_style(0);

  drawBox("Clustering algorithms", centre, rootTop, 230, rootHeight, fl_rgb_color(190, 215, 245), FL_HELVETICA_BOLD,
          15);
  for (std::size_t i = 0; i < std::size(AlgorithmColumns); ++i) {
    const ButtonColumn& column = AlgorithmColumns[i];
    drawBox(column.heading, columnCentre(column), familyTop, boxWidths[i], familyHeight,
            fl_rgb_color(FamilyBoxFill >> 16, (FamilyBoxFill >> 8) & 0xFF, FamilyBoxFill & 0xFF), FL_HELVETICA_BOLD,
            headingSize);
    drawArrowDown(columnCentre(column), familyTop + familyHeight, arrowTip);
  }

  Fl_RGB_Image* image = surface.image();
  Fl_Display_Device::display_device()->set_current();
  return image;
}

}  // namespace

int familyHeadingSize() {
  constexpr int Largest = 10;
  constexpr int Smallest = 6;
  for (int size = Largest; size > Smallest; --size) {
    // A box grows with its heading up to FamilyBoxWidest, so a heading fits its box where it fits the widest.
    const bool allFit = std::all_of(std::begin(AlgorithmColumns), std::end(AlgorithmColumns), [&](const ButtonColumn& column) {
      return headingWidth(column, size) + 2 * FamilyBoxPadding <= FamilyBoxWidest;
    });
    if (allFit) return size;
  }
  return Smallest;
}

int familyBoxWidth(const ButtonColumn& column) { return boxWidthFor(column, familyHeadingSize()); }

std::vector<unsigned char> iconPixels(int size) {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(size) * size * 4, 0);
  constexpr int Samples = 4;  // per pixel and axis, for smooth edges
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int red = 0, green = 0, blue = 0, covered = 0;
      for (int sy = 0; sy < Samples; ++sy) {
        for (int sx = 0; sx < Samples; ++sx) {
          Rgb colour{};
          const double u = (x + (sx + 0.5) / Samples) / size;
          const double v = (y + (sy + 0.5) / Samples) / size;
          if (!iconPoint(u, v, colour)) continue;
          red += colour.red;
          green += colour.green;
          blue += colour.blue;
          ++covered;
        }
      }
      unsigned char* pixel = &pixels[(static_cast<std::size_t>(y) * size + x) * 4];
      if (covered == 0) continue;
      pixel[0] = static_cast<unsigned char>(red / covered);
      pixel[1] = static_cast<unsigned char>(green / covered);
      pixel[2] = static_cast<unsigned char>(blue / covered);
      pixel[3] = static_cast<unsigned char>(covered * 255 / (Samples * Samples));
    }
  }
  return pixels;
}

const Fl_RGB_Image* picture(const std::string& name) {
  // Kept for the life of the program and never destroyed: an image may hold a server-side
  // copy that cannot be freed once the display is gone at exit.
  static auto* drawn = new std::map<std::string, Fl_RGB_Image*>();
  if (auto found = drawn->find(name); found != drawn->end()) return found->second;
  if (name != "algorithms") return nullptr;
  return (*drawn)[name] = drawAlgorithmsPicture();
}

}  // namespace ostrel::forms::fltk
