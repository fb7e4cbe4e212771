#include "tools/calculator_state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <vector>

#include "config/numeric_text.h"
#include "platform/files.h"

namespace zt {

namespace {

// The largest value that 15 significant digits can write without exceeding a double.
constexpr double kLargestWritable = 1.79769313486231e308;

struct Field {
  std::string text;
  bool quoted = false;
};

std::vector<Field> SplitFields(std::string_view line) {
  std::vector<Field> fields;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && line[i] == ' ') ++i;
    Field field;
    if (i < line.size() && line[i] == '"') {
      field.quoted = true;
      std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) close = line.size();
      field.text = std::string(line.substr(i + 1, close - i - 1));
      i = close + 1;
      std::size_t comma = i < line.size() ? line.find(',', i) : std::string_view::npos;
      i = comma == std::string_view::npos ? line.size() : comma;
    } else {
      std::size_t comma = line.find(',', i);
      if (comma == std::string_view::npos) comma = line.size();
      field.text = std::string(line.substr(i, comma - i));
      while (!field.text.empty() && field.text.back() == ' ') field.text.pop_back();
      i = comma;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) break;
    ++i;  // past the comma
  }
  return fields;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// A whole field that is a decimal number (optional sign, digits with an optional point,
// optional exponent with E or D); anything else is not a number. Too large saturates.
std::optional<double> NumberField(const std::vector<Field>& fields, std::size_t index) {
  if (index >= fields.size() || fields[index].quoted) return std::nullopt;
  std::string text = fields[index].text;
  std::size_t i = DecimalPrefixLength(text);
  if (i == 0) return std::nullopt;
  auto isDigit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    text[i] = 'E';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!isDigit(i)) return std::nullopt;
    while (isDigit(i)) ++i;
  }
  if (i != text.size()) return std::nullopt;
  double value = std::strtod(text.c_str(), nullptr);
  if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);
  return value;
}

void ReadInt16(const std::vector<Field>& fields, std::size_t index, std::int16_t low,
               std::int16_t high, std::int16_t& target) {
  std::optional<double> value = NumberField(fields, index);
  if (!value) return;
  std::int16_t whole = ToInt16(*value);
  if (whole >= low && whole <= high) target = whole;
}

void ReadFlag(const std::vector<Field>& fields, std::size_t index, bool& target) {
  std::optional<double> value = NumberField(fields, index);
  if (value) target = ToInt16(*value) != 0;
}

void ReadDouble(const std::vector<Field>& fields, std::size_t index, double& target) {
  std::optional<double> value = NumberField(fields, index);
  if (value) target = *value;
}

bool IsTapeOperator(char ch) {
  return std::string_view("+-*/=%R ").find(ch) != std::string_view::npos;
}

const char* FlagText(bool flag) {
  return flag ? "-1" : "0";
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char ch : text) {
    if (ch != '"' && ch != '\r' && ch != '\n') quoted += ch;  // a quote would end the field
  }
  return quoted + "\"";
}

}  // namespace

std::string FormatFileNumber(double value) {
  if (std::isnan(value)) return "0";
  if (std::isinf(value)) value = std::copysign(kLargestWritable, value);
  if (value == 0) return "0";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  // Plain numbers below 1 are written without the zero before the point: .5, -.25
  if (text.rfind("0.", 0) == 0) {
    text.erase(0, 1);
  } else if (text.rfind("-0.", 0) == 0) {
    text.erase(1, 1);
  }
  return text;
}

std::string FormatCalculatorFile(const CalculatorState& state) {
  std::string text;
  text += std::to_string(state.windowLeft) + "," + std::to_string(state.firstShown) + "," +
          FormatFileNumber(state.display) + "," + FormatFileNumber(state.accumulator) + "\r\n";
  text += std::string(FlagText(state.cleared)) + "," + FlagText(state.entering) + "," +
          FlagText(state.point) + "," + std::to_string(state.decimals) + "\r\n";
  text += Quoted(state.lastOperator) + "," + Quoted(state.pendingOperator) + "\r\n";
  for (const TapeEntry& entry : state.tape) {
    text += FormatFileNumber(entry.value) + "," + FlagText(entry.point) + "," +
            std::to_string(entry.decimals) + "," + Quoted(std::string(1, entry.op)) + "\r\n";
  }
  return text;
}

CalculatorState ParseCalculatorFile(std::string_view text) {
  CalculatorState state;
  std::vector<std::string_view> lines = SplitLines(text);
  auto line = [&](std::size_t n) {
    return n < lines.size() ? SplitFields(lines[n]) : std::vector<Field>{};
  };

  std::vector<Field> first = line(0);
  ReadInt16(first, 0, 1, kLastWindowLeft, state.windowLeft);
  ReadInt16(first, 1, 2, kTapeHidden, state.firstShown);
  ReadDouble(first, 2, state.display);
  ReadDouble(first, 3, state.accumulator);

  std::vector<Field> second = line(1);
  ReadFlag(second, 0, state.cleared);
  ReadFlag(second, 1, state.entering);
  ReadFlag(second, 2, state.point);
  ReadInt16(second, 3, 0, kMaxDecimals, state.decimals);

  std::vector<Field> third = line(2);
  if (!third.empty() && third[0].quoted) state.lastOperator = third[0].text;
  if (third.size() > 1 && third[1].quoted &&
      (third[1].text.empty() ||
       (third[1].text.size() == 1 &&
        std::string_view("+-*/").find(third[1].text[0]) != std::string_view::npos))) {
    state.pendingOperator = third[1].text;
  }

  for (int i = 0; i < kTapeSize; ++i) {
    std::vector<Field> fields = line(3 + i);
    TapeEntry& entry = state.tape[i];
    ReadDouble(fields, 0, entry.value);
    ReadFlag(fields, 1, entry.point);
    ReadInt16(fields, 2, 0, kMaxDecimals, entry.decimals);
    if (fields.size() > 3 && fields[3].quoted) {
      char op = fields[3].text.empty() ? ' ' : fields[3].text[0];
      if (IsTapeOperator(op)) entry.op = op;
    }
  }
  return state;
}

std::string CalculatorFilePath(const Runtime& rt) {
  return ResolvePath(rt.session.TerminalDir + "KYBCALC.TMP");
}

CalculatorState LoadCalculatorState(const std::string& path) {
  if (!FileExists(path)) {
    std::ofstream create(path, std::ios::binary | std::ios::app);
  }
  std::string text;
  if (!ReadWholeFile(path, text)) return CalculatorState{};
  return ParseCalculatorFile(text);
}

bool SaveCalculatorState(const std::string& path, const CalculatorState& state) {
  // Written beside the file and renamed over it, so a failed write never leaves half a tape.
  std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << FormatCalculatorFile(state);
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace zt
