#include "screen/help.h"

#include <algorithm>
#include <fstream>
#include <string>

#include "app/runtime.h"
#include "config/numeric_text.h"
#include "platform/files.h"
#include "platform/keycodes.h"
#include "platform/process.h"
#include "screen/styles.h"
#include "screen/windows.h"

namespace zt {

namespace {

constexpr int kVisibleCharacters = 76;
constexpr char kHighlightMarker = 30;
constexpr char kUnderlineMarker = 31;
constexpr char kReverseMarker = 16;

void LaunchHtmlHelp(Runtime& rt, std::string_view name) {
  std::string command = "PELVAN AJUDA\\" + std::string(name) + ".HTM";
  std::string commandLine = rt.env.Get("COMSPEC") + " /C " + command;
  if (rt.screen.runCommand) {
    rt.screen.runCommand(rt, commandLine);
  } else {
    RunCommandLine(rt.console, rt.env, command);
  }
}

// A help text file of fixed-length records, one screen line each.
class HelpFile {
 public:
  HelpFile(const std::string& path, int recordLength) : recordLength_(recordLength) {
    file_.open(path, std::ios::binary);
    if (!file_.is_open()) return;
    file_.seekg(0, std::ios::end);
    std::streamoff size = file_.tellg();
    if (size > 0) lines_ = ToInt32(static_cast<double>(size) / recordLength_);
  }

  int Lines() const { return lines_; }

  // Record k (from 1); empty past the end of the file.
  std::string Record(int k) {
    std::string record;
    if (!file_.is_open() || k < 1) return record;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(k - 1) * recordLength_);
    record.resize(static_cast<std::size_t>(recordLength_));
    file_.read(record.data(), recordLength_);
    record.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, file_.gcount())));
    return record;
  }

 private:
  std::ifstream file_;
  int recordLength_;
  int lines_ = 0;
};

// Writes a record at the cursor, switching styles at its markers.
void WriteRecord(Runtime& rt, const std::string& record) {
  bool hasMarkers = record.find_first_of(std::string{kHighlightMarker, kUnderlineMarker,
                                                     kReverseMarker}) != std::string::npos;
  if (!hasMarkers) {
    rt.console.Write(std::string_view(record).substr(0, kVisibleCharacters));
    return;
  }
  bool highlight = false;
  bool underline = false;
  bool reverse = false;
  int shown = 0;
  std::string run;
  auto flush = [&]() {
    rt.console.Write(run);
    run.clear();
  };
  for (char c : record) {
    if (c == kHighlightMarker) {
      if (underline) continue;
      flush();
      highlight = !highlight;
      SetStyle(rt, highlight ? "h" : "n");
    } else if (c == kUnderlineMarker) {
      flush();
      underline = !underline;
      SetStyle(rt, underline ? "u" : "n");
    } else if (c == kReverseMarker) {
      flush();
      reverse = !reverse;
      SetStyle(rt, reverse ? "r" : "n");
    } else if (shown < kVisibleCharacters) {
      run += c;
      ++shown;
    }
  }
  flush();
}

class HelpViewer {
 public:
  HelpViewer(Runtime& rt, std::string_view name)
      : rt_(rt),
        name_(name),
        file_(ResolvePath(rt.session.RootDir + "AJUDA\\" + std::string(name) + ".HLP"),
              ScreenColumns(rt)),
        pageSize_(ScreenRows(rt) - 8) {}

  void Run() {
    SetStyle(rt_, "+h");
    OpenWindow(rt_, 4, 1, static_cast<std::int16_t>(ScreenRows(rt_) - 3), ScreenColumns(rt_));
    DrawFrame(rt_, kFrameDouble);
    SetStyle(rt_, "n");
    ShowPage(1);
    for (;;) {
      int key = ReadRawKey();
      if (key == keys::kEsc) break;
      Act(key);
    }
    CloseWindow(rt_);
    SetStyle(rt_, "-");
  }

 private:
  // Keys as the console gives them, without ReadKey's extras; combinations with Ctrl or
  // Alt, and Shift with an extended key, are other keys and do nothing here.
  int ReadRawKey() {
    for (;;) {
      InputEvent event;
      if (!rt_.console.PollEvent(event)) {
        rt_.console.WaitForInput(-1);
        continue;
      }
      if (event.kind != EventKind::Key || event.key == 0) continue;
      if (event.modifiers & (kModCtrl | kModAlt)) continue;
      bool extended = event.key < 0 || event.key > 255;
      if (extended && (event.modifiers & kModShift)) continue;
      return event.key;
    }
  }

  void Act(int key) {
    const int lines = file_.Lines();
    switch (key) {
      case keys::kF1:
        if (name_ != "TOLVIRAN") ShowHelp(rt_, "TOLVIRAN");
        break;
      case keys::kDown:
        if (lines >= next_) {
          Scroll(1);
          ShowRecord(next_, pageSize_);
          ++next_;
        }
        break;
      case keys::kUp:
        if (next_ - pageSize_ > 1) {
          --next_;
          Scroll(-1);
          ShowRecord(next_ - pageSize_, 1);
        }
        break;
      case keys::kPgDn:
        if (lines >= next_) {
          Scroll(pageSize_);
          if (lines < next_ + pageSize_ - 1) next_ = lines - pageSize_ + 1;
          ShowPage(next_);
        }
        break;
      case keys::kPgUp:
        if (next_ - pageSize_ - 1 > 0) {
          Scroll(-pageSize_);
          if (next_ - 2 * pageSize_ < 1) next_ = 2 * pageSize_;
          ShowPage(next_ - 2 * pageSize_ + 1);
        }
        break;
      case keys::kHome:
        if (next_ - pageSize_ - 1 > 0) {
          Scroll(pageSize_);
          ShowPage(1);
        }
        break;
      case keys::kEnd:
        if (lines >= next_) {
          Scroll(pageSize_);
          ShowPage(lines - pageSize_ + 1);
        }
        break;
      default:
        break;
    }
  }

  // Shows records first .. first + page size - 1; next is the record below them.
  void ShowPage(int first) {
    for (int i = 1; i <= pageSize_; ++i) ShowRecord(first + i - 1, i);
    next_ = first + pageSize_;
  }

  void ShowRecord(int k, int line) {
    SetStyle(rt_, "n");
    LocateInWindow(rt_, static_cast<std::int16_t>(line), 2);
    WriteRecord(rt_, file_.Record(k));
  }

  void Scroll(int lines) {
    // Uncovered lines are blanked in the normal style, whatever a marker left in force.
    SetStyle(rt_, "n");
    ScrollRegion(rt_, 4, 1, static_cast<std::int16_t>(ScreenRows(rt_) - 5),
                 static_cast<std::int16_t>(ScreenColumns(rt_) - 2),
                 static_cast<std::int16_t>(lines));
  }

  Runtime& rt_;
  std::string name_;
  HelpFile file_;
  int pageSize_;
  int next_ = 0;
};

}  // namespace

void ShowHelp(Runtime& rt, std::string_view name) {
  if (rt.session.Platform.substr(0, 3) == "WIN") {
    LaunchHtmlHelp(rt, name);
    return;
  }
  HelpViewer viewer(rt, name);
  viewer.Run();
}

}  // namespace zt
