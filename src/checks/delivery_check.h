// The check of a loaded delivery against the current standard: per photo every fault of the
// record checks, the relation check and the photo and drawing files.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/db_exp_inp.h"

namespace velview {

enum class FaultKind { Required = 0, Length, Class, Prefix, Rule, File };
constexpr int kFaultKindCount = 6;
const char* FaultKindName(FaultKind k);

struct PhotoFault {
    FaultKind kind;
    int field = -1;         // record field
    int item = -1;          // item of the standard (-1 for a file fault without item)
    std::string itemName;   // the standard's name of the item
    std::string mark;       // "◎", "○", "△", "×"
    std::string detail;     // what was wrong, for file faults and rule results
};

struct PhotoReport {
    int number = 0;          // photo number (0-based position)
    std::string file;        // the photo file name as delivered
    std::vector<PhotoFault> faults;
    std::string note;        // e.g. the file lies on another medium (not a fault)
};

struct DeliveryReport {
    std::vector<PhotoReport> photos;
    int photosWithFaults = 0;
    std::array<int, kFaultKindCount> faultsByKind{};
};

// Checks every record of the format object; `medium` is the medium the folder holds.
DeliveryReport CheckDelivery(const TDBExpInp& format, int medium);

}  // namespace velview
