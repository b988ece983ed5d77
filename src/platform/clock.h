// The clock: time of day and the date texts, in local time. Tests replace it with a
// fixed clock through the Clock interface.
#pragma once

#include <string>

namespace tarvik {

struct DateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since local midnight, with the fraction.
  virtual double SecondsSinceMidnight() const;
  virtual DateTime Now() const;
};

// "MM-DD-YYYY"
std::string DateText(const DateTime& t);
// "MM-DD-YYYYHH:MM:SS" (18 characters): the date followed directly by the 24-hour time.
std::string DateTimeText(const DateTime& t);

// A clock that always shows the same moment; tests move it by hand.
class FixedClock : public Clock {
 public:
  double seconds = 0;
  DateTime now;
  double SecondsSinceMidnight() const override { return seconds; }
  DateTime Now() const override { return now; }
};

}  // namespace tarvik
