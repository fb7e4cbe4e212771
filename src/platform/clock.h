#pragma once
// Time, pauses and the pseudo-random numbers of the few places that need them.
#include <cstdint>
#include <ctime>

namespace zt {

void SleepMilliseconds(int milliseconds);

// Today's local date.
struct LocalDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
LocalDate Today();

// A small pseudo-random generator seeded from the time of day.
class Random {
 public:
  Random();
  explicit Random(std::uint64_t seed) : state_(seed | 1) {}
  // A number from 0 to bound - 1.
  std::uint32_t Below(std::uint32_t bound);

 private:
  std::uint64_t state_;
};

}  // namespace zt
