// The browse list: entries built lazily from a record file and cached in "Browse.tmp",
// shown a page at a time in a framed window.
#include "records/browse_list.h"

#include <algorithm>
#include <string>

#include "app/runtime.h"
#include "forms/form_loop.h"
#include "platform/files.h"
#include "platform/keycodes.h"
#include "records/browse_cache.h"
#include "records/record_file.h"
#include "screen/key_input.h"
#include "screen/styles.h"
#include "screen/windows.h"

namespace zt {

namespace {

constexpr char kDoubleTopLeft = '\xC9';     // ╔
constexpr char kDoubleTopRight = '\xBB';    // ╗
constexpr char kDoubleHorizontal = '\xCD';  // ═
constexpr char32_t kMarkerLeft = 0x25C4;    // ◄
constexpr char32_t kMarkerRight = 0x25BA;   // ►

std::string PositionText(std::int32_t position) {
  std::string text;
  for (int i = 0; i < 4; ++i)
    text += static_cast<char>((static_cast<std::uint32_t>(position) >> (8 * i)) & 0xFF);
  return text;
}

class BrowseRun {
 public:
  BrowseRun(Runtime& rt, std::int16_t browseNumber, const BrowseDefinition& def,
            std::string startKey, std::string rangePrefix)
      : rt_(rt),
        browseNumber_(browseNumber),
        def_(def),
        rows_(def.WindowBottom - def.WindowTop - 1),
        width_(def.WindowRight - def.WindowLeft - 1),
        cache_(ResolvePath(rt.session.TempDir + "Browse.tmp"), def.FileHandle != 0),
        exhausted_(def.FileHandle == 0),
        startKey_(std::move(startKey)),
        rangePrefix_(std::move(rangePrefix)) {}

  // Runs the key loop; returns the key that ended it and leaves the chosen entry current.
  std::int16_t Run() {
    DrawHeader();
    current_ = Read(1);
    DrawPage(1);
    for (;;) {
      DrawRow(highlighted_, current_.text, "u");
      std::int16_t key = 0;
      WaitKey(rt_, key);
      DrawRow(highlighted_, current_.text, "h");
      if (!HandleKey(key)) return key;
    }
  }

  const BrowseEntry& Current() const { return current_; }
  void RemoveCache() { cache_.Remove(); }

 private:
  bool AtFirst(const BrowseEntry& e) const {
    // A previous-position that does not lie before the entry (at itself, ahead of it or
    // outside the file) cannot be followed without going round in circles: first entry.
    return e.previous <= 0 || e.previous >= e.position || !cache_.HasDataAt(e.previous);
  }
  bool AtEnd(const BrowseEntry& e) const { return exhausted_ && !cache_.HasDataAt(e.next); }

  // The entry at position, fetching from the record file when the cache ends there.
  BrowseEntry Read(std::int32_t position) {
    if (cache_.HasDataAt(position)) return cache_.Read(position);
    if (!exhausted_) {
      const std::int32_t written = Fetch();
      if (written != 0) return cache_.Read(written);
    }
    // Past the end: an empty entry, from which Up goes back to the last one built.
    BrowseEntry empty;
    empty.position = std::max(position, cache_.Size() + 1);
    empty.next = empty.position;
    empty.previous = lastWritten_;
    return empty;
  }

  bool OutOfRange() {
    const std::string key = CurrentKey(rt_, def_.FileHandle).substr(0, rangePrefix_.size());
    return key > rangePrefix_;
  }

  bool EscapeWaiting() {
    if (rt_.records.browseEscapeCheck) return rt_.records.browseEscapeCheck(rt_);
    InputEvent event;
    return rt_.console.PollEvent(event) && event.kind == EventKind::Key && event.key == keys::kEsc;
  }

  // Builds entries from the record file until one is written or the source ends;
  // returns the new entry's position, 0 when none.
  std::int32_t Fetch() {
    const std::int16_t handle = def_.FileHandle;
    std::int16_t status = 0;
    if (!positioned_) {
      positioned_ = true;
      SeekByKey(rt_, handle, def_.KeyNumber, startKey_, 1, status);
      rangePrefix_ = ComparableKey(rt_, rangePrefix_, handle);
      if (status != 0 || OutOfRange()) {
        exhausted_ = true;
        return 0;
      }
    }
    std::int32_t written = 0;
    while (!exhausted_) {
      std::string text;
      if (rt_.records.browseLineHook) text = rt_.records.browseLineHook(rt_, browseNumber_);
      while (!text.empty() && text.back() == ' ') text.pop_back();
      if (!text.empty()) {
        written = cache_.Append(lastWritten_, RecordPosition(rt_, handle, 0), text);
        lastWritten_ = written;
      }
      StepRecords(rt_, handle, 1, status);
      if (status != 0 || OutOfRange() || EscapeWaiting()) exhausted_ = true;
      if (written != 0) break;
    }
    return written;
  }

  void DrawHeader() {
    SetStyle(rt_, "+n");
    LocateInWindow(rt_, 0, 0);
    if (firstColumn_ == 1)
      rt_.console.Write(std::string(1, kDoubleTopLeft));
    else
      rt_.console.WriteCodePoint(kMarkerLeft);
    const std::string& header = def_.Header;
    std::string line;
    for (int k = firstColumn_; k < firstColumn_ + width_; ++k) {
      char c = k <= static_cast<int>(header.size()) ? header[static_cast<std::size_t>(k - 1)]
                                                    : kDoubleHorizontal;
      if (c == ' ')
        c = kDoubleHorizontal;
      else if (c == '_')
        c = ' ';
      line += c;
    }
    rt_.console.Write(line);
    if (overhang_ < firstColumn_ && static_cast<int>(header.size()) <= firstColumn_ + width_ - 1)
      rt_.console.Write(std::string(1, kDoubleTopRight));
    else
      rt_.console.WriteCodePoint(kMarkerRight);
    SetStyle(rt_, "-");
  }

  void DrawRow(int row, const std::string& text, std::string_view style) {
    SetStyle(rt_, style);
    LocateInWindow(rt_, static_cast<std::int16_t>(row), 1);
    std::string shown;
    if (static_cast<int>(text.size()) >= firstColumn_)
      shown =
          text.substr(static_cast<std::size_t>(firstColumn_ - 1), static_cast<std::size_t>(width_));
    shown.resize(static_cast<std::size_t>(width_), ' ');
    rt_.console.Write(shown);
  }

  // Draws the page starting at position; the current entry stays current.
  void DrawPage(std::int32_t start) {
    rt_.forms.stringStack.Push(PositionText(current_.position));
    pageFirst_ = start;
    const int overhangBefore = overhang_;
    std::int32_t position = start;
    bool reachedEnd = false;
    for (int row = 1; row <= rows_; ++row) {
      const BrowseEntry e = Read(position);
      DrawRow(row, e.text, "h");
      overhang_ = std::max(overhang_, static_cast<int>(e.text.size()) - width_);
      position = e.next;
      if (AtEnd(e)) {
        if (row < highlighted_) highlighted_ = row;
        for (int blank = row + 1; blank <= rows_; ++blank) DrawRow(blank, {}, "h");
        reachedEnd = true;
        break;
      }
    }
    nextPageFirst_ = reachedEnd ? 0 : position;
    // A longer entry came into view: the right corner must now say so.
    if (overhang_ != overhangBefore) DrawHeader();
    const std::string saved = rt_.forms.stringStack.Pop();
    std::int32_t currentPosition = current_.position;
    if (saved.size() == 4)
      currentPosition = static_cast<std::int32_t>(
          static_cast<std::uint8_t>(saved[0]) | (static_cast<std::uint8_t>(saved[1]) << 8) |
          (static_cast<std::uint8_t>(saved[2]) << 16) |
          (static_cast<std::uint32_t>(static_cast<std::uint8_t>(saved[3])) << 24));
    current_ = Read(currentPosition);
  }

  BrowseEntry MoveUp(BrowseEntry e, int n) {
    for (int i = 0; i < n && !AtFirst(e); ++i) e = Read(e.previous);
    return e;
  }

  BrowseEntry MoveDown(BrowseEntry e, int n) {
    for (int i = 0; i < n && !AtEnd(e); ++i) e = Read(e.next);
    return e;
  }

  // Acts on one key; false when the key ends the list.
  bool HandleKey(std::int16_t key) {
    switch (key) {
      case keys::kLeft:
        if (firstColumn_ > 1) {
          firstColumn_ -= 8;
          DrawHeader();
          DrawPage(pageFirst_);
        }
        return true;
      case keys::kRight:
        if (overhang_ >= firstColumn_) {
          firstColumn_ += 8;
          DrawHeader();
          DrawPage(pageFirst_);
        }
        return true;
      case keys::kUp:
        if (!AtFirst(current_)) {
          current_ = Read(current_.previous);
          if (highlighted_ == 1)
            DrawPage(current_.position);
          else
            --highlighted_;
        }
        return true;
      case keys::kDown:
        if (!AtEnd(current_)) {
          current_ = Read(current_.next);
          if (highlighted_ >= rows_)
            DrawPage(Read(pageFirst_).next);
          else
            ++highlighted_;
        }
        return true;
      case keys::kPgUp:
        if (pageFirst_ != 1) PageUp();
        return true;
      case keys::kPgDn:
        if (nextPageFirst_ != 0) {
          current_ = MoveDown(current_, rows_);
          DrawPage(nextPageFirst_);
        }
        return true;
      default:
        return false;
    }
  }

  void PageUp() {
    current_ = MoveUp(current_, rows_);
    const BrowseEntry page = MoveUp(Read(pageFirst_), rows_);
    // The current entry's row on the new page: count the steps back to the page start.
    BrowseEntry e = current_;
    int steps = 0;
    while (e.position != page.position && steps < rows_ && !AtFirst(e)) {
      e = Read(e.previous);
      ++steps;
    }
    if (e.position == page.position) {
      highlighted_ = steps + 1;
      DrawPage(page.position);
    } else {
      highlighted_ = 1;  // a broken chain: start the page at the current entry
      DrawPage(current_.position);
    }
  }

  Runtime& rt_;
  std::int16_t browseNumber_;
  const BrowseDefinition def_;
  const int rows_;
  const int width_;
  BrowseCache cache_;
  BrowseEntry current_;
  int highlighted_ = 1;
  int firstColumn_ = 1;
  int overhang_ = 0;
  std::int32_t pageFirst_ = 1;
  std::int32_t nextPageFirst_ = 0;
  std::int32_t lastWritten_ = 0;
  bool exhausted_;
  bool positioned_ = false;
  std::string startKey_;
  std::string rangePrefix_;
};

}  // namespace

void RunBrowse(Runtime& rt, std::int16_t& browseNumber, std::int16_t& cancelled) {
  cancelled = -1;
  const BrowseDefinition* found = FindBrowse(rt.forms.definition, browseNumber);
  if (found == nullptr) return;
  const BrowseDefinition def = *found;  // the definition table may not move under us
  // A window without a row or a column inside, or off the screen, cannot show a list.
  if (def.WindowBottom - def.WindowTop < 2 || def.WindowRight - def.WindowLeft < 2 ||
      def.WindowTop < 1 || def.WindowLeft < 1 || def.WindowBottom > ScreenRows(rt) ||
      def.WindowRight > ScreenColumns(rt))
    return;

  if (def.FilterForm != 0) {
    std::int16_t form = def.FilterForm;
    std::int16_t key = 0;
    RunForm(rt, form, 0, 0, key);
    if (key == keys::kEsc) return;
  }
  std::string startKey;
  std::string rangePrefix;
  cancelled = rt.records.browseStartHook
                  ? rt.records.browseStartHook(rt, browseNumber, startKey, rangePrefix)
                  : 0;
  if (cancelled != 0) return;

  std::int16_t status = 0;
  if (def.FileHandle >= 1) SetLockMode(rt, def.FileHandle, "+d", status);
  SetStyle(rt, "+n");
  OpenWindow(rt, def.WindowTop, def.WindowLeft, def.WindowBottom, def.WindowRight);
  DrawFrame(rt, kFrameDouble);
  SetStyle(rt, "h");
  SetKeySet(rt, "+ea", "d,1b,4800,5000,4900,5100,4b00,4d00");
  if (def.NestedBrowse != 0) SetKeySet(rt, "a", "3e00");

  std::int16_t key = 0;
  {
    BrowseRun run(rt, browseNumber, def, std::move(startKey), std::move(rangePrefix));
    key = run.Run();
    cancelled = -1;
    if (key == keys::kEnter) {
      const BrowseEntry& chosen = run.Current();
      if (def.FileHandle == 0) {
        rt.records.ChosenPosition = chosen.recordPosition;
        rt.records.ChosenLine = chosen.text;
        cancelled = 0;
      } else if (def.FileHandle > 0 && chosen.recordPosition != 0) {
        cancelled =
            static_cast<std::int16_t>(RecordPosition(rt, def.FileHandle, chosen.recordPosition));
      }
    }
    run.RemoveCache();
  }
  if (key == keys::FunctionKey(4) && def.NestedBrowse != 0) {
    std::int16_t nested = def.NestedBrowse;
    RunBrowse(rt, nested, cancelled);
    if (cancelled == 0) {
      std::int16_t field = 0;
      BrowseSelectHook(rt, nested, 0, field);
    }
  }
  SetKeySet(rt, "-", "");
  CloseWindow(rt);
  SetStyle(rt, "-");
  if (def.FileHandle > 0) SetLockMode(rt, def.FileHandle, "-", status);
}

}  // namespace zt
