// The rules of the inspection record: states, comments, bulk commands and print targets, as
// every inspection panel and command applies them.
#pragma once

#include <string>
#include <vector>

#include "data/pct_info.h"

namespace velview {

// What a comment typed for a "－" photo makes of its state: 2 "指摘あり" (the default), 1
// "検査済". Read from the main window's settings ("InpIspCmtSet").
int CommentStateSetting();

// Sets the state of a photo (exactly one of the two bits); nothing for photo -1.
void SetInspectionState(TPctStateList& list, int photo, int state);
// Stores a comment. A non-empty comment for a "－" photo also sets the state the setting
// names; clearing a comment never changes the state. Returns whether the state changed.
bool SetInspectionComment(TPctStateList& list, int photo, const std::string& text, int commentStateSetting);
// The bulk commands: the state of every listed photo; comments are left as they are.
void SetInspectionStateAll(TPctStateList& list, const std::vector<int>& photos, int state);
// Print-target marks touch bit 0 only.
void SetPrintTarget(TPctStateList& list, const std::vector<int>& photos, bool on);

// The recent comments of a panel: up to 20, newest first, an equal older entry removed.
class CommentHistory {
public:
    void Add(const std::string& text);
    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
};

}  // namespace velview
