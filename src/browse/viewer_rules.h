// Rules of the viewer's main window that are not drawing: the data-file hash that decides
// whether inspection states survive a new folder, the texts of the status bar, the title and
// the inspection-loss question, and the construction-management file of a delivery.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

class TPctStateList;
class TPctInfoList;

// The hash of a data file's bytes: -1 for an empty text, 0 is left for a missing file.
std::int32_t PhotoXmlHash(std::string_view bytes);

// The data file of a folder by kind, in the order the tree looks for it: "Photo.xml",
// "撮記堂.csv", "写真情報.csv" (names matched ignoring letter case); empty when none.
std::filesystem::path DataFileOf(const std::filesystem::path& folder);
// PhotoXmlHash of the folder's data file (whichever kind it holds, so that inspection states
// never pass between two different CSV deliveries); 0 when there is none or it cannot be read.
std::int32_t DataFileHash(const std::filesystem::path& folder);

// Whether leaving the data would lose anything: some photo is 検査済 or 指摘あり or has a
// comment.
bool InspectionDataPresent(const TPctStateList& states);
// The confirmation text: the lead, the explanation of how to keep the history, the question.
// Line breaks are "\r" as in the other message texts.
std::string InspectionLossText(std::string_view lead, std::string_view question);

// The application title and the main window title (" - " and the construction name for
// PHOTO.XML data when there is one).
extern const char* const kApplicationTitle;
std::string MainWindowTitle(bool photoXmlData, std::string_view constructionName);

// The construction-management file: the data folder's parent followed by the standard's file
// name.
std::filesystem::path ConstructionFilePath(const std::filesystem::path& dataFolder, std::string_view fileName);
// The first "工事名称" element of that file; empty when it is missing or names none.
std::string ConstructionNameFromFile(const std::filesystem::path& file);

// Status bar texts.
extern const char* const kNoDataStatus;
// "写真枚数 : %d 枚", with "  代表写真 : %d 枚" for standards of document type above 2.
std::string PhotoCountStatus(const TPctInfoList& photos, const std::vector<int>& sequence, int dtdType);
// The request to insert another medium, for the second panel: empty when `medium` is empty.
std::string InsertMediumStatus(std::string_view medium);
// The same request in the copy-to-clipboard message.
std::string InsertMediumMessage(std::string_view medium);

// Save photo file: the dialog's filter for a photo's extension, and whether `target` may be
// written (never the source itself, never inside the delivery folder).
std::string SavePhotoFilter(std::string_view extension);
bool SavePhotoTargetAllowed(const std::filesystem::path& source, const std::filesystem::path& target,
                            const std::filesystem::path& deliveryFolder);

// Whether a file may be handed to the desktop's default application: a regular file inside
// `root` (the medium or construction folder), not executable, and not a launcher or script.
bool SafeToOpenExternally(const std::filesystem::path& file, const std::filesystem::path& root);

}  // namespace velview
