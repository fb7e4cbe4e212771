#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace zt {

void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LocalDate Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Random::Random()
    : state_(static_cast<std::uint64_t>(
                 std::chrono::high_resolution_clock::now().time_since_epoch().count()) |
             1) {}

std::uint32_t Random::Below(std::uint32_t bound) {
  // xorshift64*: plenty for temporary file names.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  std::uint64_t value = state_ * 2685821657736338717ULL;
  return bound == 0 ? 0 : static_cast<std::uint32_t>((value >> 32) % bound);
}

}  // namespace zt
