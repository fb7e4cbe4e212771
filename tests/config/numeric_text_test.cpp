#include "config/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zt {
namespace {

TEST(NumericValue, ReadsTheNumberAtTheStart) {
  const std::pair<const char*, double> cases[] = {
      {"", 0},       {"abc", 0},
      {"  42", 42},  {"16.5 %", 16.5},
      {"-3", -3},    {"+7x", 7},
      {".5", 0.5},   {"5.", 5},
      {"1e3", 1000}, {"2e", 2},
      {"-", 0},      {"\t5", 0},
      {"1,5", 1},    {"1e999", std::numeric_limits<double>::max()},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(NumericValue(text), expected) << text;
}

TEST(ToInt16, RoundsHalvesToEvenAndSaturates) {
  const std::pair<double, int> cases[] = {
      {2.5, 2},          {3.5, 4},          {-2.5, -2},       {2.6, 3},
      {70000, 32767},    {-70000, -32768},  {1e300, 32767},   {-1e300, -32768},
      {std::nan(""), 0}, {INFINITY, 32767}, {32767.4, 32767},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(ToInt16(value), expected) << value;
  EXPECT_EQ(ToInt32(1e10), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(Int16Value(" 70000"), 32767);
}

}  // namespace
}  // namespace zt
