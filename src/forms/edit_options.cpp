#include "forms/edit_options.h"

#include "app/runtime.h"
#include "locale/folding.h"

namespace zt::edit {

std::vector<Option> ParseOptions(std::string_view list) {
  std::vector<Option> options;
  auto bar = list.find('|');
  while (bar != std::string_view::npos) {
    const auto next = list.find('|', bar + 1);
    const std::string_view piece = list.substr(
        bar + 1, next == std::string_view::npos ? std::string_view::npos : next - bar - 1);
    const auto comma = piece.find(',');
    Option option;
    option.code.assign(piece.substr(0, comma));
    if (comma != std::string_view::npos) option.text.assign(piece.substr(comma + 1));
    options.push_back(std::move(option));
    bar = next;
  }
  return options;
}

std::string FitToWidth(std::string_view code, std::size_t width) {
  std::string fitted(code.substr(0, width));
  fitted.resize(width, ' ');
  return fitted;
}

std::size_t SelectedOption(const std::vector<Option>& options, std::string_view fieldText) {
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (options[i].code == fieldText) return i;
  }
  // A code shorter than the field is stored padded with blanks: recognise it again, or
  // every edit would silently switch such a field to the first option.
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (FitToWidth(options[i].code, fieldText.size()) == fieldText) return i;
  }
  return 0;
}

std::size_t SearchByFirstLetter(Runtime& rt, const std::vector<Option>& options,
                                std::size_t selected, char typed) {
  if (options.empty()) return selected;
  const bool saved = rt.locale.accentFreeFolding;
  rt.locale.accentFreeFolding = true;
  const std::string wanted = FoldText(rt, std::string_view(&typed, 1));
  std::size_t found = selected;
  for (std::size_t step = 1; step <= options.size(); ++step) {
    const std::size_t i = (selected + step) % options.size();
    const std::string& text = options[i].text;
    if (text.empty()) continue;
    if (FoldText(rt, std::string_view(text).substr(0, 1)) == wanted) {
      found = i;
      break;
    }
  }
  rt.locale.accentFreeFolding = saved;
  return found;
}

}  // namespace zt::edit
