#include "x_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

std::string regexQuoted(const std::string& text) {
  std::string quoted;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) quoted += '\\';
    quoted += c;
  }
  return quoted;
}

// A window that went away between finding it and reading it is the test's failure to report,
// not a reason for Xlib to end the whole test program.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

Display* openDisplay(const std::string& name) {
  XSetErrorHandler(ignoreXError);
  Display* display = XOpenDisplay(name.c_str());
  if (display == nullptr) throw std::runtime_error("cannot open " + name);
  return display;
}

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

std::optional<std::filesystem::path> installedProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

CommandResult runCommand(const std::vector<std::string>& argv,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
  int output[2];
  if (::pipe(output) != 0) throw std::runtime_error("pipe failed");
  std::vector<char*> words;
  for (const auto& word : argv) words.push_back(const_cast<char*>(word.c_str()));
  words.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::dup2(output[1], 1);
    ::close(output[0]);
    ::close(output[1]);
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, 0);
    ::dup2(quiet, 2);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    ::execvp(words[0], words.data());
    ::_exit(127);
  }
  ::close(output[1]);
  CommandResult result;
  char buffer[4096];
  for (ssize_t got; (got = ::read(output[0], buffer, sizeof buffer)) != 0;) {
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    result.out.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(output[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

VirtualDisplay::VirtualDisplay() {
  int ready[2];
  if (::pipe(ready) != 0) throw std::runtime_error("pipe failed");
  server_ = ::fork();
  if (server_ < 0) throw std::runtime_error("fork failed");
  if (server_ == 0) {
    ::close(ready[0]);
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, 0);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    const std::string fd = std::to_string(ready[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ready[1]);
  // Xvfb writes its display number once it accepts clients.
  std::string number;
  pollfd watch{ready[0], POLLIN, 0};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    if (::poll(&watch, 1, 200) <= 0) continue;
    char c = 0;
    if (::read(ready[0], &c, 1) != 1) break;
    number += c;
  }
  ::close(ready[0]);
  if (number.find('\n') == std::string::npos) {
    ::kill(server_, SIGTERM);
    ::waitpid(server_, nullptr, 0);
    throw std::runtime_error("Xvfb did not start");
  }
  name_ = ":" + trimmed(number);
}

VirtualDisplay::~VirtualDisplay() {
  if (server_ > 0) {
    ::kill(server_, SIGTERM);
    ::waitpid(server_, nullptr, 0);
  }
}

std::string VirtualDisplay::xdotool(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return trimmed(runCommand(argv, {{"DISPLAY", name_}}).out);
}

std::optional<unsigned long> VirtualDisplay::waitForWindow(const std::string& title) const {
  for (int tries = 0; tries < 100; ++tries) {
    const std::string found = xdotool({"search", "--onlyvisible", "--name", "^" + regexQuoted(title) + "$"});
    if (!found.empty()) return std::stoul(found.substr(0, found.find('\n')));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return std::nullopt;
}

bool VirtualDisplay::waitUntilGone(const std::string& title) const {
  for (int tries = 0; tries < 100; ++tries) {
    if (xdotool({"search", "--onlyvisible", "--name", "^" + regexQuoted(title) + "$"}).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

std::pair<int, int> VirtualDisplay::windowSize(unsigned long window) const {
  std::istringstream shell(xdotool({"getwindowgeometry", "--shell", std::to_string(window)}));
  int width = -1;
  int height = -1;
  for (std::string line; std::getline(shell, line);) {
    if (line.rfind("WIDTH=", 0) == 0) width = std::stoi(line.substr(6));
    if (line.rfind("HEIGHT=", 0) == 0) height = std::stoi(line.substr(7));
  }
  return {width, height};
}

void VirtualDisplay::click(unsigned long window, int x, int y) const {
  xdotool({"mousemove", "--sync", "--window", std::to_string(window), std::to_string(x), std::to_string(y),
           "click", "1"});
}

void VirtualDisplay::focusAndType(unsigned long window, const std::string& keys) const {
  xdotool({"windowfocus", "--sync", std::to_string(window), "type", "--delay", "30", keys});
}

void VirtualDisplay::pressKey(unsigned long window, const std::string& key) const {
  xdotool({"windowfocus", "--sync", std::to_string(window), "key", key});
}

void VirtualDisplay::closeByTitleBar(unsigned long window) const {
  Display* display = openDisplay(name_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);
}

unsigned long Screenshot::pixel(int x, int y) const {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  return (static_cast<unsigned long>(rgb[at]) << 16) | (static_cast<unsigned long>(rgb[at + 1]) << 8) | rgb[at + 2];
}

Screenshot captureWindow(const std::string& displayName, unsigned long window) {
  Display* display = openDisplay(displayName);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) {
    XCloseDisplay(display);
    throw std::runtime_error("no window " + std::to_string(window));
  }
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) {
    XCloseDisplay(display);
    throw std::runtime_error("cannot read the window's pixels");
  }
  auto channel = [](unsigned long value, unsigned long mask) {
    if (mask == 0) return static_cast<unsigned char>(0);
    while ((mask & 1) == 0) {
      mask >>= 1;
      value >>= 1;
    }
    return static_cast<unsigned char>((value & mask) * 255 / mask);
  };
  Screenshot shot;
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.rgb.reserve(static_cast<std::size_t>(shot.width) * shot.height * 3);
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const unsigned long value = XGetPixel(image, x, y);
      shot.rgb.push_back(channel(value, image->red_mask));
      shot.rgb.push_back(channel(value, image->green_mask));
      shot.rgb.push_back(channel(value, image->blue_mask));
    }
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  return shot;
}

void writePpm(const Screenshot& shot, const std::filesystem::path& path) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << shot.width << ' ' << shot.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
}

}  // namespace testsupport
