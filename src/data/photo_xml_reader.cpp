#include "data/photo_xml_reader.h"

#include <sys/stat.h>

#include "common/file_io.h"
#include "common/text_encoding.h"
#include "data/ei_control.h"
#include "data/photo_xml_vocabulary.h"
#include "ent/current_standard.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
bool DirectoryExists(const std::string& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

std::string LastComponent(const std::string& folder) {
    std::string f = folder;
    while (!f.empty() && f.back() == '/') f.pop_back();
    const std::size_t p = f.find_last_of('/');
    return p == std::string::npos ? f : f.substr(p + 1);
}
}  // namespace

TDBExpInpXML::TDBExpInpXML(const TEIControl& control) : TDBExpInp(control) {
    const TEntType& s = CurrentStandard();
    DtdVersion = s.dtdVer;
    DtdVariant = s.VariantClass();
    StandardCodeAtLoad = s.code;
}

void TDBExpInpXML::ApplyOrg700Rule() {
    // A folder named ORG700 may hold photos and drawings itself.
    if (text::EqualsAsciiNoCase(LastComponent(BaseFolder), "ORG700") && !DirectoryExists(PhotoFolder) &&
        !DirectoryExists(DrawingFolder)) {
        PhotoFolder = BaseFolder;
        DrawingFolder = BaseFolder;
    }
}

void TDBExpInpXML::SetupPaths() {
    TDBExpInp::SetupPaths();
    ApplyOrg700Rule();
}

void TDBExpInpXML::SetBaseFolder(const std::string& folder) {
    TDBExpInp::SetBaseFolder(folder);
    ApplyOrg700Rule();
}

int TDBExpInpXML::Read() {
    try {
        SetupPaths();
        const fs::path dtd04 = FindEntryNoCase(BaseFolder, "PHOTO04.DTD");
        HasPhoto04Dtd = !dtd04.empty() && IsRegularFile(dtd04);
        Photos.Clear();
        const fs::path xml = FindEntryNoCase(BaseFolder, "PHOTO.XML");
        if (xml.empty()) return 0;  // no document: an empty delivery
        // A PHOTO.XML that is there but cannot be read is a failed load, not an empty one.
        DecodedXml doc;
        {
            // The file's bytes go before the records are made, which then reuse their memory.
            const std::string bytes = ReadRegularFile(xml, std::uint64_t(1) << 31);
            doc = DecodeXmlBytes(bytes);
        }
        Encoding = doc.encoding;
        for (auto& p : doc.problems) Problems.push_back(xml.filename().string() + ": " + p);
        ParseDocument(std::move(doc.text), xml.filename().string());
        return 0;
    } catch (const std::exception& e) {
        Problems.emplace_back(e.what());
        return 2;
    }
}

bool TDBExpInpXML::ParseDocument(std::string text, const std::string& file) {
    Photos.Clear();
    TTagReader r;
    r.Open(std::move(text));
    r.Next();
    DtdVersion = 0;
    DtdVariant = 0;
    bool rootSeen = false;
    while (!r.Tag().empty() && !r.StructureError()) {
        if (const DocumentType* d = MatchDocumentType(r.Tag())) {
            DtdVersion = d->version;
            DtdVariant = d->variant;
        }
        if (text::EqualsAsciiNoCase(r.Name(), "photodata")) {
            rootSeen = true;
            ParseRoot(r);
            if (BaseInfo.guideline.find(kExpresswayGuideline) != std::string::npos) {
                if (DtdVersion == 2 && DtdVariant == 0) DtdVariant = 5;
                if (DtdVersion == 3 || DtdVersion == 4) {
                    DtdVersion = 2;
                    DtdVariant = 5;
                }
            }
            if (r.Tag().empty() || r.StructureError()) break;
        }
        r.Next();
    }
    const bool ok = !r.StructureError() && rootSeen;
    if (r.StructureError())
        Problems.push_back(file + ": line " + std::to_string(r.Line()) + ": closing tag <" + r.Tag() +
                           "> does not match the open element; reading stopped there");
    else if (!rootSeen)
        Problems.push_back(file + ": no photodata element");
    return ok;
}

void TDBExpInpXML::ParseRoot(TTagReader& r) {
    int n = 0;
    r.Next();
    while (!r.AtEnd("/photodata")) {
        const std::string_view name = r.Name();
        if (r.IsEmptyElement()) {
            // nothing to read
        } else if (name == "基礎情報") {
            ParseInfoSection(r, "/基礎情報", false);
        } else if (name == "ソフトウェア情報") {
            ParseInfoSection(r, "/ソフトウェア情報", false);
        } else if (name == "工事情報") {
            ParseInfoSection(r, "/工事情報", true);
        } else if (name == "写真情報") {
            ParsePhoto(r, Photos.Items(n));
            ++n;
        } else if (name == "ソフトメーカ用TAG") {
            ParseMakerTags(r);
        }
        if (r.AtEnd("/photodata") && r.Name() != "/photodata") break;
        r.Next();
    }
    if (r.Tag().empty()) Problems.push_back("PHOTO.XML: the document ends before </photodata>");
}

void TDBExpInpXML::ParseInfoSection(TTagReader& r, std::string_view endTag, bool construction) {
    r.Next();
    while (!r.AtEnd(endTag)) {
        if (!r.IsClosing() && !r.IsEmptyElement()) {
            const std::string name(r.Name());
            const int field = construction ? ConstructionInfoField(name) : BasicInfoField(name);
            if (field > 0) {
                std::string v = r.ContentOf(name);
                if (construction)
                    KojiInfo.Set(field, std::move(v));
                else
                    BaseInfo.Set(field, std::move(v));
                // An element that held other elements leaves the reader on the first of them.
                if (!(r.IsClosing() && r.Name().substr(1) == name)) continue;
            }
        }
        r.Next();
    }
}

void TDBExpInpXML::ParseMakerTags(TTagReader& r) {
    BaseInfo.tags.clear();
    r.Next();
    while (!r.AtEnd("/ソフトメーカ用TAG")) {
        if (!r.IsClosing() && !r.IsEmptyElement()) {
            // Each child element gives one line, also when it is empty.
            const std::string name(r.Name());
            BaseInfo.tags.push_back(r.ContentOf(name));
            if (!(r.IsClosing() && r.Name().substr(1) == name)) continue;
        }
        r.Next();
    }
}

void TDBExpInpXML::ParsePhoto(TTagReader& r, TEIPctInfo& rec) {
    int k = 0;
    std::string group;
    // Reused for every element: a photo has dozens, a delivery tens of thousands of photos.
    std::string t, element, joined;
    r.Next();
    while (!r.AtEnd("/写真情報")) {
        if (r.IsClosing() || r.IsEmptyElement()) {
            // Closing tags and empty elements carry nothing and count no occurrence.
            r.Next();
            continue;
        }
        t.assign(r.Name());
        if (t == "受注者説明文") t = "請負者説明文";
        if (DtdVersion > 1 && IsRepeatingGroupElement(t)) {
            k = (t == group) ? k + 1 : 0;
            group = t;
        }
        const int pos = PhotoItemPosition(t);
        if (pos < 0) {
            r.Next();
            continue;
        }
        element.assign(r.Name());
        const std::string_view v = r.ContentView(element);
        const auto inFolder = [&](const std::string& folder) -> std::string_view {
            if (v.empty()) return v;
            joined.assign(folder).append(v);
            return joined;
        };
        const int f = PhotoItemField(pos);
        switch (f) {
            case fld::PctFNm:
                rec.SetField(f, inFolder(PhotoFolder));
                break;
            case fld::RefFN1:
            case fld::RefFN2:
            case fld::RefFN3:
                rec.SetField(f, inFolder(DrawingFolder));
                break;
            case fld::PctKRX:
            case fld::TPcIRX:
            case fld::SkoKRX:
            case fld::PctIRX:
            case fld::RefFJX:
            case fld::RefTtX:
            case fld::RefMIX:
                rec.FieldList(f)->Put(k, std::string(v));
                break;
            case fld::RefFNX:
                rec.FieldList(f)->Put(k, std::string(inFolder(DrawingFolder)));
                break;
            case fld::AddIRX:
                rec.FieldList(f)->Put(k, std::string(v));
                if (k == 0) rec.SetField(fld::AddIfR, rec.FieldList(f)->Get(0));
                break;
            case fld::DaiPct:
                rec.SetField(f, v);
                if (rec.FieldView(fld::DaiPct) == "1") rec.SetField(fld::FrqPct, "1");
                break;
            case fld::FrqPct: {
                const std::string_view cur = rec.FieldView(fld::FrqPct);
                if (cur.empty() || cur == "1") rec.SetField(f, v);
                break;
            }
            default:
                rec.SetField(f, v);
                break;
        }
        // An item that held child elements leaves the reader on the first child.
        if (!(r.IsClosing() && r.Name().substr(1) == element)) continue;
        r.Next();
    }
}

}  // namespace velview
