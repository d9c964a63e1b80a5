// The PHOTO.XML format object: reads the document of any edition into the basic information,
// the construction information and one photo record per "写真情報".
#pragma once

#include <string>

#include "data/db_exp_inp.h"
#include "data/tag_reader.h"

namespace velview {

class TDBExpInpXML : public TDBExpInp {
public:
    explicit TDBExpInpXML(const TEIControl& control);

    // 0 when the document was read (also partly: what was read before a break stays); 2 when
    // PHOTO.XML exists but cannot be read.
    int Read() override;
    void SetupPaths() override;
    // Points the photo and drawing folders at another base folder (another medium).
    void SetBaseFolder(const std::string& folder) override;
    // Parses a document text (UTF-8). False when it broke off; what was read stays.
    bool ParseDocument(std::string utf8Text, const std::string& fileForMessages);

    int DtdVersion = 0;
    int DtdVariant = 0;
    std::string StandardCodeAtLoad;
    bool HasPhoto04Dtd = false;
    XmlEncoding Encoding = XmlEncoding::ShiftJis;

private:
    void ApplyOrg700Rule();
    void ParseRoot(TTagReader& r);
    void ParseInfoSection(TTagReader& r, std::string_view endTag, bool construction);
    void ParseMakerTags(TTagReader& r);
    void ParsePhoto(TTagReader& r, TEIPctInfo& rec);
};

}  // namespace velview
