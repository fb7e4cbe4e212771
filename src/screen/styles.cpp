#include "screen/styles.h"

#include <algorithm>
#include <cctype>

#include "app/runtime.h"

namespace zt {

bool IsAllChar(std::string_view text, char ch) {
  return std::all_of(text.begin(), text.end(), [ch](char c) { return c == ch; });
}

namespace {

bool Contains(std::string_view text, char ch) {
  return text.find(ch) != std::string_view::npos;
}

// Applies one row of the colour table; a colour outside 0-15 keeps that half of the
// console attribute as it was.
void ApplyStyleColours(Runtime& rt, int style) {
  const auto& colours = rt.session.Colours[static_cast<std::size_t>(style)];
  int attribute = rt.console.CurrentAttribute();
  int foreground = attribute & 0x0F;
  int background = (attribute >> 4) & 0x0F;
  if (colours[0] >= 0 && colours[0] <= 15) foreground = colours[0];
  if (colours[1] >= 0 && colours[1] <= 15) background = colours[1];
  rt.console.SetAttribute(static_cast<Attribute>(foreground + 16 * background));
}

}  // namespace

void SetStyle(Runtime& rt, std::string_view code) {
  std::string upper(code);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (IsAllChar(upper, ' ')) return;

  ScreenState& state = rt.screen;
  if (Contains(upper, '+')) state.styleStack.push_back(static_cast<char>(state.currentStyle));

  int style = 0;
  if (Contains(upper, '-')) {
    if (!state.styleStack.empty()) {
      style = static_cast<unsigned char>(state.styleStack.back());
      state.styleStack.pop_back();
    }
  } else if (Contains(upper, 'U')) {
    style = 4;
  } else {
    style = (Contains(upper, 'R') ? 2 : 0) + (Contains(upper, 'N') ? 1 : 0);
  }
  // The stack only ever holds 0-4, but keep the table index safe regardless.
  style = std::clamp(style, 0, 4);
  ApplyStyleColours(rt, style);
  state.currentStyle = static_cast<std::int16_t>(style);
}

}  // namespace zt
