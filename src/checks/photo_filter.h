// The filter test of one photo: the conditions of the classification tree's filter panel,
// shared by the tree and the command line.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velview {

class TEIPctInfo;
class TPctStateList;
struct TPctFileInfo;

struct PhotoFilter {
    // Easy mode: the text must occur in the value of any tree level (empty: no condition).
    bool easyMode = false;
    std::string easyText;
    // Detailed mode: the value of each level must contain its text (empty: no condition).
    std::vector<std::string> levelTexts;
    // The record fields of the tree levels, top first.
    std::vector<int> levelFields;
    // 整理フラグ: the set flags 0-9 (only for standards of document type 1).
    std::vector<int> sortFlags;
    bool infoError = false;
    bool representative = false;
    bool frequency = false;
    bool inspected = false, findings = false, unchecked = false;
    bool noExifDate = false;
    bool tampered = false;
    bool duplicate = false;

    // Whether any condition is set (the tree is then "filtered" once a photo fails).
    bool Any() const;
};

// What the test needs beyond the record; the callbacks read files only when a condition
// asks for them.
struct FilterInputs {
    const TPctStateList* states = nullptr;
    // The file information of a photo, nullptr when it cannot be obtained (another medium).
    std::function<const TPctFileInfo*(int photo)> fileInfo;
    // Whether the photo's file can be compared, and whether the duplicate search listed it.
    std::function<bool(int photo)> comparable;
    std::function<bool(int photo)> inComparisonList;
    // Cleared when a file's information could not be obtained: the result may be incomplete.
    bool allFilesAvailable = true;
};

// True when the photo `photo` (its record `r`) passes every condition.
bool PassesFilter(const PhotoFilter& filter, const TEIPctInfo& r, int photo, FilterInputs& in);

// The photos 0 .. n-1 of `photos` that pass, in index order.
std::vector<int> FilterPhotos(const PhotoFilter& filter, const std::vector<const TEIPctInfo*>& photos,
                              FilterInputs& in);

}  // namespace velview
