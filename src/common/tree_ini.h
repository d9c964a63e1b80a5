// The settings tree: named sections, each with name=value lines, stored either as plain
// text (".ini") or as an encoded line list (any other extension, in practice ".tin").
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ext_list.h"
#include "common/ext_string_list.h"

namespace velview {

class TTreeIni;

enum class LoadMode { Merge = 0, Replace = 2, Open = 3 };
enum class SaveForce { IfNeeded = 0, Always = 1, AlwaysKeepName = 2 };

class TTreeIniItem : public TExtList<TTreeIniItem> {
public:
    TTreeIniItem(TTreeIni* root, TTreeIniItem* parent);
    ~TTreeIniItem() override = default;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Level() const { return level_; }
    TTreeIni* Root() const { return root_; }
    TTreeIniItem* Parent() const { return parent_; }

    bool Modified() const { return modified_; }
    // Sets the flag on this section and every descendant; setting it also marks the root.
    void SetModified(bool value);

    // The section's name=value lines. The root answers with the whole file text instead,
    // rebuilt from the sections when the tree was modified.
    virtual TExtStringList& Values();

    // The child section at the backslash path below this one, created when missing.
    TTreeIniItem& SectionByPath(std::string_view path);
    // "\A\B" for a section B below the top-level section A; empty for the root.
    std::string Path() const;

    // The direct child named `name` (ASCII case ignored), or null; creates nothing.
    TTreeIniItem* FindChild(std::string_view name) const;
    // The section at the backslash path below this one, or null; creates nothing.
    TTreeIniItem* FindByPath(std::string_view path);
    // Replaces this section's values with the source's and copies each child of the source
    // onto the child at the same position (created where missing), names included.
    void CopyContentFrom(const TTreeIniItem& source);
    const TExtStringList& ValuesConst() const { return values_; }

protected:
    std::unique_ptr<TTreeIniItem> CreateItem(int index) override;
    void ChangeHook() override;

    TExtStringList values_;
    bool modified_ = false;

private:
    friend class TTreeIni;
    std::string name_;
    int level_;
    TTreeIni* root_;
    TTreeIniItem* parent_;
};

class TTreeIni : public TTreeIniItem {
public:
    // With a file name: that name becomes the file name and the auto-save name, and the file
    // is loaded in open mode (a load that fails leaves the tree empty).
    explicit TTreeIni(std::string fileName = "");
    ~TTreeIni() override;

    TExtStringList& Values() override;
    // `SectionByPath(path)` followed by its values; the empty path yields the whole text.
    TExtStringList& Values(std::string_view path);
    int ReadInteger(std::string_view path, std::string_view key, int def);
    std::string ReadString(std::string_view path, std::string_view key, std::string_view def = "");

    // Reads a file into the tree. A missing file changes nothing. Throws IoError when the
    // file exists but cannot be read or is malformed. Returns the places of bytes that
    // were not valid CP932.
    std::vector<std::string> LoadFile(const std::string& file, LoadMode mode);
    // Writes the tree when needed (see SaveForce); returns whether the file was written.
    bool SaveFile(const std::string& file, SaveForce force);

    // Parses a settings text (lines) into the tree, as LoadFile does with a file's lines.
    void SetText(std::vector<std::string> lines, LoadMode mode);
    // Rebuilds the whole text from the sections now, modified or not.
    void RebuildText();

    const std::string& FileName() const { return fileName_; }
    const std::string& AutoSaveName() const { return autoSaveName_; }

protected:
    void ChangeHook() override;

private:
    void Parse(const std::vector<std::string>& lines, LoadMode mode);
    void MergeRootLine(const std::string& line);
    void WriteSection(TTreeIniItem& section, std::vector<std::string>& out);

    std::string fileName_;
    std::string autoSaveName_;
};

// True when the file name's extension, lower-cased, is ".ini" (the plain text form).
bool IsPlainSettingsFile(std::string_view file);

}  // namespace velview
