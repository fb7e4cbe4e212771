// CheckNumberText: the check of a number typed into a field.
#include <string_view>

#include "forms/field_editor.h"

namespace zt {

std::int16_t CheckNumberText(std::string_view text, std::string_view pattern) {
  // A flag that is set means the feature is no longer allowed from here on.
  bool pointDone = pattern.find('.') == std::string_view::npos;
  bool signDone = pattern.find_first_of("+-") == std::string_view::npos;
  for (char ch : text) {
    if (ch == '+' || ch == '-') {
      if (signDone) return -1;
      signDone = true;
    } else if (ch == '.') {
      if (pointDone) return -1;
      pointDone = true;
      signDone = true;
    } else if (ch >= '0' && ch <= '9') {
      signDone = true;
    } else if (ch != ' ') {
      return -1;
    }
  }
  return 0;
}

}  // namespace zt
