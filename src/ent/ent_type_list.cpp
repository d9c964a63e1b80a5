#include "ent/ent_type_list.h"

#include <cstdio>

#include "common/tree_ini.h"

namespace velview {
namespace {
constexpr const char* kUserGroup = "4,-1,0";
}

TEntTypeList::TEntTypeList(TEntTypeList&& other) noexcept { *this = std::move(other); }

TEntTypeList& TEntTypeList::operator=(TEntTypeList&& other) noexcept {
    if (this == &other) return *this;
    Clear();
    for (int i = 0; i < other.Count(); ++i) Adopt(std::make_unique<TEntType>(other.At(i)));
    other.Clear();
    return *this;
}

void TEntTypeList::Parse(const std::vector<std::string>& lines) {
    Clear();
    TTreeIni tree;
    tree.SetText(lines, LoadMode::Open);
    for (int i = 0; i < tree.Count(); ++i) {
        TTreeIniItem* section = tree.Peek(i);
        if (!section) continue;
        TEntType& e = *Item(Add());
        try {
            e.Read(section->Values());
        } catch (const EStandardFormat& ex) {
            throw EStandardFormat("section [" + section->Name() + "]: " + ex.what());
        }
    }
}

std::vector<std::string> TEntTypeList::Serialize() {
    TTreeIni tree;
    for (int i = 0; i < Count(); ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "EntType%04d", i);
        At(i).Write(tree.Values(name));
    }
    tree.RebuildText();
    return tree.Values().Lines();
}

int TEntTypeList::IndexOfId(std::string_view id) const {
    for (int i = 0; i < Count(); ++i)
        if (Peek(i) && Peek(i)->id == id) return i;
    return -1;
}

int TEntTypeList::IndexOfEntry(const TEntType* entry) const {
    for (int i = 0; i < Count(); ++i)
        if (Peek(i) == entry) return i;
    return -1;
}

bool TEntTypeList::HasCode(std::string_view code) const {
    for (int i = 0; i < Count(); ++i)
        if (Peek(i) && Peek(i)->code == code) return true;
    return false;
}

int TEntTypeList::AddTemplateById(std::string_view selectorId) {
    const int i = Add();
    At(i).ApplyTemplate(selectorId);
    At(i).groupIdx = kUserGroup;
    return i;
}

int TEntTypeList::AddTemplateByKind(int kind) {
    const int i = Add();
    At(i).ApplyTemplateKind(kind);
    At(i).groupIdx = kUserGroup;
    return i;
}

int TEntTypeList::AddCopy(const TEntType& entry) {
    auto copy = std::make_unique<TEntType>(entry);
    if (IndexOfId(copy->id) >= 0) copy->NewId();
    return Adopt(std::move(copy));
}

int TEntTypeList::Duplicate(int index) {
    if (!Peek(index)) return -1;
    auto copy = std::make_unique<TEntType>(At(index));
    copy->NewId();
    copy->groupIdx = kUserGroup;
    return Adopt(std::move(copy));
}

int TEntTypeList::Compare(const TEntType& entry) const {
    const int same = IndexOfId(entry.id);
    int result = 3;
    if (same >= 0)
        result = At(same).Equals(entry, kCompareName | kCompareId | kCompareDtdType | kCompareBaseName) ? 0 : 2;
    for (int i = 0; i < Count(); ++i)
        if (Peek(i) && At(i).Equals(entry, kCompareName | kCompareDtdType | kCompareBaseName))
            return result != 0 ? 1 : 0;
    return result;
}

void TEntTypeList::MergeBuiltIns(const TEntTypeList& builtIns) {
    std::vector<std::string> ids;
    for (int i = 0; i < builtIns.Count(); ++i) ids.push_back(builtIns.At(i).id);

    for (int i = Count() - 1; i >= 0; --i) {
        const TEntType& e = At(i);
        if ((IsProvisionalNationalCode(e.code) && !e.IsUserGroup()) || e.code == "EZ0001411") Delete(i);
    }

    for (int b = 0; b < builtIns.Count(); ++b) {
        const TEntType& builtIn = builtIns.At(b);
        if (builtIn.IsUserGroup()) continue;
        bool overwritten = false;
        const int same = IndexOfId(builtIn.id);
        if (same >= 0) {
            if (At(same).Equals(builtIn, kCompareId | kCompareDtdType)) {
                At(same) = builtIn;
                overwritten = true;
            } else {
                // The user changed a built-in standard: the change is kept as a standard of
                // the user's own, and the built-in comes back beside it.
                At(same).NewId();
                At(same).groupIdx = kUserGroup;
            }
        }
        if (overwritten) continue;
        int equal = -1;
        for (int i = 0; i < Count() && equal < 0; ++i)
            if (At(i).Equals(builtIn, kCompareId | kCompareDtdType)) equal = i;
        if (equal >= 0)
            At(equal) = builtIn;
        else
            AddCopy(builtIn);
    }

    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const int i = IndexOfId(*it);
        if (i > 0) Move(i, 0);
    }
}

void TEntTypeList::ReduceToUserGroup() {
    for (int i = Count() - 1; i >= 0; --i)
        if (!At(i).IsUserGroup()) Delete(i);
}

}  // namespace velview
