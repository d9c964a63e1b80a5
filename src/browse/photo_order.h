// The order of the photo sequence: the natural comparisons of photo titles and shooting
// places, and the stable sort by the photo order setting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velview {

class TPctInfoList;

// Titles such as "写真1", "写真2", "写真10": text parts byte-wise, number parts numerically.
// Returns -1, 0 or +1.
int TitleCompare(std::string_view a, std::string_view b);
// Station-style places such as "No.1+5.5": leading text, station number, signed offset.
// Returns -1, 0 or +1.
int PlaceCompare(std::string_view a, std::string_view b);

// The photo order setting; the numbers are those stored in the settings ("PctSort").
enum class PhotoOrder : int { Class = 1, FileName = 2, Title = 3, Place = 4, Date = 5 };

struct PhotoOrderSetting {
    PhotoOrder order = PhotoOrder::Class;
    bool ascending = true;
};

// Sorts `sequence` (photo numbers in tree order) stably. With `groupByDuplicates` the
// duplicate group number of each record is the first key. Descending inverts only the key
// comparison: equal keys keep their earlier order in both directions, and descending
// 分類順 is exactly the reversed tree order.
void SortPhotoSequence(std::vector<int>& sequence, const TPctInfoList& photos, PhotoOrderSetting setting,
                       bool groupByDuplicates);

// The file-name part of a ファイル名 field (after the last "/" or "\").
std::string_view FileNamePart(std::string_view path);
// The photo combo's item: the 1-based position right-aligned to 4 characters, " | ", and
// the file-name part of the photo's ファイル名.
std::string PhotoComboText(int position, std::string_view fileField);
// "%d/%d": position and count.
std::string CounterText(int position, int count);

// The card caption mode ("ViewTitle"): 1 file name, 2 写真タイトル, 3 撮影箇所.
std::string CardCaption(const TPctInfoList& photos, int photo, int mode);

}  // namespace velview
