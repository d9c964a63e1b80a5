#include "data/kstring.h"

#include <cmath>
#include <cstdlib>

#include "common/text_encoding.h"

namespace velview {

void TKstring::SetLine(std::string_view line) {
    line_.assign(line);
    pos_ = 0;
    dead_ = false;
}

std::size_t TKstring::CharLength(std::size_t at) const {
    // A lead byte takes its trail byte along, so a trail byte is never taken for a quote or
    // a digit.
    return (text::IsCp932LeadByte(static_cast<unsigned char>(line_[at])) && at + 1 < line_.size()) ? 2 : 1;
}

int TKstring::NextNumber() {
    if (dead_) return 0;
    auto digit = [&](std::size_t i) { return i < line_.size() && line_[i] >= '0' && line_[i] <= '9'; };
    while (pos_ < line_.size()) {
        // The longest prefix from here that reads as a decimal real number.
        std::size_t i = pos_;
        if (line_[i] == '+' || line_[i] == '-') ++i;
        std::size_t digits = 0;
        while (digit(i)) ++i, ++digits;
        if (i < line_.size() && line_[i] == '.') {
            std::size_t j = i + 1, frac = 0;
            while (digit(j)) ++j, ++frac;
            if (digits + frac > 0) {
                i = frac > 0 ? j : i;  // a trailing "." is no part of the number
                digits += frac;
            }
        }
        if (digits > 0 && i < line_.size() && (line_[i] == 'e' || line_[i] == 'E')) {
            std::size_t j = i + 1;
            if (j < line_.size() && (line_[j] == '+' || line_[j] == '-')) ++j;
            if (digit(j)) {
                while (digit(j)) ++j;
                i = j;
            }
        }
        if (digits == 0) {
            pos_ += CharLength(pos_);
            continue;
        }
        const std::string number = line_.substr(pos_, i - pos_);
        pos_ = i;
        const double v = std::strtod(number.c_str(), nullptr);
        if (!std::isfinite(v) || v >= 2147483648.0 || v <= -2147483649.0) return 0;
        return static_cast<int>(std::trunc(v));
    }
    dead_ = true;
    return 0;
}

bool TKstring::NextQuoted(std::string& out) {
    out.clear();
    if (dead_) return false;
    std::size_t i = pos_;
    while (i < line_.size() && line_[i] != '"' && line_[i] != '\'') i += CharLength(i);
    if (i + 1 >= line_.size()) return false;  // no opening quote before the last byte
    const char q = line_[i];
    std::size_t j = i + 1;
    while (j < line_.size()) {
        if (line_[j] == q) {
            if (j + 1 < line_.size() && line_[j + 1] == q) {
                out += q;
                j += 2;
                continue;
            }
            pos_ = j + 1;
            return true;
        }
        const std::size_t n = CharLength(j);
        out.append(line_, j, n);
        j += n;
    }
    out.clear();  // no closing quote: nothing, and the position stays
    return false;
}

std::string DecodeListField(std::string_view text) {
    TKstring s(text);
    std::string out, item;
    bool first = true;
    // Each found item moves the position on; the list ends where no further quote opens, so
    // a text without quotes or ending in a comma cannot loop.
    while (s.HasMore() && s.NextQuoted(item)) {
        if (!first) out += "\r\n";
        out += item;
        first = false;
    }
    return out;
}

}  // namespace velview
