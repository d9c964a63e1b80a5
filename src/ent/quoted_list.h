// Lists of quoted texts as the standard-dependent information writes them: each text in
// single or double quotes, a doubled quote character inside standing for one; blanks and
// commas may separate the texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velview {

// The quoted texts in order. Text outside quotes (other than separators) is skipped.
std::vector<std::string> ParseQuotedTexts(std::string_view s);

// A counted list: a number followed by that many quoted texts (fewer when fewer are there).
std::vector<std::string> ParseCountedList(std::string_view s);

}  // namespace velview
