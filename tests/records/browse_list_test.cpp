// The browse list on a memory console, over a prepared cache and over a record file.
#include "records/browse_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/runtime.h"
#include "platform/files.h"
#include "platform/keycodes.h"
#include "platform/memory_console.h"
#include "records/record_file.h"
#include "records/record_fixture.h"
#include "support/temp_dir.h"

namespace zt::test {
namespace {

// The screen as it was each time a key was taken from the script.
struct Snapshot {
  std::vector<std::string> text;  // rows 1..25 at [0..24]
  std::vector<std::string> attr;
};

class SnapshotConsole : public MemoryConsole {
 public:
  bool PollEvent(InputEvent& event) override {
    const bool got = MemoryConsole::PollEvent(event);
    if (got && event.kind == EventKind::Key) snapshots.push_back(Take());
    return got;
  }
  Snapshot Take() const {
    Snapshot s;
    for (int r = 1; r <= Rows(); ++r) {
      std::string text, attr;
      for (int c = 1; c <= Columns(); ++c) {
        text += static_cast<char>(ReadCell(r, c).ch);
        attr += static_cast<char>(ReadCell(r, c).attr);
      }
      s.text.push_back(text);
      s.attr.push_back(attr);
    }
    return s;
  }
  std::vector<Snapshot> snapshots;
};

constexpr std::int16_t kHandle = 7;
// The paging window: rows 6..15 and columns 11..39 inside the frame.
constexpr std::int16_t kTop = 5, kLeft = 10, kBottom = 16, kRight = 40;
constexpr int kRows = 10, kWidth = 29;
constexpr Attribute kHighlight = 0x0F;  // style "h"
constexpr Attribute kUnderline = 0x70;  // style "u"

std::string Le(std::uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A cache file's bytes built entry by entry, with the fields free to be spoilt.
struct CacheBuilder {
  std::int32_t Add(const std::string& text, std::int32_t recordPosition = 0,
                   std::int32_t previous = -1, std::uint32_t length = ~0u) {
    const auto position = static_cast<std::int32_t>(bytes.size() + 1);
    bytes += Le(static_cast<std::uint32_t>(previous == -1 ? last : previous), 4);
    bytes += Le(static_cast<std::uint32_t>(recordPosition), 4);
    bytes += Le(length == ~0u ? static_cast<std::uint32_t>(text.size()) : length, 2);
    bytes += text;
    last = position;
    positions.push_back(position);
    return position;
  }
  std::string bytes;
  std::int32_t last = 0;
  std::vector<std::int32_t> positions;
};

std::string EntryName(int n) {
  return std::string("Entry ") + (n < 10 ? "0" : "") + std::to_string(n);
}

class BrowseTest : public ::testing::Test {
 protected:
  BrowseTest() {
    rt.session.TempDir = dir.Path();
    rt.session.Language = "CAT";
    rt.session.Colours = {{{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
    rt.records.browseEscapeCheck = [](Runtime&) { return false; };
  }

  std::int16_t AddBrowse(BrowseDefinition def) {
    auto& d = rt.forms.definition;
    if (d.browses.empty()) d.browses.resize(1);
    d.browses.push_back(std::move(def));
    d.BrowseCount = static_cast<std::int16_t>(d.browses.size() - 1);
    return d.BrowseCount;
  }
  static BrowseDefinition Window(std::int16_t fileHandle, std::string header = "") {
    BrowseDefinition def;
    def.FileHandle = fileHandle;
    def.WindowTop = kTop;
    def.WindowLeft = kLeft;
    def.WindowBottom = kBottom;
    def.WindowRight = kRight;
    def.Header = std::move(header);
    return def;
  }
  void PrepareEntries(int count, int length = 0) {
    CacheBuilder cache;
    for (int n = 1; n <= count; ++n) {
      std::string text = EntryName(n);
      if (length > 0)
        text.resize(static_cast<std::size_t>(length), static_cast<char>('a' + n % 26));
      cache.Add(text, 1000 + n);
    }
    dir.Write("Browse.tmp", cache.bytes);
  }
  void Keys(std::initializer_list<std::pair<std::int16_t, int>> script) {
    for (auto [key, times] : script)
      for (int i = 0; i < times; ++i) console.PushKey(key);
  }
  std::int16_t Run(std::int16_t browse) {
    std::int16_t cancelled = 99;
    RunBrowse(rt, browse, cancelled);
    return cancelled;
  }

  // The list rows of a snapshot, trailing blanks removed.
  static std::vector<std::string> Shown(const Snapshot& s) {
    std::vector<std::string> rows;
    for (int r = 1; r <= kRows; ++r) {
      std::string row = s.text[static_cast<std::size_t>(kTop + r - 1)].substr(kLeft, kWidth);
      while (!row.empty() && row.back() == ' ') row.pop_back();
      rows.push_back(row);
    }
    return rows;
  }
  static int Highlighted(const Snapshot& s) {
    int found = 0;
    for (int r = 1; r <= kRows; ++r) {
      const auto a = static_cast<Attribute>(s.attr[static_cast<std::size_t>(kTop + r - 1)][kLeft]);
      if (a == kUnderline) {
        EXPECT_EQ(found, 0) << "two rows highlighted";
        found = r;
      } else {
        EXPECT_EQ(a, kHighlight) << "row " << r;
      }
    }
    return found;
  }
  static std::vector<std::string> Entries(int from, int to) {
    std::vector<std::string> v;
    for (int n = from; n <= to; ++n) v.push_back(EntryName(n));
    while (v.size() < static_cast<std::size_t>(kRows)) v.push_back("");
    return v;
  }
  const Snapshot& Snap(std::size_t i) {
    EXPECT_LT(i, console.snapshots.size());
    return console.snapshots.at(i);
  }

  TempDir dir;
  SnapshotConsole console;
  MapEnvironment env;
  Runtime rt{console, env};
};

TEST_F(BrowseTest, PageUpFromAPageStartingAtEntry4WithEntry11CurrentShowsEntries1To10) {
  PrepareEntries(25);
  const std::int16_t browse = AddBrowse(Window(0));
  Keys({{keys::kDown, 12}, {keys::kUp, 2}, {keys::kPgUp, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(Snap(0)), Entries(1, 10));
  EXPECT_EQ(Highlighted(Snap(0)), 1);
  EXPECT_EQ(Highlighted(Snap(9)), 10);         // nine Downs: the last row
  EXPECT_EQ(Shown(Snap(10)), Entries(2, 11));  // Down on the last row scrolls by one
  EXPECT_EQ(Highlighted(Snap(10)), 10);
  EXPECT_EQ(Shown(Snap(14)), Entries(4, 13));  // before PgUp: entry 11 on row 8
  EXPECT_EQ(Highlighted(Snap(14)), 8);
  EXPECT_EQ(Shown(Snap(15)), Entries(1, 10));
  EXPECT_EQ(Highlighted(Snap(15)), 1);
  EXPECT_EQ(rt.records.ChosenLine, "Entry 01");
  EXPECT_EQ(rt.records.ChosenPosition, 1001);
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(BrowseTest, UpOnTheFirstRowScrollsBackAndStopsAtTheFirstEntry) {
  PrepareEntries(25);
  const std::int16_t browse = AddBrowse(Window(0));
  Keys({{keys::kDown, 10}, {keys::kUp, 9}, {keys::kUp, 1}, {keys::kUp, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(Snap(19)), Entries(2, 11));
  EXPECT_EQ(Highlighted(Snap(19)), 1);
  EXPECT_EQ(Shown(Snap(20)), Entries(1, 10));
  EXPECT_EQ(Highlighted(Snap(20)), 1);
  EXPECT_EQ(Shown(Snap(21)), Entries(1, 10));
  EXPECT_EQ(rt.records.ChosenLine, "Entry 01");
}

TEST_F(BrowseTest, PageDownKeepsTheRowUntilTheEndPullsItUp) {
  PrepareEntries(25);
  const std::int16_t browse = AddBrowse(Window(0));
  Keys({{keys::kDown, 7},
        {keys::kPgDn, 1},
        {keys::kPgDn, 1},
        {keys::kPgDn, 1},
        {keys::kDown, 1},
        {keys::kPgUp, 1},
        {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(Snap(8)), Entries(11, 20));
  EXPECT_EQ(Highlighted(Snap(8)), 8);  // entry 18
  EXPECT_EQ(Shown(Snap(9)), Entries(21, 25));
  EXPECT_EQ(Highlighted(Snap(9)), 5);           // entry 25: only 7 entries were left
  EXPECT_EQ(Shown(Snap(10)), Entries(21, 25));  // no next page
  EXPECT_EQ(Highlighted(Snap(11)), 5);          // Down at the end does nothing
  EXPECT_EQ(Shown(Snap(12)), Entries(11, 20));  // PgUp: 25 -> 15 on the page 11-20
  EXPECT_EQ(Highlighted(Snap(12)), 5);
  EXPECT_EQ(rt.records.ChosenLine, "Entry 15");
}

TEST_F(BrowseTest, HeaderTurnsBlanksIntoFrameAndUnderscoresIntoBlanks) {
  PrepareEntries(3);
  const std::int16_t browse = AddBrowse(Window(0, "_CODE__NAME"));
  Keys({{keys::kEsc, 1}});
  EXPECT_EQ(Run(browse), -1);
  const std::string top = Snap(0).text[kTop - 1].substr(kLeft - 1, kWidth + 2);
  EXPECT_EQ(top, "\xC9 CODE  NAME" + std::string(kWidth - 11, '\xCD') + "\xBB");
  EXPECT_EQ(Snap(0).attr[kTop - 1][kLeft], 0x07);  // drawn in style "n"
}

TEST_F(BrowseTest, LeftAndRightMoveByEightColumnsWithMarkersAtTheCorners) {
  PrepareEntries(3, 45);  // 16 columns more than the window shows
  const std::int16_t browse = AddBrowse(Window(0, "_CODE"));
  Keys({{keys::kRight, 1},
        {keys::kRight, 1},
        {keys::kRight, 1},
        {keys::kLeft, 1},
        {keys::kLeft, 1},
        {keys::kLeft, 1},
        {keys::kEsc, 1}});
  EXPECT_EQ(Run(browse), -1);
  const auto corners = [&](std::size_t i) {
    const std::string& row = Snap(i).text[kTop - 1];
    return std::string{row[kLeft - 1], row[kRight - 1]};
  };
  const auto firstShown = [&](std::size_t i) { return Shown(Snap(i))[0]; };
  std::string entry1 = EntryName(1);
  entry1.resize(45, 'b');
  EXPECT_EQ(corners(0), "\xC9\x10");  // hidden text on the right: marker
  EXPECT_EQ(firstShown(0), entry1.substr(0, kWidth));
  EXPECT_EQ(corners(1), "\x11\x10");
  EXPECT_EQ(firstShown(1), entry1.substr(8, kWidth));
  EXPECT_EQ(corners(2), "\x11\xBB");  // column 17 passes the overhang of 16
  EXPECT_EQ(firstShown(2), entry1.substr(16));
  EXPECT_EQ(corners(3), "\x11\xBB");  // Right refused
  EXPECT_EQ(corners(4), "\x11\x10");
  EXPECT_EQ(corners(5), "\xC9\x10");
  EXPECT_EQ(corners(6), "\xC9\x10");  // Left refused at column 1
}

TEST_F(BrowseTest, AHeaderWiderThanTheWindowShowsTheRightMarker) {
  PrepareEntries(1);
  const std::int16_t browse = AddBrowse(Window(0, std::string(40, 'H')));
  Keys({{keys::kEsc, 1}});
  Run(browse);
  EXPECT_EQ(Snap(0).text[kTop - 1][kRight - 1], '\x10');
}

TEST_F(BrowseTest, EmptyPreparedListChoosesAnEmptyEntry) {
  const std::int16_t browse = AddBrowse(Window(0));
  rt.records.ChosenLine = "old";
  rt.records.ChosenPosition = 5;
  Keys({{keys::kDown, 1}, {keys::kUp, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(Snap(0)), Entries(1, 0));
  EXPECT_EQ(Highlighted(Snap(2)), 1);
  EXPECT_EQ(rt.records.ChosenLine, "");
  EXPECT_EQ(rt.records.ChosenPosition, 0);
  EXPECT_FALSE(FileExists(dir.Path() + "Browse.tmp"));
}

TEST_F(BrowseTest, StartHookCancelsBeforeAnythingIsDrawn) {
  const std::int16_t browse = AddBrowse(Window(0));
  rt.records.browseStartHook = [](Runtime&, std::int16_t, std::string&, std::string&) {
    return std::int16_t{5};
  };
  const Snapshot before = console.Take();
  EXPECT_EQ(Run(browse), 5);
  EXPECT_EQ(console.Take().text, before.text);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_EQ(Run(99), -1);  // no such browse definition
}

TEST_F(BrowseTest, EndingRestoresScreenStyleKeySetAndDeletesTheCache) {
  PrepareEntries(5);
  const std::int16_t browse = AddBrowse(Window(0));
  console.SetCursor(3, 4);
  rt.screen.currentStyle = 2;
  const Snapshot before = console.Take();
  const std::string styles = rt.screen.styleStack;
  const auto keySet = rt.screen.activeKeys;
  Keys({{keys::kDown, 1}, {keys::FunctionKey(4), 1}});
  EXPECT_EQ(Run(browse), -1);  // F4 without a nested list ends like any key
  EXPECT_EQ(console.Take().text, before.text);
  EXPECT_EQ(console.Take().attr, before.attr);
  EXPECT_EQ(console.CursorRow(), 3);
  EXPECT_EQ(console.CursorColumn(), 4);
  EXPECT_EQ(rt.screen.currentStyle, 2);
  EXPECT_EQ(rt.screen.styleStack, styles);
  EXPECT_EQ(rt.screen.activeKeys, keySet);
  EXPECT_TRUE(rt.screen.savedKeySets.empty());
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_FALSE(FileExists(dir.Path() + "Browse.tmp"));
}

TEST_F(BrowseTest, FilterFormRunsFirstAndEscCancelsTheList) {
  PrepareEntries(3);
  Form filter;
  filter.KeyList = "d,1b";
  filter.FieldCount = 1;
  filter.WindowTop = 3;
  filter.WindowLeft = 5;
  filter.WindowBottom = 8;
  filter.WindowRight = 50;
  FormField field;
  field.Row = 1;
  field.Column = 2;
  field.Width = 5;
  field.Label = "X";
  field.Value = "     ";
  filter.fields = {FormField{}, field};
  rt.forms.definition.forms = {Form{}, filter};
  rt.forms.definition.FormCount = 1;
  rt.forms.definition.MaxFields = 1;
  BrowseDefinition def = Window(0);
  def.FilterForm = 1;
  const std::int16_t browse = AddBrowse(def);

  Keys({{keys::kEsc, 1}});
  EXPECT_EQ(Run(browse), -1);
  EXPECT_EQ(console.snapshots.size(), 1u);             // the list itself read no key
  EXPECT_TRUE(FileExists(dir.Path() + "Browse.tmp"));  // untouched: the list never opened
  EXPECT_EQ(rt.screen.windowDepth, 0);

  console.snapshots.clear();
  Keys({{keys::kEnter, 1}, {keys::kDown, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(rt.records.ChosenLine, "Entry 02");
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

// Damaged cache files: the list shows what it can read and never loops.
TEST_F(BrowseTest, DamagedCacheIsShownAsFarAsItCanBeRead) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> shown;
    std::string chosen;  // after Down x5, Up x5
  };
  std::vector<Case> cases;
  const auto three = [](std::int32_t prev2, std::uint32_t len3 = ~0u) {
    CacheBuilder c;
    c.Add("E1");
    c.Add("E2", 0, prev2);
    c.Add("E3", 0, -1, len3);
    return c;
  };
  {
    CacheBuilder c = three(-1);
    const std::int32_t e2 = c.positions[1];
    CacheBuilder self = three(e2);
    cases.push_back({"previous at itself", self.bytes, {"E1", "E2", "E3"}, "E2"});
    cases.push_back({"previous outside", three(100000).bytes, {"E1", "E2", "E3"}, "E2"});
    cases.push_back({"previous ahead", three(c.positions[2]).bytes, {"E1", "E2", "E3"}, "E2"});
    cases.push_back({"negative previous", three(-7).bytes, {"E1", "E2", "E3"}, "E2"});
    cases.push_back({"length past the end", three(-1, 500).bytes, {"E1", "E2", "E3"}, "E1"});
    std::string cut = c.bytes + Le(static_cast<std::uint32_t>(c.positions[2]), 4) + "x";
    cases.push_back({"head cut short", cut, {"E1", "E2", "E3", ""}, "E1"});
    CacheBuilder first;
    first.Add("E1", 0, 1);
    first.Add("E2");
    cases.push_back({"first pointing at itself", first.bytes, {"E1", "E2"}, "E1"});
    cases.push_back({"only a partial head", std::string("\x01\x02\x03", 3), {""}, ""});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    console.snapshots.clear();
    dir.Write("Browse.tmp", c.bytes);
    const std::int16_t browse = AddBrowse(Window(0));
    Keys({{keys::kDown, 5}, {keys::kUp, 5}, {keys::kPgDn, 1}, {keys::kPgUp, 1}, {keys::kEnter, 1}});
    EXPECT_EQ(Run(browse), 0);
    std::vector<std::string> expected = c.shown;
    expected.resize(kRows);
    EXPECT_EQ(Shown(Snap(0)), expected);
    EXPECT_EQ(rt.records.ChosenLine, c.chosen);
    EXPECT_EQ(console.ExhaustedWaits(), 0);
    EXPECT_EQ(console.PendingEvents(), 0u);
  }
}

// Lists over the record file CLI.DAT.
class RecordBrowseTest : public BrowseTest {
 protected:
  void SetUp() override {
    rt.records.engine = std::make_shared<MemoryRecordEngine>(store, 1);
    for (const auto& r :
         {TestRecord("B002", 1, "bea"), TestRecord("A001", 2, "amy"), TestRecord("C001", 3, "cal"),
          TestRecord("B001", 4, "bob"), TestRecord("A002", 5, "ann"), TestRecord("B003", 6, "bud")})
      ASSERT_EQ(other.Insert(r), 0);
    ASSERT_EQ(OpenRecordFile(rt, kHandle, "CLI.DAT", 12, 0), 0);
    rt.records.browseLineHook = [this](Runtime& r, std::int16_t) {
      ++lineCalls;
      cacheSeen = cacheSeen && FileExists(dir.Path() + "Browse.tmp");
      modeSeen = r.records.files[FindRecordFile(r, kHandle) - 1].LockMode;
      const std::string area = *RecordAreaOf(r, kHandle);
      if (area.compare(0, 4, "A002") == 0) return std::string("   ");  // left out
      return area.substr(0, 4) + " " + area.substr(6, 3) + "   ";
    };
  }
  std::string Area() { return RecordAreaOf(rt, kHandle)->substr(0, 4); }

  std::shared_ptr<MemoryRecordStore> store = [] {
    auto s = std::make_shared<MemoryRecordStore>();
    EXPECT_EQ(s->CreateFile("CLI.DAT", TestRecordLayout()), 0);
    return s;
  }();
  OtherProgram other{store, "CLI.DAT"};
  int lineCalls = 0;
  bool cacheSeen = true;
  std::int16_t modeSeen = -1;
};

TEST_F(RecordBrowseTest, ListsRecordsLazilyAndReadsTheChosenOne) {
  const std::int16_t browse = AddBrowse(Window(kHandle));
  std::int16_t status = 0;
  SetLockMode(rt, kHandle, "A", status);
  dir.Write("Browse.tmp", "stale bytes from another list");
  Keys({{keys::kDown, 2}, {keys::kUp, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(Snap(0)), (std::vector<std::string>{"A001 amy", "B001 bob", "B002 bea",
                                                      "B003 bud", "C001 cal", "", "", "", "", ""}));
  EXPECT_EQ(lineCalls, 6);  // each record once; scrolling back reads the cache
  EXPECT_TRUE(cacheSeen);
  EXPECT_EQ(modeSeen, 0);  // read without locks
  EXPECT_EQ(Area(), "B001");
  EXPECT_EQ(rt.records.files[FindRecordFile(rt, kHandle) - 1].LockMode, 1);
  EXPECT_TRUE(rt.records.LockModeStack.empty());
  EXPECT_FALSE(FileExists(dir.Path() + "Browse.tmp"));
}

TEST_F(RecordBrowseTest, RangePrefixStopsAtTheFirstKeyBeyondIt) {
  rt.records.browseStartHook = [](Runtime&, std::int16_t, std::string& start, std::string& prefix) {
    start = "B";
    prefix = "B0";
    return std::int16_t{0};
  };
  const std::int16_t browse = AddBrowse(Window(kHandle));
  Keys({{keys::kDown, 5}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(Snap(0)), (std::vector<std::string>{"B001 bob", "B002 bea", "B003 bud", "", "",
                                                      "", "", "", "", ""}));
  EXPECT_EQ(Highlighted(Snap(5)), 3);
  EXPECT_EQ(Area(), "B003");
}

TEST_F(RecordBrowseTest, EscTypedWhileFetchingEndsTheEntries) {
  rt.records.browseEscapeCheck = nullptr;  // the console's own queue
  const std::int16_t browse = AddBrowse(Window(kHandle));
  Keys({{keys::kEsc, 1}, {keys::kDown, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), 0);
  EXPECT_EQ(Shown(console.snapshots.back())[0], "A001 amy");
  EXPECT_EQ(Shown(console.snapshots.back())[1], "");
  EXPECT_EQ(Area(), "A001");
}

TEST_F(RecordBrowseTest, EmptyListOverARecordFileEndsCancelled) {
  rt.records.browseLineHook = nullptr;  // every entry text empty: nothing listed
  const std::int16_t browse = AddBrowse(Window(kHandle));
  Keys({{keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), -1);
  EXPECT_EQ(Shown(Snap(0)), Entries(1, 0));
}

TEST_F(RecordBrowseTest, ChosenRecordThatCannotBeReadReportsItsStatus) {
  const std::int16_t browse = AddBrowse(Window(kHandle));
  // Another program deletes the record under the list before it is chosen.
  rt.records.browseEscapeCheck = [this](Runtime&) {
    if (lineCalls == 1) {
      other.Call(btr::kGetEqual, "A001");
      other.Call(btr::kDelete);
    }
    return false;
  };
  Keys({{keys::kEnter, 1}});
  EXPECT_EQ(Run(browse), btr::kInvalidRecordAddress);
}

TEST_F(RecordBrowseTest, F4OpensTheNestedListOverTheOuterOne) {
  PrepareEntries(3);
  BrowseDefinition outer = Window(0);
  outer.NestedBrowse = 2;
  AddBrowse(outer);
  BrowseDefinition inner = Window(kHandle);
  inner.WindowTop = 8;
  inner.WindowLeft = 30;
  inner.WindowBottom = 14;
  inner.WindowRight = 60;
  AddBrowse(inner);
  const Snapshot before = console.Take();
  Keys({{keys::FunctionKey(4), 1}, {keys::kDown, 1}, {keys::kEnter, 1}});
  EXPECT_EQ(Run(1), 0);
  const Snapshot& during = Snap(1);
  EXPECT_EQ(during.text[kTop].substr(kLeft, 8), "Entry 01");  // outer still there
  EXPECT_EQ(during.text[8].substr(30, 8), "A001 amy");        // inner on top
  EXPECT_EQ(Area(), "B001");
  EXPECT_EQ(console.Take().text, before.text);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_TRUE(rt.screen.savedKeySets.empty());
}

}  // namespace
}  // namespace zt::test
