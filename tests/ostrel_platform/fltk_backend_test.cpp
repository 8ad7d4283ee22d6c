// The FLTK windows of the real forms on a private X display, inside the test process: sizes and
// places of the widgets, the tab order, texts kept while hidden, clicks and title-bar closes
// reaching the forms, what every window tells a window manager, and the pictures.
#include <gtest/gtest.h>

// After GoogleTest: the X headers these pull in define macros such as None.
#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <set>

#include <X11/Xutil.h>

#include "fltk_windows.h"
#include "ostrel/forms/fltk/pictures.h"

namespace fltk = ostrel::forms::fltk;

// The font and toolkit libraries under FLTK keep memory until the process ends; it is not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libXft.so\nleak:libX11.so\n";
}

namespace {

// ---- the pictures that need no display ------------------------------------------------------

TEST(OstrelIcon, TwoSizesOfThreeColouredClustersOnARoundedTile) {
  for (int size : {16, 32}) {
    const std::vector<unsigned char> pixels = fltk::iconPixels(size);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size * size * 4)) << size;
    auto alpha = [&](int x, int y) { return pixels[(y * size + x) * 4 + 3]; };
    // Rounded corners are see-through; the middle of every edge and the inside are not.
    EXPECT_EQ(alpha(0, 0), 0) << size;
    EXPECT_EQ(alpha(size - 1, size - 1), 0) << size;
    EXPECT_EQ(alpha(size / 2, 0), 255) << size;
    EXPECT_EQ(alpha(size / 2, size / 2), 255) << size;
    // Each cluster shows in its own colour: a pixel where red, green or blue clearly leads.
    std::set<int> leads;
    for (int i = 0; i < size * size; ++i) {
      const unsigned char* p = &pixels[i * 4];
      for (int channel = 0; channel < 3; ++channel) {
        if (p[3] == 255 && p[channel] > 150 && p[(channel + 1) % 3] < 120 && p[(channel + 2) % 3] < 120) {
          leads.insert(channel);
        }
      }
    }
    EXPECT_EQ(leads, (std::set<int>{0, 1, 2})) << size;
  }
}

TEST(AlgorithmsPicture, EachFamilyStandsAboveItsButtonColumn) {
  for (const fltk::ButtonColumn& column : fltk::AlgorithmColumns) {
    const int centreOnForm = fltk::columnCentre(column) + fltk::PictureOriginLeftPixels;
    EXPECT_GT(centreOnForm, column.leftTwips / 15) << column.heading;
    EXPECT_LT(centreOnForm, (column.leftTwips + column.widthTwips) / 15) << column.heading;
    EXPECT_GT(fltk::columnCentre(column), 0);
    EXPECT_LT(fltk::columnCentre(column), fltk::AlgorithmsPictureWidth);
  }
}

// ---- the windows ---------------------------------------------------------------------------

using fltktest::FltkWindows;

TEST_F(FltkWindows, MainWindowHasItsClientSizeAndEveryControlItsPlace) {
  Fl_Window* window = backend_->window("Form1");
  EXPECT_EQ(window->w(), 360);
  EXPECT_EQ(window->h(), 254);
  EXPECT_STREQ(window->label(), "Clustering and biclustering tool");
  EXPECT_TRUE(window->shown());
  auto place = [&](const std::string& control) {
    const Fl_Widget* widget = backend_->widget("Form1", control);
    return std::vector<int>{widget->x(), widget->y(), widget->w(), widget->h()};
  };
  EXPECT_EQ(place("Frame1"), (std::vector<int>{8, 16, 137, 233}));
  // On the form, drawn over the frame at the head of its column.
  EXPECT_EQ(place("Open"), (std::vector<int>{16, 40, 113, 25}));
  // Inside the frames, measured from their corners.
  EXPECT_EQ(place("Command4"), (std::vector<int>{16, 80, 113, 33}));
  EXPECT_EQ(place("Command3"), (std::vector<int>{40, 208, 49, 33}));
  EXPECT_EQ(place("Text1"), (std::vector<int>{208, 40, 129, 193}));
  EXPECT_STREQ(backend_->widget("Form1", "Command1")->label(), "Enter Output File Name");
}

TEST_F(FltkWindows, TabFollowsTheTabIndicesNotTheDrawingOrder) {
  EXPECT_EQ(tabWalk("Form1", 6), (std::vector<std::string>{"Open", "Command1", "Command2", "Command3", "Text1",
                                                           "Command4", "Open"}));
  EXPECT_EQ(tabWalk("Form1", 2, true), (std::vector<std::string>{"Open", "Command4", "Text1"}));
}

TEST_F(FltkWindows, ClicksAndTitleBarClosesReachTheForms) {
  backend_->widget("Form1", "Command4")->do_callback();  // "Enter Input Description"
  settle();
  EXPECT_FALSE(backend_->window("Form1")->shown());
  Fl_Window* form2 = backend_->window("Form2");
  ASSERT_TRUE(form2->shown());
  EXPECT_EQ((std::vector<int>{form2->w(), form2->h()}), (std::vector<int>{312, 208}));
  EXPECT_EQ(focusedControl("Form2"), "Text1");
  EXPECT_EQ(tabWalk("Form2", 3), (std::vector<std::string>{"Text1", "Text2", "Command1", "Text1"}));

  runtime_->findForm("Form2")->setText("Text1", " 12 genes ");
  Fl::handle(FL_CLOSE, form2);  // what the window manager's close button sends
  settle();
  EXPECT_FALSE(form2->shown());
  EXPECT_TRUE(backend_->window("Form1")->shown());

  // Shown again, the form keeps its text.
  backend_->widget("Form1", "Command4")->do_callback();
  settle();
  EXPECT_EQ(runtime_->findForm("Form2")->text("Text1"), " 12 genes ");
}

TEST_F(FltkWindows, AlgorithmsShowsItsPictureAndStartsPrograms) {
  backend_->widget("Form1", "Command2")->do_callback();  // "Start Clustering"
  settle();
  Fl_Window* form3 = backend_->window("Form3");
  ASSERT_TRUE(form3->shown());
  EXPECT_EQ((std::vector<int>{form3->w(), form3->h()}), (std::vector<int>{693, 584}));
  const Fl_Widget* pictureBox = backend_->widget("Form3", "Picture1");
  EXPECT_EQ((std::vector<int>{pictureBox->x(), pictureBox->y(), pictureBox->w(), pictureBox->h()}),
            (std::vector<int>{24, 8, 641, 337}));
  EXPECT_EQ(focusedControl("Form3"), "Command1");

  const Fl_RGB_Image* picture = fltk::picture("algorithms");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->w(), 634);
  EXPECT_EQ(picture->h(), 338);
  EXPECT_EQ(picture->d(), 3);
  EXPECT_EQ(fltk::picture("no such picture"), nullptr);

  backend_->widget("Form3", "Command12")->do_callback();  // "VARNEK"
  settle();
  EXPECT_EQ(started_, std::vector<std::string>{"varnek.exe"});
  EXPECT_FALSE(form3->shown());
  EXPECT_TRUE(backend_->window("Form1")->shown());
}

TEST_F(FltkWindows, TheAlgorithmsPictureDrawsItsBoxesAboveTheColumns) {
  const Fl_RGB_Image* picture = fltk::picture("algorithms");
  ASSERT_NE(picture, nullptr);
  auto rgb = [&](int x, int y) { return fltktest::pictureRgb(*picture, x, y); };
  EXPECT_EQ(rgb(2, 2), 0xFFFFFFu);  // white ground
  for (const fltk::ButtonColumn& column : fltk::AlgorithmColumns) {
    const int x = fltk::columnCentre(column);
    EXPECT_EQ(rgb(x, 128), 0xFAEBAAu) << column.heading;  // inside the family's box, above its text
    EXPECT_LT(rgb(x, 250) & 0xFFu, 0x80u) << column.heading;  // the arrow's shaft
    EXPECT_EQ(rgb(x + 20, 250), 0xFFFFFFu) << column.heading;  // and nothing beside it
  }
}

// Every form keeps the size of its design, offers no maximise and carries the program's class.
// (A window manager reads the hints as the window is mapped: an openbox run by hand showed no
// maximise button with them.)
TEST_F(FltkWindows, EveryFormIsFixedSizeOffersNoMaximiseAndCarriesTheProgramsClass) {
  const Atom motifHints = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
  for (const std::string& name : createEveryForm()) {
    SCOPED_TRACE(name);
    ostrel::forms::Form& form = *runtime_->findForm(name);
    form.show();
    settle();
    Fl_Window* window = backend_->window(name);
    const Window xid = fl_xid(window);
    ASSERT_NE(xid, 0u);

    XClassHint classHint{};
    ASSERT_NE(XGetClassHint(fl_display, xid, &classHint), 0);
    EXPECT_STREQ(classHint.res_name, "ostrel");
    EXPECT_STREQ(classHint.res_class, "Ostrel");
    XFree(classHint.res_name);
    XFree(classHint.res_class);

    XSizeHints size{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(fl_display, xid, &size, &supplied), 0);
    EXPECT_EQ(size.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ((std::vector<int>{size.min_width, size.min_height, size.max_width, size.max_height}),
              (std::vector<int>{window->w(), window->h(), window->w(), window->h()}));

    // Motif hints: the functions and decorations that the window has, listed one by one.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(fl_display, xid, motifHints, 0, 5, False, AnyPropertyType, &type, &format, &count,
                                 &after, &data),
              Success);
    ASSERT_EQ(count, 5u);
    const long* hints = reinterpret_cast<const long*>(data);
    const long flags = hints[0], functions = hints[1], decorations = hints[2];
    XFree(data);
    EXPECT_EQ(flags & 3, 3) << "functions and decorations both given";
    EXPECT_EQ(functions, 4 | 8 | 32) << "moved, minimised and closed; neither resized nor maximised";
    EXPECT_EQ(decorations, 2 | 8 | 16 | 32) << "border, title, menu and minimise button; no maximise button";
    form.hide();
  }
}

}  // namespace
