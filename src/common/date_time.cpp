#include "common/date_time.h"

#include <cmath>

namespace velview {

double EncodeDate(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return 0;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return 0;
    // Days from the civil date (H. Hinnant's algorithm), moved to the 1899-12-30 epoch.
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days1970 = static_cast<long>(era) * 146097 + doe - 719468;
    return static_cast<double>(days1970 + 25569);
}

double EncodeTime(int h, int mi, int s) {
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) return -1;
    return (h * 3600.0 + mi * 60.0 + s) / 86400.0;
}

void DecodeDate(double dateTime, int& y, int& m, int& d) {
    long z = static_cast<long>(std::floor(dateTime)) - 25569 + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace velview
