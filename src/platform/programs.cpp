#include "platform/programs.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarvik {

std::string ProgramFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  const std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

ProgramRun RunAndWait(const std::string& path, const std::vector<std::string>& args) {
  ProgramRun run;
  if (::access(path.c_str(), X_OK) != 0) {
    run.error = path + ": " + std::strerror(errno);
    return run;
  }
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) {
    run.error = std::string("fork: ") + std::strerror(errno);
    return run;
  }
  if (child == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // the child ends with this program
    if (::getppid() != parent) ::_exit(127);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  }
  // Interrupts from the terminal reach the child too; this program waits for its end.
  struct sigaction ignore {}, oldInt {}, oldQuit {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGINT, &ignore, &oldInt);
  ::sigaction(SIGQUIT, &ignore, &oldQuit);
  int st = 0;
  while (::waitpid(child, &st, 0) < 0 && errno == EINTR) {
  }
  ::sigaction(SIGINT, &oldInt, nullptr);
  ::sigaction(SIGQUIT, &oldQuit, nullptr);
  run.started = true;
  if (WIFSIGNALED(st)) {
    run.signal = WTERMSIG(st);
    run.status = 128 + run.signal;
  } else {
    run.status = WEXITSTATUS(st);
  }
  return run;
}

}  // namespace tarvik
