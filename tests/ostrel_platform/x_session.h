// A private X display for window tests: Xvfb on a free display number, xdotool to play the
// user, and screenshots of single windows read back through Xlib. Tests skip themselves when
// Xvfb or xdotool is not installed.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// The whole path of an installed program found in PATH, if any.
std::optional<std::filesystem::path> installedProgram(const std::string& name);

struct CommandResult {
  int exitCode = -1;
  std::string out;
};

// Runs argv[0] (looked up in PATH) with the arguments, waits, and returns its standard output.
CommandResult runCommand(const std::vector<std::string>& argv,
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

class VirtualDisplay {
 public:
  VirtualDisplay();  // starts Xvfb; throws std::runtime_error when it does not come up
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  const std::string& name() const { return name_; }  // ":N"

  // xdotool on this display; its standard output with the last line end dropped.
  std::string xdotool(const std::vector<std::string>& arguments) const;
  // The window whose title is exactly `title`, waiting up to ten seconds for it to be mapped.
  std::optional<unsigned long> waitForWindow(const std::string& title) const;
  // Waits up to ten seconds until no mapped window has the title.
  bool waitUntilGone(const std::string& title) const;
  std::pair<int, int> windowSize(unsigned long window) const;  // the client area, in pixels
  void click(unsigned long window, int x, int y) const;  // x, y in the window's client area
  void focusAndType(unsigned long window, const std::string& keys) const;
  void pressKey(unsigned long window, const std::string& key) const;
  void closeByTitleBar(unsigned long window) const;  // what a window manager's close button sends

 private:
  pid_t server_ = -1;
  std::string name_;
};

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // row by row from the top
  unsigned long pixel(int x, int y) const;  // 0xRRGGBB
};

Screenshot captureWindow(const std::string& display, unsigned long window);
void writePpm(const Screenshot& shot, const std::filesystem::path& path);

}  // namespace testsupport
