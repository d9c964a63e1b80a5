#include "ent/time_code.h"

#include <chrono>
#include <mutex>

namespace velview {

std::string TimeCodeText(std::uint64_t ms) {
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[ms % 36];
        ms /= 36;
    }
    return out;
}

std::uint64_t NextTimeCodeValue(std::uint64_t now) {
    static std::mutex m;
    static std::uint64_t last = 0;
    std::lock_guard<std::mutex> lock(m);
    last = now > last ? now : last + 1;
    return last;
}

std::string NewTimeCode() {
    using namespace std::chrono;
    // 25569 days lie between 30 December 1899 and 1 January 1970.
    const auto sinceUnix = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    const std::uint64_t ms = static_cast<std::uint64_t>(sinceUnix) + 25569ull * 86400000ull;
    return TimeCodeText(NextTimeCodeValue(ms));
}

}  // namespace velview
