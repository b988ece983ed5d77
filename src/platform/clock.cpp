#include "platform/clock.h"

#include <sys/time.h>

#include <cstdio>
#include <ctime>

namespace tarvik {

double Clock::SecondsSinceMidnight() const {
  struct timeval tv;
  ::gettimeofday(&tv, nullptr);
  std::time_t secs = tv.tv_sec;
  std::tm local{};
  ::localtime_r(&secs, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + tv.tv_usec / 1e6;
}

DateTime Clock::Now() const {
  std::time_t secs = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&secs, &local);
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string DateText(const DateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.month % 100, t.day % 100, t.year % 10000);
  return buf;
}

std::string DateTimeText(const DateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return DateText(t) + buf;
}

}  // namespace tarvik
