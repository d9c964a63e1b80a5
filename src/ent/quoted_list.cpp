#include "ent/quoted_list.h"

#include <cctype>

#include "common/ext_string_list.h"

namespace velview {

std::vector<std::string> ParseQuotedTexts(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const char q = s[i];
        if (q != '"' && q != '\'') {
            ++i;
            continue;
        }
        std::string text;
        ++i;
        bool closed = false;
        while (i < s.size()) {
            if (s[i] == q) {
                if (i + 1 < s.size() && s[i + 1] == q) {
                    text += q;
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            text += s[i++];
        }
        // An unclosed quote still yields what it holds: the list ends with it.
        out.push_back(std::move(text));
        if (!closed) break;
    }
    return out;
}

std::vector<std::string> ParseCountedList(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    std::size_t start = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    int count = 0;
    if (!ParseSettingsInteger(s.substr(start, i - start), count) || count <= 0) return {};
    std::vector<std::string> texts = ParseQuotedTexts(s.substr(i));
    if (texts.size() > static_cast<std::size_t>(count)) texts.resize(static_cast<std::size_t>(count));
    return texts;
}

}  // namespace velview
