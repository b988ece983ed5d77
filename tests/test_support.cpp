#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/paths.h"

namespace fs = std::filesystem;

namespace tarvik::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  fs::path base = fs::temp_directory_path() /
                  ("tarvik-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(base);
  fs::create_directories(base);
  path_ = base.string() + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& relative, const std::string& bytes) const {
  fs::path p = fs::path(path_) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

std::string TempDir::Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
  return Write(relative, std::string(bytes.begin(), bytes.end()));
}

std::string TempDir::Read(const std::string& relative) const { return ReadText(path_ + relative); }

std::vector<std::string> TempDir::Folders() const {
  std::vector<std::string> out;
  for (auto& e : fs::recursive_directory_iterator(path_)) {
    if (e.is_directory()) out.push_back(fs::relative(e.path(), path_).string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

CommandRun RunIn(const std::string& folder, const std::string& command) {
  const TempDir scratch;
  const std::string cmd = "cd '" + folder + "' && " + command + " > '" + scratch.path() + "out' 2> '" +
                          scratch.path() + "err' < /dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, scratch.Read("out"), scratch.Read("err")};
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

FolderSnapshot TakeSnapshot(const std::string& root) {
  FolderSnapshot s;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).generic_string();
    if (e.is_directory()) {
      s.folders.insert(rel);
    } else if (e.is_regular_file()) {
      s.files[rel] = ReadText(e.path());
    }
  }
  return s;
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i; (i = text.find("\r\n", start)) != std::string::npos; start = i + 2)
    lines.push_back(text.substr(start, i - start));
  return lines;
}

std::string CrLfText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

TestSession::TestSession() : session(std::make_unique<Session>()) {
  clock.seconds = 12 * 3600;
  clock.now = DateTime{2026, 3, 4, 12, 0, 0};
  session->clock = &clock;
  session->ui = &ui;
  session->output = &output;
  session->random.SetFixedSeed(1234);
  SetAppPath(session->paths, dir.path());
}

}  // namespace tarvik::test
