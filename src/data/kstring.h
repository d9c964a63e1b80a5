// The field scanner of the photo CSV files. It works on the CP932 bytes of a line and never
// looks at commas: numbers are found by their digits and texts by their quote characters.
#pragma once

#include <string>
#include <string_view>

namespace velview {

class TKstring {
public:
    explicit TKstring(std::string_view cp932Line = {}) { SetLine(cp932Line); }
    void SetLine(std::string_view cp932Line);

    // The longest decimal number from the current position (skipping what is no number),
    // truncated toward zero; 0 when none is left (and every later text reads empty). A
    // number beyond the 32-bit range reads 0.
    int NextNumber();
    // The next text in single or double quotes, a doubled quote standing for one; empty when
    // none is left (the position then stays).
    std::string NextQuoted() {
        std::string s;
        NextQuoted(s);
        return s;
    }
    // The same, telling whether a quoted text was found at all.
    bool NextQuoted(std::string& out);
    // Whether text is left after the current position.
    bool HasMore() const { return !dead_ && pos_ < line_.size(); }

private:
    std::size_t CharLength(std::size_t at) const;
    std::string line_;
    std::size_t pos_ = 0;
    bool dead_ = false;
};

// Decodes a list column: quoted items inside one field, joined with CR LF.
std::string DecodeListField(std::string_view cp932Text);

}  // namespace velview
