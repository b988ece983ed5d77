#include "log/log_buffer.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace tarvik {

namespace {

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long long>::is_always_lock_free &&
                  std::atomic<size_t>::is_always_lock_free,
              "the signal handler reads the buffer's state without locks");

// The buffer whose pending lines a terminating signal writes out.
std::atomic<const LogBuffer*> signalBuffer{nullptr};

// Writes all n bytes at `offset`; false when the file refuses them.
bool WriteAt(int fd, const char* data, size_t n, long long offset) {
  while (n > 0) {
    const ssize_t k = ::pwrite(fd, data, n, static_cast<off_t>(offset));
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    data += k;
    n -= static_cast<size_t>(k);
    offset += k;
  }
  return true;
}

// SIGBUS too: a large script is read through a mapping of its file, and another program
// that shortens the file during the build makes the pages past its new end a SIGBUS.
constexpr int TERMINATING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGBUS};

extern "C" void WriteLogThenEnd(int sig) {
  const int savedErrno = errno;
  if (const LogBuffer* buffer = signalBuffer.load()) buffer->WriteFromSignal();
  errno = savedErrno;
  // The signal's own action: blocked while this handler runs, it ends the program as
  // soon as the handler returns.
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  ::sigemptyset(&byDefault.sa_mask);
  ::sigaction(sig, &byDefault, nullptr);
  ::raise(sig);
}

}  // namespace

LogBuffer::~LogBuffer() { Detach(); }

void LogBuffer::Attach(int fd, long long fileLength) {
  filled_.store(0);
  offset_.store(fileLength);
  fd_.store(fd);
  signalBuffer.store(this);
}

void LogBuffer::Detach() {
  const LogBuffer* self = this;
  signalBuffer.compare_exchange_strong(self, nullptr);
  fd_.store(-1);
  filled_.store(0);
}

bool LogBuffer::Flush() {
  const size_t n = filled_.load();
  const int fd = fd_.load();
  if (n == 0 || fd < 0) return true;
  const long long at = offset_.load();
  const bool written = WriteAt(fd, bytes_, n, at);
  // The fill level first: a signal from here on finds nothing left to write.
  filled_.store(0);
  // Bytes that could not be written are dropped; the next ones take their place.
  if (written) offset_.store(at + static_cast<long long>(n));
  return written;
}

bool LogBuffer::Append(std::string_view bytes) {
  const int fd = fd_.load();
  if (fd < 0) return false;
  bool ok = true;
  if (filled_.load() + bytes.size() > CAPACITY) ok = Flush();
  if (bytes.size() > CAPACITY) {
    // Longer than the whole buffer: straight to the file.
    const long long at = offset_.load();
    if (!WriteAt(fd, bytes.data(), bytes.size(), at)) return false;
    offset_.store(at + static_cast<long long>(bytes.size()));
    return ok;
  }
  const size_t filled = filled_.load();
  std::memcpy(bytes_ + filled, bytes.data(), bytes.size());
  filled_.store(filled + bytes.size());  // published only once the bytes are in place
  return ok;
}

void LogBuffer::WriteFromSignal() const {
  const int fd = fd_.load();
  const size_t n = filled_.load();
  if (fd >= 0 && n > 0) WriteAt(fd, bytes_, n, offset_.load());
}

void WriteLogOnTerminatingSignals() {
  for (int sig : TERMINATING_SIGNALS) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;  // left ignored
    struct sigaction handler {};
    handler.sa_handler = WriteLogThenEnd;
    ::sigemptyset(&handler.sa_mask);
    for (int other : TERMINATING_SIGNALS) ::sigaddset(&handler.sa_mask, other);
    ::sigaction(sig, &handler, nullptr);
  }
}

}  // namespace tarvik
