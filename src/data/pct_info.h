// The photo information record: every item the delivery formats carry for one photo,
// addressed by field index, with list fields mirrored into single fields, change states and
// the lazily computed check results.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ext_list.h"
#include "data/field_index.h"

namespace velview {

class TCustomPctInfo;
struct TPctFileInfo;  // the file information of a photo, linked by the viewer

// One list value of a record (fields 39-47).
class TPIStrings {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const std::vector<std::string>& Items() const { return items_; }
    // Entry i, or the empty string beyond the end.
    const std::string& Get(int i) const;
    // Sets entry i, padding with empty entries; an empty value beyond the end changes nothing.
    void Put(int i, std::string value);
    // Every entry followed by CR LF.
    std::string Text() const;
    // Replaces the whole list from a text split at line breaks.
    void SetText(std::string_view text);
    void Clear();
    void Add(std::string value);

    void BeginUpdate() { ++updating_; }
    void EndUpdate();

private:
    friend class TCustomPctInfo;
    void Changed();
    std::vector<std::string> items_;
    int field_ = -1;
    TCustomPctInfo* owner_ = nullptr;
    int updating_ = 0;
    bool pending_ = false;
    bool inChange_ = false;
};

// Field states.
constexpr std::uint8_t kFieldUnchanged = 0;
constexpr std::uint8_t kFieldChanged = 3;

class TCustomPctInfo {
public:
    TCustomPctInfo();
    TCustomPctInfo(const TCustomPctInfo& other);
    TCustomPctInfo& operator=(const TCustomPctInfo& other) { Assign(other); return *this; }
    virtual ~TCustomPctInfo() = default;

    // The value of a field; lists as their entries each followed by CR LF; empty outside 0-51.
    std::string GetField(int f) const;
    // A view of a single field's value without copying (empty for list fields).
    std::string_view FieldView(int f) const;
    // Does nothing when the value is already there; otherwise StoreField(f, value, true).
    void SetField(int f, std::string_view value);
    void StoreField(int f, std::string_view value, bool markChanged);
    TPIStrings* FieldList(int f);
    const TPIStrings* FieldList(int f) const;

    std::uint8_t FieldState(int f) const { return IsValidField(f) ? states_[f] : 0; }
    void SetFieldState(int f, std::uint8_t s) { if (IsValidField(f)) states_[f] = s; }
    void ReplaceStates(std::uint8_t from, std::uint8_t to);

    void ResetRecord();
    virtual void Assign(const TCustomPctInfo& source);

    // The shooting date as days since 30 December 1899 (0 when the text is no date).
    double PhotoDate() const;
    void SetPhotoDate(double date);
    void SetOrganiseFlag(int n);
    void SetRepresentative(bool on);
    void SetSubmitted(bool on);
    void SetFrequency(bool on);
    int StationNumber() const { return station_; }
    void SetStationNumber(int n);
    void SetExtInfo(std::uint32_t n);
    bool ItemSelected(int k) const { return k >= 0 && k < 40 && ((selection_ >> k) & 1u); }
    std::string ItemSelectionText() const;
    void SetItemSelectionText(std::string_view text);

    TPctFileInfo* FileInfo() const { return fileInfo_; }
    void SetFileInfo(TPctFileInfo* f) { fileInfo_ = f; }

    // --- checks against the current standard (cached until ClearCheckCache) ---
    enum class Check { Required = 0, Length = 1, Class = 2, Prefix = 3 };
    bool IsFault(Check c, int f) const;
    bool IsRequiredFault(int f) const { return IsFault(Check::Required, f); }
    bool IsLengthFault(int f) const { return IsFault(Check::Length, f); }
    bool IsClassFault(int f) const { return IsFault(Check::Class, f); }
    bool IsPrefixFault(int f) const { return IsFault(Check::Prefix, f); }
    bool RequiredOk() const { return Passes(Check::Required); }
    bool LengthOk() const { return Passes(Check::Length); }
    bool ClassOk() const { return Passes(Check::Class); }
    bool PrefixOk() const { return Passes(Check::Prefix); }
    bool RulesOk() const;
    bool PassesChecks(bool withRules) const;
    void ClearCheckCache() const { masks_.fill(0); }

private:
    friend class TPIStrings;
    bool Passes(Check c) const;
    std::uint64_t Mask(Check c) const;
    void ListChanged(int listField);

    std::string_view Value(int f) const {
        const auto i = static_cast<std::size_t>(f);
        return {blob_.data() + offset_[i], length_[i]};
    }
    void PutValue(int f, std::string_view value);

    std::array<TPIStrings, 9> lists_;
    // Every single value of the record lives in one buffer, addressed by offset and length:
    // a record of fifty mostly empty fields then costs one allocation and a few hundred
    // bytes, which matters for deliveries of tens of thousands of photos.
    std::string blob_;
    std::array<std::uint32_t, kFieldCount> offset_{};
    std::array<std::uint32_t, kFieldCount> length_{};
    TPctFileInfo* fileInfo_ = nullptr;
    mutable std::array<std::uint64_t, 4> masks_{};
    std::array<std::uint8_t, kFieldCount> states_{};
    int station_ = -1;
    std::uint64_t selection_ = 0;
};

class TEIPctInfo : public TCustomPctInfo {
public:
    int duplicateGroup = 0;  // written by the classification tree; 0 = not a duplicate
};

class TPctInfoList : public TExtList<TEIPctInfo> {
public:
    // Reading record n at or beyond the end grows the list with empty records.
    TEIPctInfo& Items(int n) { return *Item(n); }
    const TEIPctInfo* At(int n) const { return Peek(n); }

protected:
    std::unique_ptr<TEIPctInfo> CreateItem(int) override { return std::make_unique<TEIPctInfo>(); }
};

// The basic information of a delivery; fields 1-10 as the readers number them.
struct TBaseInformation {
    std::string dtdVersion;         // 1
    std::string photoFolder;        // 2
    std::string drawingFolder;      // 3
    std::string mediumReserve;      // 4
    std::string softwareName;       // 5
    std::string version;            // 6
    std::string makerName;          // 7
    std::string makerContact;       // 8
    std::vector<std::string> tags;  // 9: software maker tag lines
    std::string guideline;          // 10: 適用基準 / 適用要領基準 / 適用要領
    void Set(int field, std::string value);
    std::string Get(int field) const;
};

// The construction information; fields 1-15.
struct TKojiInformation {
    std::array<std::string, 15> values;
    void Set(int field, std::string value) {
        if (field >= 1 && field <= 15) values[static_cast<std::size_t>(field - 1)] = std::move(value);
    }
    const std::string& Get(int field) const;
    static const char* Caption(int field);
};

// The inspection state of one photo.
struct TPctSateItem {
    std::uint32_t bits = 0;  // bit 0 marked, bit 1 検査済, bit 2 指摘あり
    std::string comment;
    int InspectionState() const { return ((bits & 2u) ? 1 : 0) + ((bits & 4u) ? 2 : 0); }
    void SetInspectionState(int s);
    bool TestBits(std::uint32_t b) const { return (bits & b) == b; }
    void SetBits(std::uint32_t b, bool on) { bits = on ? (bits | b) : (bits & ~b); }
    bool HasInspectionData() const { return InspectionState() != 0 || !comment.empty(); }
};

// Inspection states per photo number, one list for the whole program.
class TPctStateList {
public:
    static TPctStateList& Instance();
    // The item of a photo number, created on first access.
    TPctSateItem& Item(int photo);
    const TPctSateItem* Find(int photo) const;
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TPctSateItem>> items_;
};

}  // namespace velview
