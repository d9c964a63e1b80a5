#include "data/pct_info.h"

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "common/date_time.h"
#include "common/ext_string_list.h"

namespace velview {
namespace {

struct Mirror {
    int first;
    int count;
};

// The single fields that mirror the first entries of a list field.
constexpr Mirror kMirrors[9] = {
    {fld::PctKR1, 3},    // 39
    {fld::RefFN1, 3},    // 40
    {-1, 0},             // 41
    {-1, 0},             // 42
    {fld::RedMM1ID, 3},  // 43
    {-1, 0},             // 44
    {fld::PctIfR, 1},    // 45
    {fld::SkoKnR, 1},    // 46
    {fld::PctIR1, 3},    // 47
};

// The list and entry a mirrored single field writes to; false for other fields.
bool MirrorOf(int f, int& list, int& entry) {
    for (int i = 0; i < 9; ++i) {
        const Mirror& m = kMirrors[i];
        if (m.first >= 0 && f >= m.first && f < m.first + m.count) {
            list = fld::PctKRX + i;
            entry = f - m.first;
            return true;
        }
    }
    return false;
}

const std::string kEmpty;

}  // namespace

// ---------------------------------------------------------------------------------------
// TPIStrings

const std::string& TPIStrings::Get(int i) const {
    return (i >= 0 && i < Count()) ? items_[static_cast<std::size_t>(i)] : kEmpty;
}

void TPIStrings::Put(int i, std::string value) {
    if (i < 0 || value == Get(i)) return;
    if (value.empty() && i >= Count()) return;
    BeginUpdate();
    if (i >= Count()) items_.resize(static_cast<std::size_t>(i) + 1);
    items_[static_cast<std::size_t>(i)] = std::move(value);
    pending_ = true;
    EndUpdate();
}

std::string TPIStrings::Text() const {
    std::string out;
    for (const auto& s : items_) {
        out += s;
        out += "\r\n";
    }
    return out;
}

void TPIStrings::SetText(std::string_view text) {
    BeginUpdate();
    items_ = SplitLines(text);
    pending_ = true;
    EndUpdate();
}

void TPIStrings::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    items_.clear();
    pending_ = true;
    EndUpdate();
}

void TPIStrings::Add(std::string value) {
    BeginUpdate();
    items_.push_back(std::move(value));
    pending_ = true;
    EndUpdate();
}

void TPIStrings::EndUpdate() {
    if (updating_ > 0) --updating_;
    if (updating_ == 0 && pending_) {
        pending_ = false;
        Changed();
    }
}

void TPIStrings::Changed() {
    if (inChange_) return;
    inChange_ = true;
    // Empty entries at the end carry nothing; the list never ends in one.
    while (!items_.empty() && items_.back().empty()) items_.pop_back();
    if (owner_) owner_->ListChanged(field_);
    inChange_ = false;
}

// ---------------------------------------------------------------------------------------
// TCustomPctInfo

TCustomPctInfo::TCustomPctInfo() {
    for (int i = 0; i < 9; ++i) {
        lists_[static_cast<std::size_t>(i)].field_ = fld::PctKRX + i;
        lists_[static_cast<std::size_t>(i)].owner_ = this;
    }
}

TCustomPctInfo::TCustomPctInfo(const TCustomPctInfo& other) : TCustomPctInfo() { Assign(other); }

TPIStrings* TCustomPctInfo::FieldList(int f) {
    return IsListField(f) ? &lists_[static_cast<std::size_t>(f - fld::PctKRX)] : nullptr;
}

const TPIStrings* TCustomPctInfo::FieldList(int f) const {
    return IsListField(f) ? &lists_[static_cast<std::size_t>(f - fld::PctKRX)] : nullptr;
}

std::string TCustomPctInfo::GetField(int f) const {
    if (!IsValidField(f)) return {};
    if (IsListField(f)) return FieldList(f)->Text();
    return std::string(Value(f));
}

std::string_view TCustomPctInfo::FieldView(int f) const {
    if (!IsValidField(f) || IsListField(f)) return {};
    return Value(f);
}

void TCustomPctInfo::SetField(int f, std::string_view value) {
    if (!IsValidField(f)) return;
    if (IsListField(f) ? GetField(f) == value : Value(f) == value) return;
    StoreField(f, value, true);
}

void TCustomPctInfo::StoreField(int f, std::string_view value, bool markChanged) {
    if (!IsValidField(f)) return;
    if (IsListField(f)) {
        FieldList(f)->SetText(value);
    } else {
        int list = 0, entry = 0;
        if (MirrorOf(f, list, entry)) FieldList(list)->Put(entry, std::string(value));
        PutValue(f, value);
    }
    if (markChanged) states_[static_cast<std::size_t>(f)] = kFieldChanged;
    ClearCheckCache();
}

void TCustomPctInfo::PutValue(int f, std::string_view value) {
    const auto i = static_cast<std::size_t>(f);
    // The value may be a view of this very buffer (one field copied to another).
    std::string copy;
    if (!value.empty() && value.data() >= blob_.data() && value.data() < blob_.data() + blob_.size()) {
        copy.assign(value);
        value = copy;
    }
    if (value.size() <= length_[i]) {
        if (!value.empty()) std::memmove(blob_.data() + offset_[i], value.data(), value.size());
        length_[i] = static_cast<std::uint32_t>(value.size());
        if (value.empty()) offset_[i] = 0;
        return;
    }
    std::size_t used = value.size();
    for (std::size_t k = 0; k < length_.size(); ++k)
        if (k != i) used += length_[k];
    if (blob_.size() + value.size() > 2 * used + 64) {
        // Mostly superseded values: keep only the live ones.
        std::string next;
        next.reserve(used);
        for (std::size_t k = 0; k < length_.size(); ++k) {
            if (k == i || length_[k] == 0) continue;
            const std::size_t at = next.size();
            next.append(blob_, offset_[k], length_[k]);
            offset_[k] = static_cast<std::uint32_t>(at);
        }
        blob_ = std::move(next);
    }
    if (blob_.size() + value.size() > UINT32_MAX) throw std::length_error("photo record too large");
    if (blob_.capacity() < 128) blob_.reserve(256);
    offset_[i] = static_cast<std::uint32_t>(blob_.size());
    length_[i] = static_cast<std::uint32_t>(value.size());
    blob_.append(value);
}

void TCustomPctInfo::ListChanged(int l) {
    states_[static_cast<std::size_t>(l)] = kFieldChanged;
    const Mirror& m = kMirrors[l - fld::PctKRX];
    const TPIStrings& list = *FieldList(l);
    for (int k = 0; k < m.count; ++k) {
        const int f = m.first + k;
        if (k < list.Count()) {
            SetField(f, list.Get(k));
        } else {
            const bool wasSet = !Value(f).empty();
            StoreField(f, "", wasSet);
        }
    }
    ClearCheckCache();
}

void TCustomPctInfo::ReplaceStates(std::uint8_t from, std::uint8_t to) {
    for (auto& s : states_)
        if (s == from) s = to;
}

void TCustomPctInfo::ResetRecord() {
    for (int f = 0; f < kFieldCount; ++f) SetField(f, f == fld::TeiPct ? "1" : "");
    states_.fill(kFieldUnchanged);
    station_ = -1;
    selection_ = 0;
    ClearCheckCache();
}

void TCustomPctInfo::Assign(const TCustomPctInfo& s) {
    if (&s == this) return;
    fileInfo_ = s.fileInfo_;
    for (int f = 0; f < kFieldCount; ++f) SetField(f, s.GetField(f));
    states_ = s.states_;
    station_ = s.station_;
    selection_ = s.selection_;
    ClearCheckCache();
}

double TCustomPctInfo::PhotoDate() const {
    std::string t(Value(fld::PctYMD));
    // Editions 2 to 5 write the date with hyphens (yyyy-mm-dd), edition 1 and the CSV files as
    // eight digits; both name the same day.
    if (t.size() == 10 && (t[4] == '-' || t[4] == '/') && t[7] == t[4]) t = t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
    if (t.size() < 8) return 0;
    int y = 0, m = 0, d = 0;
    for (int i = 0; i < 8; ++i)
        if (t[static_cast<std::size_t>(i)] < '0' || t[static_cast<std::size_t>(i)] > '9') return 0;
    y = std::stoi(t.substr(0, 4));
    m = std::stoi(t.substr(4, 2));
    d = std::stoi(t.substr(6, 2));
    return EncodeDate(y, m, d);
}

void TCustomPctInfo::SetPhotoDate(double date) {
    if (!(date > 0)) {
        SetField(fld::PctYMD, "00000000");
        return;
    }
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    SetField(fld::PctYMD, buf);
}

void TCustomPctInfo::SetOrganiseFlag(int n) {
    if (n < 0 || n > 9) n = 0;
    SetField(fld::PctFlg, std::to_string(n));
}

void TCustomPctInfo::SetRepresentative(bool on) { SetField(fld::DaiPct, on ? "1" : ""); }
void TCustomPctInfo::SetSubmitted(bool on) { SetField(fld::TeiPct, on ? "1" : "0"); }
void TCustomPctInfo::SetFrequency(bool on) { SetField(fld::FrqPct, on ? "1" : "0"); }

void TCustomPctInfo::SetStationNumber(int n) {
    if (n == station_) return;
    station_ = n;
    states_[fld::SktID] = kFieldChanged;
}

void TCustomPctInfo::SetExtInfo(std::uint32_t n) {
    if (n == 0) {
        SetField(fld::ExtInf, "");
        return;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", n);
    SetField(fld::ExtInf, buf);
}

std::string TCustomPctInfo::ItemSelectionText() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%010llX", static_cast<unsigned long long>(selection_ & 0xFFFFFFFFFFull));
    return buf;
}

void TCustomPctInfo::SetItemSelectionText(std::string_view text) {
    std::uint64_t v = 0;
    bool ok = !text.empty() && text.size() <= 16;
    for (char c : text) {
        int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (digit < 0) {
            ok = false;
            break;
        }
        v = (v << 4) | static_cast<std::uint64_t>(digit);
    }
    if (!ok) v = 0;
    v &= 0xFFFFFFFFFFull;
    if (v != selection_) states_[fld::KmkSel] = kFieldChanged;
    selection_ = v;
}

// ---------------------------------------------------------------------------------------

void TBaseInformation::Set(int field, std::string value) {
    switch (field) {
        case 1: dtdVersion = std::move(value); break;
        case 2: photoFolder = std::move(value); break;
        case 3: drawingFolder = std::move(value); break;
        case 4: mediumReserve = std::move(value); break;
        case 5: softwareName = std::move(value); break;
        case 6: version = std::move(value); break;
        case 7: makerName = std::move(value); break;
        case 8: makerContact = std::move(value); break;
        case 9: tags = SplitLines(value); break;
        case 10: guideline = std::move(value); break;
        default: break;
    }
}

std::string TBaseInformation::Get(int field) const {
    switch (field) {
        case 1: return dtdVersion;
        case 2: return photoFolder;
        case 3: return drawingFolder;
        case 4: return mediumReserve;
        case 5: return softwareName;
        case 6: return version;
        case 7: return makerName;
        case 8: return makerContact;
        case 9: {
            std::string out;
            for (const auto& t : tags) out += t + "\r\n";
            return out;
        }
        case 10: return guideline;
        default: return {};
    }
}

const std::string& TKojiInformation::Get(int field) const {
    return (field >= 1 && field <= 15) ? values[static_cast<std::size_t>(field - 1)] : kEmpty;
}

const char* TKojiInformation::Caption(int field) {
    static const char* kCaptions[15] = {"発注年度", "工事番号", "河川路線名等", "工事名称", "工事箇所",
                                        "工期開始日", "工期終了日", "発注者-大分類", "発注者-中分類",
                                        "発注者-小分類", "発注者コード", "請負者名", "請負者コード",
                                        "発注者備考", "請負者備考"};
    return (field >= 1 && field <= 15) ? kCaptions[field - 1] : "";
}

void TPctSateItem::SetInspectionState(int s) {
    SetBits(2u, s == 1);
    SetBits(4u, s == 2);
}

TPctStateList& TPctStateList::Instance() {
    static TPctStateList list;
    return list;
}

TPctSateItem& TPctStateList::Item(int photo) {
    if (photo < 0) photo = 0;
    if (photo >= Count()) items_.resize(static_cast<std::size_t>(photo) + 1);
    auto& slot = items_[static_cast<std::size_t>(photo)];
    if (!slot) slot = std::make_unique<TPctSateItem>();
    return *slot;
}

const TPctSateItem* TPctStateList::Find(int photo) const {
    return (photo >= 0 && photo < Count()) ? items_[static_cast<std::size_t>(photo)].get() : nullptr;
}

}  // namespace velview
