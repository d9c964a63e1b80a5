// The PHOTO.XML vocabulary of every edition: document types, section and item names and the
// fields they feed.
#pragma once

#include <string_view>

namespace velview {

struct DocumentType {
    std::string_view systemId;
    int version;
    int variant;
};
// The document types in the order they are tested.
extern const DocumentType kDocumentTypes[6];
// The first document type whose name the tag contains (upper-cased), or null.
const DocumentType* MatchDocumentType(std::string_view tag);

// The field of TBaseInformation (1-10) an element of 基礎情報 / ソフトウェア情報 feeds; 0 if none.
int BasicInfoField(std::string_view element);
// The field of TKojiInformation (1-15) an element of 工事情報 feeds; 0 if none.
int ConstructionInfoField(std::string_view element);
// The position (0-44) of a photo item element, -1 if none.
int PhotoItemPosition(std::string_view element);
// The record field a photo item position feeds.
int PhotoItemField(int position);
// The repeating elements of editions 2-5 whose occurrences count ("付加情報" included).
bool IsRepeatingGroupElement(std::string_view element);

constexpr std::string_view kExpresswayGuideline = "工事記録写真等撮影要領";

}  // namespace velview
