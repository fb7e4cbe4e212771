#include <gtest/gtest.h>

#include "screen/key_input.h"
#include "screen_fixture.h"

namespace zt {
namespace {

using KeySetTest = test::ScreenTest;

std::vector<std::pair<int, int>> Entries(Runtime& rt) {
  std::vector<std::pair<int, int>> out;
  const std::string& a = rt.screen.activeKeys;
  const std::string& d = rt.screen.deliveredKeys;
  EXPECT_EQ(a.size(), d.size());
  for (std::size_t i = 0; i + 1 < a.size() && i + 1 < d.size(); i += 2) {
    auto code = [](const std::string& t, std::size_t i) {
      return static_cast<int>(static_cast<std::int16_t>(
          static_cast<std::uint8_t>(t[i]) | (static_cast<std::uint8_t>(t[i + 1]) << 8)));
    };
    out.emplace_back(code(a, i), code(d, i));
  }
  return out;
}

using Pairs = std::vector<std::pair<int, int>>;

TEST_F(KeySetTest, ListItemsAreHexCodesWithOptionalDelivery) {
  SetKeySet(rt, "a", "d,1B,4800,3b00=1b, 4d00,zz,,8500,12345");
  EXPECT_EQ(Entries(rt), (Pairs{{13, 13},
                                {27, 27},
                                {18432, 18432},
                                {15104, 27},
                                {19712, 19712},
                                {0, 0},
                                {0, 0},
                                {-31488, -31488},
                                {0x2345, 0x2345}}));
  EXPECT_EQ(rt.screen.activeKeys.substr(0, 6), std::string("\x0D\x00\x1B\x00\x00\x48", 6));
  std::int16_t delivered = 0;
  EXPECT_TRUE(LookUpKeySet(rt, 15104, delivered));
  EXPECT_EQ(delivered, 27);
  EXPECT_FALSE(LookUpKeySet(rt, 9, delivered));
  EXPECT_TRUE(KeySetActive(rt));
}

TEST_F(KeySetTest, LookUpMatchesWholeEntriesOnly) {
  // 0x0D1B spans the end of the first entry and the start of the second.
  SetKeySet(rt, "a", "1b00,d");
  std::int16_t delivered = 0;
  EXPECT_FALSE(LookUpKeySet(rt, 0x0D1B, delivered));
  EXPECT_FALSE(LookUpKeySet(rt, 0x001B, delivered));
  EXPECT_TRUE(LookUpKeySet(rt, 13, delivered));
}

TEST_F(KeySetTest, SaveAndRestoreNest) {
  SetKeySet(rt, "ea", "4800,5000=d");
  const Pairs caller = Entries(rt);
  SetKeySet(rt, "+ea", "d,1b");
  EXPECT_EQ(Entries(rt), (Pairs{{13, 13}, {27, 27}}));
  SetKeySet(rt, "+e", "");
  EXPECT_FALSE(KeySetActive(rt));
  SetKeySet(rt, "-", "");
  EXPECT_EQ(Entries(rt), (Pairs{{13, 13}, {27, 27}}));
  SetKeySet(rt, "-", "");
  EXPECT_EQ(Entries(rt), caller);
  EXPECT_TRUE(rt.screen.savedKeySets.empty());
  SetKeySet(rt, "-", "");  // nothing saved: unchanged
  EXPECT_EQ(Entries(rt), caller);
}

TEST_F(KeySetTest, DeleteRemovesTheFirstMatchingEntry) {
  SetKeySet(rt, "a", "d,1b=d,1b,4800");
  SetKeySet(rt, "D", "1b,9,4800");
  EXPECT_EQ(Entries(rt), (Pairs{{13, 13}, {27, 27}}));
}

TEST_F(KeySetTest, HiddenInputLetters) {
  SetKeySet(rt, "a", "d");
  SetKeySet(rt, "h", "");
  EXPECT_EQ(rt.screen.hiddenInputChar, 88);
  SetKeySet(rt, "V", "");
  EXPECT_EQ(rt.screen.hiddenInputChar, 0);
  SetKeySet(rt, "hxyz", "");
  EXPECT_EQ(rt.screen.hiddenInputChar, 88);
  EXPECT_EQ(Entries(rt), (Pairs{{13, 13}}));
}

TEST_F(KeySetTest, EmptyListAddsNothing) {
  SetKeySet(rt, "a", "");
  EXPECT_FALSE(KeySetActive(rt));
}

}  // namespace
}  // namespace zt
