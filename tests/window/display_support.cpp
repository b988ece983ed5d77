#include "window/display_support.h"

#include "gui/fltk_front_end.h"
#include "gui/leak_suppressions.h"
#include "gui/look.h"
#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

TARVIK_WINDOW_LEAK_SUPPRESSIONS

extern char** environ;

namespace tarvik::test {

namespace {

// This process's environment with `extra` added or replacing entries of the same name.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    vars[entry.substr(0, entry.find('='))] = entry;
  }
  for (const std::string& entry : extra) vars[entry.substr(0, entry.find('='))] = entry;
  std::vector<std::string> out;
  for (auto& [name, entry] : vars) out.push_back(entry);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// Starts a program with its output going to the given files (or the given descriptor
// for fd 3 when keepFd >= 0).
pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& env, const std::string& outPath,
            const std::string& errPath, int keepFd = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (keepFd >= 0) posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
  std::vector<std::string> environment = Environment(env);
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> envp = Pointers(environment);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

std::string TempPath(const std::string& stem) {
  static int counter = 0;
  return (std::filesystem::temp_directory_path() /
          ("tarvik-window-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + stem))
      .string();
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (true) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(40ms);
  }
}

// ---- Process ----

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& logStem)
    : outPath_(TempPath(logStem + ".out")), errPath_(TempPath(logStem + ".err")) {
  pid_ = Spawn(argv, env, outPath_, errPath_);
  if (pid_ < 0) ended_ = true, status_ = 127;
}

Process::~Process() {
  Kill();
  std::error_code ec;
  std::filesystem::remove(outPath_, ec);
  std::filesystem::remove(errPath_, ec);
}

bool Process::running() {
  if (ended_) return false;
  int st = 0;
  const pid_t r = ::waitpid(pid_, &st, WNOHANG);
  if (r == pid_) {
    ended_ = true;
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  }
  return !ended_;
}

std::optional<int> Process::Wait(std::chrono::milliseconds limit) {
  if (WaitFor([&] { return !running(); }, limit)) return status_;
  return std::nullopt;
}

void Process::Kill() {
  if (!running()) return;
  ::kill(pid_, SIGKILL);
  int st = 0;
  ::waitpid(pid_, &st, 0);
  ended_ = true;
  status_ = 128 + SIGKILL;
}

std::string Process::Output() const { return ReadText(outPath_); }
std::string Process::Errors() const { return ReadText(errPath_); }

std::string RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env, int* status) {
  Process p(argv, env, "cmd");
  const std::optional<int> st = p.Wait();
  if (status) *status = st.value_or(-1);
  return st ? p.Output() : std::string();
}

// ---- VirtualDisplay ----

// Xvfb picks a free display number itself and writes it to the descriptor it is
// given, once it accepts connections.
VirtualDisplay::VirtualDisplay() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return;
  const std::string log = TempPath("xvfb.log");
  pid_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"}, {},
               "/dev/null", log, fds[1]);
  ::close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  const auto end = std::chrono::steady_clock::now() + PATIENCE;
  while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
    if (::poll(&p, 1, 100) > 0) {
      char buf[32];
      const ssize_t n = ::read(fds[0], buf, sizeof buf);
      if (n <= 0) break;
      number.append(buf, static_cast<size_t>(n));
      if (number.find('\n') != std::string::npos) break;
    }
  }
  ::close(fds[0]);
  std::error_code ec;
  std::filesystem::remove(log, ec);
  while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
  if (!number.empty()) name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() { Stop(); }

void VirtualDisplay::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int st = 0;
  ::waitpid(pid_, &st, 0);
  pid_ = -1;
}

// ---- Images ----

uint32_t Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  return (static_cast<uint32_t>(rgb[i]) << 16) | (static_cast<uint32_t>(rgb[i + 1]) << 8) | rgb[i + 2];
}

namespace {

// A binary PPM (P6, 8 bits a sample).
Image ReadPpm(const std::string& bytes) {
  Image img;
  std::istringstream in(bytes);
  std::string magic;
  int maxValue = 0;
  in >> magic >> img.width >> img.height >> maxValue;
  if (magic != "P6" || maxValue != 255 || img.width <= 0 || img.height <= 0) return {};
  in.get();
  img.rgb.resize(static_cast<size_t>(img.width) * static_cast<size_t>(img.height) * 3);
  in.read(reinterpret_cast<char*>(img.rgb.data()), static_cast<std::streamsize>(img.rgb.size()));
  if (!in) return {};
  return img;
}

}  // namespace

// ---- Desktop ----

std::string Desktop::Xdo(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunCommand(argv, env_);
}

bool Desktop::Shown(const std::string& caption) { return WaitForWindow(caption, 0ms).has_value(); }

std::optional<std::string> Desktop::WaitForWindow(const std::string& caption, std::chrono::milliseconds limit) {
  std::string found;
  WaitFor(
      [&] {
        found = Xdo({"search", "--onlyvisible", "--name", "^" + caption + "$"});
        return !found.empty();
      },
      limit);
  if (found.empty()) return std::nullopt;
  return found.substr(0, found.find('\n'));
}

// The pointer's move and the button's press are XTEST events, which the server
// carries out in order; waiting for the move (--sync) would wait for ever when the
// pointer is there already.
void Desktop::Click(const std::string& window, int x, int y, int count) {
  Xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "--repeat",
       std::to_string(count), "--delay", "60", "1"});
}

void Desktop::MouseDown(const std::string& window, int x, int y) {
  Xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "mousedown", "1"});
}

void Desktop::MouseUp() { Xdo({"mouseup", "1"}); }

void Desktop::Keys(const std::vector<std::string>& keys) {
  std::vector<std::string> args{"key", "--delay", "30"};
  args.insert(args.end(), keys.begin(), keys.end());
  Xdo(args);
}

void Desktop::Type(const std::string& text) { Xdo({"type", "--delay", "30", text}); }

std::pair<int, int> Desktop::Origin(const std::string& window) {
  const std::string shell = Xdo({"getwindowgeometry", "--shell", window});
  auto value = [&](const std::string& name) {
    const size_t at = shell.find(name + "=");
    return at == std::string::npos ? 0 : std::atoi(shell.c_str() + at + name.size() + 1);
  };
  return {value("X"), value("Y")};
}

Image Desktop::Shot(const std::string& window, const std::string& pngPath) {
  const std::string ppm = RunCommand({"import", "-window", window, "-depth", "8", "ppm:-"}, env_);
  Image img = ReadPpm(ppm);
  if (!pngPath.empty() && img.width > 0) {
    const std::string tmp = TempPath("shot.ppm");
    std::ofstream(tmp, std::ios::binary) << ppm;
    RunCommand({"convert", tmp, "-strip", "-define", "png:compression-level=9", pngPath});
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
  }
  return img;
}

const VirtualDisplay* ToolkitDisplay() {
  static VirtualDisplay* display = [] {
    auto* d = new VirtualDisplay();  // lives as long as the test process
    if (!d->ok()) return static_cast<VirtualDisplay*>(nullptr);
    ::setenv("DISPLAY", d->name().c_str(), 1);
    if (!gui::OpenDisplay()) return static_cast<VirtualDisplay*>(nullptr);
    gui::ApplyLook();
    return d;
  }();
  return display;
}

std::string ScreenshotFolder() {
  const char* dir = std::getenv("TARVIK_SCREENSHOTS");
  std::string path = dir && *dir ? dir : (std::filesystem::temp_directory_path() / "tarvik-screenshots").string();
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace tarvik::test
