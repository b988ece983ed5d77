// The run log's lines on their way to the log file. A build logs a line for nearly every
// object, and one write to the file per line would cost more than everything else the
// line stands for; so lines are collected here and written in pieces, at the points
// where anyone can look at the file (see run_log.h), and whenever the buffer is full.
//
// A signal that ends the program (SIGINT, SIGTERM, SIGHUP, SIGBUS) must not lose the lines
// collected so far: the buffer has a fixed place in memory, its fill level is published
// only after a line has been copied in, and the handler writes the pending bytes with
// pwrite at their own file position, which is safe in a signal handler. A flush that the
// signal interrupts may then write the same bytes at the same place a second time, which
// changes nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <string_view>

namespace tarvik {

class LogBuffer {
 public:
  static constexpr size_t CAPACITY = 64 * 1024;

  LogBuffer() = default;
  ~LogBuffer();
  LogBuffer(const LogBuffer&) = delete;
  LogBuffer& operator=(const LogBuffer&) = delete;

  // The log file is open as descriptor `fd`, `fileLength` bytes long: lines go after
  // them. The buffer is empty afterwards, and is the one a signal handler writes out.
  void Attach(int fd, long long fileLength);
  // Drops the pending lines and forgets the file (before it is closed or emptied).
  void Detach();
  bool Attached() const { return fd_.load() >= 0; }

  // Appends bytes; writes the pending ones first when they would not fit. False when a
  // write failed (the bytes that could not be written are dropped).
  bool Append(std::string_view bytes);
  // Writes the pending bytes. False when the write failed (they are dropped).
  bool Flush();
  // The file's length once the pending bytes are written.
  long long Length() const { return offset_.load() + static_cast<long long>(filled_.load()); }
  size_t Pending() const { return filled_.load(); }

  // Writes what is pending, from a signal handler: nothing but pwrite.
  void WriteFromSignal() const;

 private:
  std::atomic<int> fd_{-1};
  std::atomic<long long> offset_{0};  // where bytes_[0] goes in the file
  std::atomic<size_t> filled_{0};     // bytes_[0, filled_) are pending
  char bytes_[CAPACITY];
};

// Makes SIGINT, SIGTERM, SIGHUP and SIGBUS write the pending lines of the buffer attached last
// before they end the program as they would have (a signal the program was started with
// ignored stays ignored). The program calls this once at its start.
void WriteLogOnTerminatingSignals();

}  // namespace tarvik
