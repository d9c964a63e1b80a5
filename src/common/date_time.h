// Date-time values as the program holds them: days since 30 December 1899, the time of day as
// the fraction.
#pragma once

namespace velview {

// The day of a civil date (proleptic Gregorian); 0 when the date does not exist.
double EncodeDate(int year, int month, int day);
// The time of day as a fraction of a day; -1 when the time does not exist.
double EncodeTime(int hour, int minute, int second);
// The civil date of a day value.
void DecodeDate(double dateTime, int& year, int& month, int& day);

}  // namespace velview
