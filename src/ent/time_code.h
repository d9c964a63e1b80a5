// Time codes: the ids and edit dates of standards made by the program.
#pragma once

#include <cstdint>
#include <string>

namespace velview {

// The current time in whole milliseconds since 30 December 1899, raised to the previous
// value plus one when it would not exceed it, so codes are strictly increasing within a run;
// written as its last eight base-36 digits ("0"-"9", "A"-"Z"), most significant first.
std::string NewTimeCode();

// The same for a given millisecond count (for tests and for NewTimeCode).
std::string TimeCodeText(std::uint64_t milliseconds);
std::uint64_t NextTimeCodeValue(std::uint64_t nowMilliseconds);

}  // namespace velview
