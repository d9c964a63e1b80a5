// The list of applicable standards: parse and serialize its text form, compare entries, and
// merge the built-in standards into the user's list.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ext_list.h"
#include "ent/ent_type.h"

namespace velview {

class TEntTypeList : public TExtList<TEntType> {
public:
    TEntTypeList() = default;
    TEntTypeList(TEntTypeList&& other) noexcept;
    TEntTypeList& operator=(TEntTypeList&& other) noexcept;

    // Frees all entries and reads one entry per top-level section, in order. Throws
    // EStandardFormat when an entry cannot be read.
    void Parse(const std::vector<std::string>& lines);
    // Each entry in section "EntType" + its four-digit position.
    std::vector<std::string> Serialize();

    const TEntType& At(int i) const { return *Peek(i); }
    TEntType& At(int i) { return *Item(i); }

    int IndexOfId(std::string_view id) const;
    int IndexOfEntry(const TEntType* entry) const;
    bool HasCode(std::string_view code) const;

    // New entries from a template, in group "4,-1,0"; return their index.
    int AddTemplateById(std::string_view selectorId);
    int AddTemplateByKind(int kind);
    // A copy; it gets a new id when its id is already in the list.
    int AddCopy(const TEntType& entry);
    // A copy with a new id in group "4,-1,0".
    int Duplicate(int index);

    // 3: id not in the list; 0: the same-id entry equals it in everything; 2: it differs.
    // Then 1 instead of a non-zero result (0 stays) when some entry equals it in name, DTD
    // type and base name, whatever its id.
    int Compare(const TEntType& entry) const;

    // Brings the built-in standards into this (user) list: outdated provisional entries go,
    // each built-in overwrites its unchanged copy or is added, a user's edited copy of a
    // built-in is kept under a new id, and the built-ins lead the list in their own order.
    void MergeBuiltIns(const TEntTypeList& builtIns);
    // Keeps only the standards of the user group.
    void ReduceToUserGroup();

protected:
    std::unique_ptr<TEntType> CreateItem(int) override { return std::make_unique<TEntType>(); }
};

}  // namespace velview
