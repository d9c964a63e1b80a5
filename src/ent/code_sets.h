// Named sets of standard codes that other rules test against.
#pragma once

#include <initializer_list>
#include <string_view>

namespace velview {

inline bool CodeIsOneOf(std::string_view code, std::initializer_list<std::string_view> set) {
    for (std::string_view c : set)
        if (code == c) return true;
    return false;
}

// The six expressway standards (variant class 5, work-type masters, relation check).
inline bool IsExpresswayCode(std::string_view code) {
    return CodeIsOneOf(code, {"D00001412", "DS0001604", "D00001807", "D00002407", "D00002807", "D00002907"});
}
// The expressway-company standards with item layout D.
inline bool IsExpresswayLayoutCode(std::string_view code) {
    return CodeIsOneOf(code, {"D00002407", "D00002807", "D00002907"});
}
// Provisional national editions, removed from the user list on merge unless user group.
inline bool IsProvisionalNationalCode(std::string_view code) {
    return CodeIsOneOf(code, {"C000Z1801", "CE00Z1801", "K000Z1801", "KE00Z1801"});
}
inline bool IsCityEditionCode(std::string_view code) {
    return CodeIsOneOf(code, {"P14041903", "E14041903", "P14042202", "E14042202"});
}
// True when the DTD type is 3 or higher or the code is "D00001807" or "D00002407", and the
// code is not "TG0000000": the reader counts groups and the dialogs offer the newer items.
inline bool UsesGroupedItems(int dtdType, std::string_view code) {
    return (dtdType >= 3 || code == "D00001807" || code == "D00002407") && code != "TG0000000";
}

}  // namespace velview
