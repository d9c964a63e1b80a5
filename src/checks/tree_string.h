// A list of text lines where each line may own a child list: the form a work-type master
// takes in memory (work types, their kinds, the kinds' details).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

class TTreeString {
public:
    TTreeString() = default;
    TTreeString(const TTreeString& other) { *this = other; }
    TTreeString& operator=(const TTreeString& other);

    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& Line(int i) const { return lines_[static_cast<std::size_t>(i)].text; }
    int Add(std::string text);
    void Delete(int i);
    void Clear() { lines_.clear(); }

    bool HasChild(int i) const;
    // The child of line i, created empty when missing.
    TTreeString& ChildList(int i);
    const TTreeString* Child(int i) const;
    bool HasNonEmptyChild(int i) const;
    // Copies the list into line i's child; null frees the child.
    void SetChild(int i, const TTreeString* list);
    void AddToChild(int i, std::string text);
    // 0 for the top level, parent's depth + 1 below.
    int Depth() const;

    // The first line equal to the text ignoring ASCII case; -1 when none.
    int IndexOfNoCase(std::string_view text) const;
    // A sorted list keeps its lines in order; without duplicates an equal line is not added
    // again. A new child copies both settings; changing them reaches every descendant.
    void SetSorted(bool on);
    void SetDuplicates(bool allowed);

    // Clears the tree and parses a TAB-indented text (see the .cpp for the rules).
    void SetText(std::string_view text);
    // Each line as depth TABs, the text and CR LF, children right after their line.
    std::string GetText() const;
    // Reads a CP932 master file. Throws IoError when it cannot be read.
    void LoadFromFile(const std::filesystem::path& file);

private:
    struct Entry {
        std::string text;
        std::unique_ptr<TTreeString> child;
    };
    void AppendText(std::string& out, int depth) const;
    std::vector<Entry> lines_;
    TTreeString* parent_ = nullptr;
    bool sorted_ = false;
    bool duplicates_ = true;
};

}  // namespace velview
