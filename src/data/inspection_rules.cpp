#include "data/inspection_rules.h"

#include <algorithm>

#include "common/ext_registry.h"
#include "common/ext_string_list.h"

namespace velview {

int CommentStateSetting() {
    const int v = TExtRegistry("frmViewer").ReadInteger("InpIspCmtSet", 2);
    return v == 1 ? 1 : 2;
}

void SetInspectionState(TPctStateList& list, int photo, int state) {
    if (photo < 0) return;
    list.Item(photo).SetInspectionState(state);
}

bool SetInspectionComment(TPctStateList& list, int photo, const std::string& text, int setting) {
    if (photo < 0) return false;
    TPctSateItem& item = list.Item(photo);
    item.comment = text;
    // Only a comment that says something marks an uninspected photo; clearing one is no
    // judgement about the photo.
    if (!text.empty() && item.InspectionState() == 0) {
        item.SetInspectionState(setting == 1 ? 1 : 2);
        return true;
    }
    return false;
}

void SetInspectionStateAll(TPctStateList& list, const std::vector<int>& photos, int state) {
    for (int p : photos) SetInspectionState(list, p, state);
}

void SetPrintTarget(TPctStateList& list, const std::vector<int>& photos, bool on) {
    for (int p : photos)
        if (p >= 0) list.Item(p).SetBits(1u, on);
}

void CommentHistory::Add(const std::string& text) {
    const std::string t(TrimControl(text));
    if (t.empty()) return;
    items_.erase(std::remove(items_.begin(), items_.end(), t), items_.end());
    items_.insert(items_.begin(), t);
    if (items_.size() > 20) items_.resize(20);
}

}  // namespace velview
