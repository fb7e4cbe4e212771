#pragma once
// The option list of a choice field: "|code,text|code,text...". An option's code runs from
// after its "|" to the next ","; its text from after that "," to the next "|" or the end.
#include <string>
#include <string_view>
#include <vector>

namespace zt {
struct Runtime;
}

namespace zt::edit {

struct Option {
  std::string code;
  std::string text;
};

// The options of list in order. Text before the first "|" belongs to no option; an option
// without "," has the whole piece as its code and an empty text.
std::vector<Option> ParseOptions(std::string_view list);

// Index of the option whose code is the field text: an exact match (trailing blanks
// included) first, else a code that gives the text once padded with blanks to the text's
// width (the form it is stored in). 0 (the first option) when none matches.
std::size_t SelectedOption(const std::vector<Option>& options, std::string_view fieldText);

// First-letter search: from the option after `selected`, wrapping once round the list,
// the first option whose text begins with typed, both compared after accent-free folding
// (the folding switch is on for the search only). Returns `selected` when none matches.
std::size_t SearchByFirstLetter(Runtime& rt, const std::vector<Option>& options,
                                std::size_t selected, char typed);

// code left-justified into width characters (padded with blanks, or cut).
std::string FitToWidth(std::string_view code, std::size_t width);

}  // namespace zt::edit
