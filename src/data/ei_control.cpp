#include "data/ei_control.h"

#include <set>

#include "common/file_io.h"
#include "common/md5.h"
#include "data/csv_readers.h"
#include "data/photo_xml_reader.h"

namespace velview {
namespace fs = std::filesystem;

TEIControl::TEIControl() = default;
TEIControl::~TEIControl() = default;

TEIControl& DataControl() {
    static TEIControl control;
    return control;
}

void TEIControl::SetFolder(const std::string& folder) {
    folder_ = folder;
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

void TEIControl::Examine(const std::string& folder) {
    SetFolder(folder);
    Clear();
    Values().Clear();
    SetModified(false);
    const fs::path dra = FindEntryNoCase(folder_, "Dra");
    fs::path backup;
    if (!dra.empty()) {
        backup = FindEntryNoCase(dra, "VelWin_Buckup2.tin");
        if (backup.empty() || !IsRegularFile(backup)) backup = FindEntryNoCase(dra, "VelWin_Buckup.tin");
        if (!backup.empty() && !IsRegularFile(backup)) backup.clear();
    }
    medium_ = 0;
    backupVersion_ = 0;
    std::string type;
    if (!backup.empty()) {
        try {
            SetText({}, LoadMode::Open);
            TTreeIni file;
            file.LoadFile(backup.string(), LoadMode::Open);
            SetText(file.Values().Lines(), LoadMode::Open);
            SetModified(false);
        } catch (const IoError&) {
            // A backup file that does not read gives no values; the kind still follows it.
        }
        TExtStringList& info = Values("Backup Info");
        medium_ = info.ReadInteger("MediaNo", 0);
        backupVersion_ = info.ReadInteger("Version", 0);
        type = info.ReadString("EIType");
    }
    const std::string kTypes = "     etVel etCSV";
    const std::size_t p = type.empty() ? std::string::npos : kTypes.find(type);
    const std::size_t pos = p == std::string::npos ? 0 : p + 1;
    if (pos / 6 == 1)
        kind_ = DataKind::ProductCsv;
    else if (pos / 6 == 2)
        kind_ = DataKind::PhotoInfoCsv;
    else if (!backup.empty())
        kind_ = DataKind::PhotoInfoCsv;
    else if (const fs::path xml = FindEntryNoCase(folder_, "PHOTO.XML"); !xml.empty())
        kind_ = DataKind::PhotoXml;
    else
        kind_ = DataKind::None;
    if (kind_ == DataKind::PhotoXml) medium_ = 1;
}

int TEIControl::Load(const std::string& folder, int expectedMedium) {
    std::string path = folder;
    Examine(path);
    while (expectedMedium != medium_) {
        const char* file = kind_ == DataKind::ProductCsv   ? "撮記堂.CSV"
                           : kind_ == DataKind::PhotoXml   ? "PHOTO.XML"
                           : kind_ == DataKind::PhotoInfoCsv ? "写真情報.CSV"
                                                             : "";
        if (kind_ == DataKind::PhotoXml || !callbacks.requestMedium || !callbacks.requestMedium(path, expectedMedium, file))
            return 2;
        Examine(path);
    }
    format_.reset();
    switch (kind_) {
        case DataKind::ProductCsv: format_ = std::make_unique<TDBExpInpVel>(*this); break;
        case DataKind::PhotoXml: format_ = std::make_unique<TDBExpInpXML>(*this); break;
        case DataKind::PhotoInfoCsv: format_ = std::make_unique<TDBExpInpCSV>(*this); break;
        case DataKind::None: return 2;
    }
    return format_->Read();
}

namespace {
void NameMissing(const std::vector<std::pair<std::size_t, int>>& pending, TPctInfoList& photos,
                 std::vector<std::string>* unreadable) {
    if (!unreadable) return;
    for (const auto& [at, photo] : pending)
        unreadable->push_back(std::string(photos.Items(photo).FieldView(fld::PctFNm)) + ": " +
                              FileStatusText(FileStatus::Missing));
}
}  // namespace

bool TEIControl::TakeoverDigests(std::vector<std::string>& list, bool withStateOnly,
                                 std::vector<std::string>* unreadable) {
    if (!format_) return false;
    TPctInfoList& photos = format_->Photos;
    const TPctStateList& states = TPctStateList::Instance();
    std::vector<std::pair<std::size_t, int>> pending;  // (position in list, photo number)
    for (int i = 0; i < photos.Count(); ++i) {
        if (withStateOnly) {
            const TPctSateItem* s = states.Find(i);
            if (!s || !s->HasInspectionData()) continue;
        }
        pending.emplace_back(list.size(), i);
        list.emplace_back();
    }
    takeoverRunning_ = true;
    bool firstPass = true;
    while (!pending.empty()) {
        if (!firstPass) {
            const TEIPctInfo& first = photos.Items(pending.front().second);
            const std::string text =
                "検査履歴の引継ぎを行うには、全ての工事写真フォルダを読み込む必要があります。\r\n" +
                std::string(first.FieldView(fld::MdaNum)) + "枚目のフォルダを選択してください。";
            if (!callbacks.confirm || !callbacks.confirm(text) || !callbacks.requestFolder || !callbacks.requestFolder()) {
                NameMissing(pending, photos, unreadable);
                takeoverRunning_ = false;
                return false;
            }
            if (format_->PhotoFile(first).status == FileStatus::Missing) continue;
        }
        firstPass = false;
        if (callbacks.progress) callbacks.progress("引継ぎデータ計算中・・・");
        std::vector<std::pair<std::size_t, int>> still;
        for (const auto& [at, photo] : pending) {
            const ResolvedFile f = format_->PhotoFile(photos.Items(photo));
            if (f.status == FileStatus::Missing) {
                still.emplace_back(at, photo);
                continue;
            }
            // Only a readable regular file gets a digest; anything else is reported and
            // never matches, instead of binding results to the digest of nothing.
            if (f.status == FileStatus::Ok) {
                try {
                    list[at] = Md5OfFile(f.path);
                    continue;
                } catch (const IoError&) {
                }
            }
            if (unreadable) unreadable->push_back(std::string(photos.Items(photo).FieldView(fld::PctFNm)) + ": " +
                                                  FileStatusText(f.status));
        }
        if (callbacks.progress) callbacks.progress("");
        // Without a way to ask for the next medium, the missing files stay without digest.
        if (!still.empty() && (!callbacks.confirm || !callbacks.requestFolder)) {
            NameMissing(still, photos, unreadable);
            break;
        }
        pending.swap(still);
    }
    takeoverRunning_ = false;
    return true;
}

}  // namespace velview
