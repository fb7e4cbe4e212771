#pragma once
// A field editor on a fresh runtime with a scripted MemoryConsole.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/runtime.h"
#include "forms/field_editor.h"
#include "platform/keycodes.h"
#include "support/test_runtime.h"

namespace zt::test {

// One scripted key: a console key code with the modifiers held.
struct Stroke {
  std::int16_t key = 0;
  std::uint8_t modifiers = 0;
};
using Script = std::vector<Stroke>;

inline Script Typed(std::string_view text) {
  Script script;
  for (char ch : text) script.push_back({static_cast<std::uint8_t>(ch), 0});
  return script;
}
inline Script operator+(Script a, const Script& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct EditResult {
  std::string text;
  std::int16_t cursor = 0;
  std::int16_t key = 0;
};

class FieldEditorTest : public ::testing::Test {
 protected:
  static constexpr std::int16_t kRow = 5;
  static constexpr std::int16_t kColumn = 10;

  void Push(const Script& script) {
    for (const auto& stroke : script) t.console.PushKey(stroke.key, stroke.modifiers);
  }

  // Edits text at (kRow, kColumn) with whatever is already scripted.
  EditResult Edit(std::string text, std::int16_t cursor, std::int16_t lineLength = 0) {
    std::int16_t row = kRow;
    std::int16_t column = kColumn;
    EditResult result;
    EditField(rt, row, column, lineLength, text, cursor, result.key);
    result.text = text;
    result.cursor = cursor;
    return result;
  }

  EditResult Edit(std::string text, std::int16_t cursor, const Script& script,
                  std::int16_t lineLength = 0) {
    Push(script);
    return Edit(std::move(text), cursor, lineLength);
  }

  // count characters of the screen from (row, column).
  std::string ScreenText(int row, int column, int count) const {
    std::string text;
    for (int i = 0; i < count; ++i)
      text.push_back(static_cast<char>(t.console.ReadCell(row, column + i).ch));
    return text;
  }

  // Every script ends the edit itself: a wait on an empty script is a faulty test.
  void TearDown() override { EXPECT_EQ(t.console.ExhaustedWaits(), expectedExhaustedWaits); }

  TestRuntime t;
  Runtime& rt = t.rt;
  int expectedExhaustedWaits = 0;
};

}  // namespace zt::test
