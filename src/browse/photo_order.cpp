#include "browse/photo_order.h"

#include <algorithm>
#include <string>

#include "data/field_index.h"
#include "data/pct_info.h"

namespace velview {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Byte-wise order of two texts (string_view compares as unsigned char), as -1, 0, +1.
int ByteCompare(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

// A decimal number kept as its digits, so that numbers of any length compare exactly and no
// conversion can fail or throw, however long the serial number in a title is.
struct Decimal {
    bool negative = false;
    std::string whole;     // integer digits
    std::string fraction;  // digits after the decimal point

    void Normalise() {
        const auto lead = whole.find_first_not_of('0');
        whole.erase(0, lead == std::string::npos ? whole.size() : lead);
        const auto trail = fraction.find_last_not_of('0');
        fraction.erase(trail == std::string::npos ? 0 : trail + 1);
        if (whole.empty() && fraction.empty()) negative = false;  // -0 is 0
    }
};

int CompareMagnitude(const Decimal& a, const Decimal& b) {
    if (a.whole.size() != b.whole.size()) return a.whole.size() < b.whole.size() ? -1 : 1;
    if (int c = ByteCompare(a.whole, b.whole)) return c;
    // Without trailing zeros the fraction digits order like the fractions themselves.
    return ByteCompare(a.fraction, b.fraction);
}

int CompareDecimal(const Decimal& a, const Decimal& b) {
    if (a.negative != b.negative) return a.negative ? -1 : 1;
    const int c = CompareMagnitude(a, b);
    return a.negative ? -c : c;
}

// --- titles ---------------------------------------------------------------------------------
//
// Multi-byte UTF-8 sequences never contain ASCII digits or dots, so walking bytes treats a
// double-byte character as one non-digit character, as the title order needs.

// Characters up to the first digit or ".".
std::string_view TitleTextPart(std::string_view s, std::size_t& p) {
    const std::size_t start = p;
    while (p < s.size() && !IsDigit(s[p]) && s[p] != '.') ++p;
    return s.substr(start, p - start);
}

// The number part after a text part. A "." that opens it is skipped ("A.5" reads like "A5").
// Then the longest valid number is read: digits, and a decimal point with its digits only
// after at least one digit. Whatever does not fit (a second "." as in "1.2.3") is left for
// the next step, so such texts compare part by part like version numbers ("1.2.3" before
// "1.2.10"). A part without digits reads 0.
Decimal TitleNumberPart(std::string_view s, std::size_t& p) {
    Decimal d;
    if (p < s.size() && s[p] == '.') ++p;
    std::size_t start = p;
    while (p < s.size() && IsDigit(s[p])) ++p;
    d.whole.assign(s.substr(start, p - start));
    if (!d.whole.empty() && p < s.size() && s[p] == '.') {
        start = ++p;
        while (p < s.size() && IsDigit(s[p])) ++p;
        d.fraction.assign(s.substr(start, p - start));
    }
    d.Normalise();
    return d;
}

// --- places ---------------------------------------------------------------------------------

// Characters up to the first digit, "+" or "-".
std::string_view PlaceTextPart(std::string_view s, std::size_t& p) {
    const std::size_t start = p;
    while (p < s.size() && !IsDigit(s[p]) && s[p] != '+' && s[p] != '-') ++p;
    return s.substr(start, p - start);
}

// Digits with blanks and "," skipped ("1,000", "12 .5"), one decimal point; a second "."
// ends the number and begins the next text part, as in titles. `allowMinus`: a "-" is taken
// as the sign when it is the very first character.
Decimal PlaceDigits(std::string_view s, std::size_t& p, bool allowMinus) {
    Decimal d;
    bool point = false;
    const std::size_t start = p;
    while (p < s.size()) {
        const char c = s[p];
        if (c == ' ' || c == ',') {
            ++p;
        } else if (c == '-' && allowMinus && p == start) {
            d.negative = true;
            ++p;
        } else if (IsDigit(c)) {
            (point ? d.fraction : d.whole) += c;
            ++p;
        } else if (c == '.' && !point) {
            point = true;
            ++p;
        } else {
            break;
        }
    }
    d.Normalise();
    return d;
}

// The signed offset after a station number ("+5.5", "-20"); 0 without a sign.
Decimal PlaceOffset(std::string_view s, std::size_t& p) {
    if (p >= s.size() || (s[p] != '+' && s[p] != '-')) return {};
    const bool negative = s[p] == '-';
    ++p;
    Decimal d = PlaceDigits(s, p, false);
    d.negative = negative;
    d.Normalise();
    return d;
}

// The per-photo values a sort compares, fetched once instead of at every comparison.
struct SortEntry {
    int photo;
    int position;  // before sorting
    int group;
    std::string_view key;
};

}  // namespace

int TitleCompare(std::string_view a, std::string_view b) {
    if (a == b) return 0;
    std::size_t pa = 0, pb = 0;
    // Every round consumes at least one character of a text that has some left: a text part
    // stops only at a digit or ".", and the number part then takes that character.
    do {
        const std::string_view ta = TitleTextPart(a, pa), tb = TitleTextPart(b, pb);
        const Decimal na = TitleNumberPart(a, pa), nb = TitleNumberPart(b, pb);
        if (int c = ByteCompare(ta, tb)) return c;
        if (int c = CompareDecimal(na, nb)) return c;
    } while (pa < a.size() || pb < b.size());
    return 0;
}

int PlaceCompare(std::string_view a, std::string_view b) {
    if (a == b) return 0;
    std::size_t pa = 0, pb = 0;
    if (int c = ByteCompare(PlaceTextPart(a, pa), PlaceTextPart(b, pb))) return c;
    // Each round starts at the end or at a digit, "+" or "-", and the station number or the
    // offset takes that character, so the loop always advances.
    while (pa < a.size() || pb < b.size()) {
        const Decimal sa = PlaceDigits(a, pa, true), sb = PlaceDigits(b, pb, true);
        const Decimal oa = PlaceOffset(a, pa), ob = PlaceOffset(b, pb);
        const std::string_view ta = PlaceTextPart(a, pa), tb = PlaceTextPart(b, pb);
        if (int c = CompareDecimal(sa, sb)) return c;
        if (int c = CompareDecimal(oa, ob)) return c;
        if (int c = ByteCompare(ta, tb)) return c;
    }
    return 0;
}

void SortPhotoSequence(std::vector<int>& sequence, const TPctInfoList& photos, PhotoOrderSetting setting,
                       bool groupByDuplicates) {
    int keyField = -1;
    switch (setting.order) {
    case PhotoOrder::FileName: keyField = fld::PctFNm; break;
    case PhotoOrder::Title: keyField = fld::PctTtl; break;
    case PhotoOrder::Place: keyField = fld::PctPlc; break;
    case PhotoOrder::Date: keyField = fld::PctYMD; break;
    default: break;  // 分類順, and any unknown stored value: the position itself
    }

    std::vector<SortEntry> entries;
    entries.reserve(sequence.size());
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const TEIPctInfo* info = photos.At(sequence[i]);
        SortEntry e{sequence[i], static_cast<int>(i), 0, {}};
        if (info) {
            e.group = info->duplicateGroup;
            if (keyField >= 0) e.key = info->FieldView(keyField);
        }
        entries.push_back(e);
    }

    const auto compare = [&](const SortEntry& x, const SortEntry& y) {
        // The duplicate group is one of the keys, so descending turns the groups round too.
        if (groupByDuplicates && x.group != y.group) return x.group < y.group ? -1 : 1;
        switch (setting.order) {
        case PhotoOrder::FileName:
        case PhotoOrder::Date: return ByteCompare(x.key, y.key);
        case PhotoOrder::Title: return TitleCompare(x.key, y.key);
        case PhotoOrder::Place: return PlaceCompare(x.key, y.key);
        default: return x.position < y.position ? -1 : (x.position > y.position ? 1 : 0);
        }
    };
    // A stable sort with the direction applied to the key comparison only: equal keys keep
    // their earlier order whichever way the list runs.
    std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& x, const SortEntry& y) {
        const int c = compare(x, y);
        return setting.ascending ? c < 0 : c > 0;
    });
    for (std::size_t i = 0; i < entries.size(); ++i) sequence[i] = entries[i].photo;
}

std::string_view FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string PhotoComboText(int position, std::string_view fileField) {
    std::string number = std::to_string(position);
    if (number.size() < 4) number.insert(0, 4 - number.size(), ' ');
    std::string text = number + " | ";
    text += FileNamePart(fileField);
    return text;
}

std::string CounterText(int position, int count) { return std::to_string(position) + "/" + std::to_string(count); }

std::string CardCaption(const TPctInfoList& photos, int photo, int mode) {
    const TEIPctInfo* info = photos.At(photo);
    if (!info) return {};
    switch (mode) {
    case 2: return std::string(info->FieldView(fld::PctTtl));
    case 3: return std::string(info->FieldView(fld::PctPlc));
    default: return std::string(FileNamePart(info->FieldView(fld::PctFNm)));
    }
}

}  // namespace velview
