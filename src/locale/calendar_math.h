#pragma once
// Arithmetic on packed dates (four bytes, each 128 + two digits: century, year, month, day),
// Julian before the reform of October 1582 and Gregorian after it.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

// Every byte b becomes the two last decimal digits of (b AND 127), with a leading "0".
std::string UnpackDigits(std::string_view packed);

// Distance between two packed dates, never negative, in unit "D" (days), "M" (months) or
// "A" (completed years), any case; any other unit gives 0. Order of the dates is free.
std::int32_t DateDiff(std::string_view first, std::string_view second, std::string_view unit);

// Day of the week of a packed date: 1 = Monday ... 7 = Sunday.
std::int16_t Weekday(std::string_view date);

}  // namespace zt
