// What the tests of the real windows need: a virtual X display (Xvfb) of their own,
// programs started on it and waited for, windows found by their captions, real mouse
// and key events sent with xdotool, and screenshots read as pixels. Every wait polls
// with a deadline; nothing waits on a fixed sleep alone.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::test {

using namespace std::chrono_literals;

// How long the tests wait for what an action must bring about (a window, pixels, a
// file, a program's end) before they call it missing: generous, for a machine that
// runs several of these tests and builds at once. A wait ends as soon as its thing is
// there, so only a failure takes this long.
inline constexpr std::chrono::milliseconds PATIENCE = 60s;

// Polls `done` every 40 ms until it holds or `limit` has passed; returns its last value.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = PATIENCE);

// A program running in the background, its standard output and error going to files.
class Process {
 public:
  // `env` entries ("NAME=value") are added to (or replace those of) this process's
  // environment.
  Process(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& logStem);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Waits for the end; returns the exit status (128 and the number of a signal that
  // ended it), or nothing when it has not ended in time.
  std::optional<int> Wait(std::chrono::milliseconds limit = PATIENCE);
  bool running();
  std::string Output() const;  // standard output so far
  std::string Errors() const;  // standard error so far
  void Kill();

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
  int status_ = 0;
  std::string outPath_, errPath_;
};

// A virtual X display for the test, on the first free display number.
class VirtualDisplay {
 public:
  VirtualDisplay();
  ~VirtualDisplay();
  const std::string& name() const { return name_; }  // ":N"
  bool ok() const { return !name_.empty(); }
  // Ends the X server, as a display that goes away.
  void Stop();

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// Runs a command to its end and returns its standard output ("" when it failed).
std::string RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                       int* status = nullptr);

// An RGB picture read from a screenshot.
struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom
  uint32_t At(int x, int y) const;  // 0xRRGGBB; 0 outside the picture
};

// Real X events and screenshots on one display, through xdotool and ImageMagick.
class Desktop {
 public:
  explicit Desktop(const VirtualDisplay& display) : env_{"DISPLAY=" + display.name()} {}
  const std::vector<std::string>& env() const { return env_; }

  // The shown window whose whole caption matches `caption` (an extended regular
  // expression; a plain caption matches itself), waited for.
  std::optional<std::string> WaitForWindow(const std::string& caption, std::chrono::milliseconds limit = PATIENCE);
  // Whether a window of that caption is shown now.
  bool Shown(const std::string& caption);
  // A mouse-down and up of the left button at (x, y) of the window's client area.
  void Click(const std::string& window, int x, int y, int count = 1);
  // The left button pressed at (x, y) of the window's client area and held down, and
  // released again where the pointer is: a click as slow as the test needs it.
  void MouseDown(const std::string& window, int x, int y);
  void MouseUp();
  void Keys(const std::vector<std::string>& keys);  // xdotool key names, to the focused window
  void Type(const std::string& text);
  // Where the window's client area is on the screen.
  std::pair<int, int> Origin(const std::string& window);
  // The window's client area as it is on the screen now ("root": the whole screen); the PNG copy is kept at
  // `pngPath` when one is given.
  Image Shot(const std::string& window, const std::string& pngPath = "");

 private:
  std::string Xdo(const std::vector<std::string>& args);
  std::vector<std::string> env_;
};

// One virtual display for the tests that open windows in the test process itself,
// opened for the toolkit with the wizard's look on first use; null when it cannot be.
const VirtualDisplay* ToolkitDisplay();

// The name of a folder for screenshots; the real-display test writes one PNG per step.
std::string ScreenshotFolder();

}  // namespace tarvik::test
