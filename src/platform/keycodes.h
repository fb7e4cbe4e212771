#pragma once
// Key codes as the console delivers them: a character's code page 850 value (1-255), or an
// extended key's scan code x 256. ReadKey derives the Ctrl/Alt/Shift codes from these.
#include <cstdint>

namespace zt::keys {

constexpr std::int16_t kEnter = 13;
constexpr std::int16_t kEsc = 27;
constexpr std::int16_t kTab = 9;
constexpr std::int16_t kBackspace = 8;
constexpr std::int16_t kShiftTab = 3840;
constexpr std::int16_t kUp = 18432;
constexpr std::int16_t kDown = 20480;
constexpr std::int16_t kLeft = 19200;
constexpr std::int16_t kRight = 19712;
constexpr std::int16_t kHome = 18176;
constexpr std::int16_t kEnd = 20224;
constexpr std::int16_t kPgUp = 18688;
constexpr std::int16_t kPgDn = 20736;
constexpr std::int16_t kInsert = 20992;
constexpr std::int16_t kDelete = 21248;
constexpr std::int16_t kKeypadCentre = 19456;
constexpr std::int16_t kF1 = 15104;  // F1..F10 = kF1 + (n - 1) * 256
constexpr std::int16_t kF10 = 17408;
constexpr std::int16_t kF11 = -31488;
constexpr std::int16_t kF12 = -31232;
constexpr std::int16_t FunctionKey(int n) {
  return n <= 10 ? static_cast<std::int16_t>(kF1 + (n - 1) * 256)
                 : static_cast<std::int16_t>(kF11 + (n - 11) * 256);
}
// Alt + letter arrives as the letter key's scan code x 256.
constexpr std::int16_t kAltE = 4608;
constexpr std::int16_t kAltF = 8448;
constexpr std::int16_t kAltX = 11520;
constexpr std::int16_t kAltC = 11776;

}  // namespace zt::keys
