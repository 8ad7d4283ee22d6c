// The ostrel program: the front end on real windows, starting the engines and the outside
// programs in terminal windows of their own. Without a display it says how to get one.
#include <iostream>

#include "ostrel/forms/fltk/fltk_backend.h"
#include "ostrel/forms/program_start.h"
#include "ostrel/front_end.h"

int main() {
  if (const std::string problem = ostrel::forms::fltk::FltkBackend::openDisplay(); !problem.empty()) {
    std::cerr << "ostrel: " << problem << ".\n"
              << "ostrel shows windows on an X display. Run it in a desktop session, set DISPLAY to a running\n"
              << "X server (e.g. DISPLAY=:0 ostrel), or start it on a virtual display: xvfb-run -a ostrel\n";
    return 1;
  }
  ostrel::forms::fltk::FltkBackend backend;
  return ostrel::runFrontEnd(backend, ostrel::forms::startProgram);
}
