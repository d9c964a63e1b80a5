#include "checks/tree_string.h"

#include <algorithm>

#include "common/ext_string_list.h"
#include "common/file_io.h"
#include "common/text_encoding.h"

namespace velview {

TTreeString& TTreeString::operator=(const TTreeString& other) {
    if (this == &other) return *this;
    sorted_ = other.sorted_;
    duplicates_ = other.duplicates_;
    lines_.clear();
    for (const Entry& e : other.lines_) {
        Entry copy{e.text, nullptr};
        if (e.child) {
            copy.child = std::make_unique<TTreeString>(*e.child);
            copy.child->parent_ = this;
        }
        lines_.push_back(std::move(copy));
    }
    return *this;
}

int TTreeString::Add(std::string text) {
    if (!duplicates_) {
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].text == text) return static_cast<int>(i);
    }
    auto at = lines_.end();
    if (sorted_) at = std::upper_bound(lines_.begin(), lines_.end(), text,
                                       [](const std::string& t, const Entry& e) { return t < e.text; });
    at = lines_.insert(at, Entry{std::move(text), nullptr});
    return static_cast<int>(at - lines_.begin());
}

void TTreeString::Delete(int i) {
    if (i >= 0 && i < Count()) lines_.erase(lines_.begin() + i);
}

bool TTreeString::HasChild(int i) const { return i >= 0 && i < Count() && lines_[static_cast<std::size_t>(i)].child; }

TTreeString& TTreeString::ChildList(int i) {
    auto& e = lines_.at(static_cast<std::size_t>(i));
    if (!e.child) {
        e.child = std::make_unique<TTreeString>();
        e.child->parent_ = this;
        e.child->sorted_ = sorted_;
        e.child->duplicates_ = duplicates_;
    }
    return *e.child;
}

const TTreeString* TTreeString::Child(int i) const {
    return (i >= 0 && i < Count()) ? lines_[static_cast<std::size_t>(i)].child.get() : nullptr;
}

bool TTreeString::HasNonEmptyChild(int i) const {
    const TTreeString* c = Child(i);
    return c && c->Count() > 0;
}

void TTreeString::SetChild(int i, const TTreeString* list) {
    if (i < 0 || i >= Count()) return;
    if (!list) {
        lines_[static_cast<std::size_t>(i)].child.reset();
        return;
    }
    ChildList(i) = *list;
    lines_[static_cast<std::size_t>(i)].child->parent_ = this;
}

void TTreeString::AddToChild(int i, std::string text) { ChildList(i).Add(std::move(text)); }

int TTreeString::Depth() const { return parent_ ? parent_->Depth() + 1 : 0; }

int TTreeString::IndexOfNoCase(std::string_view text) const {
    for (int i = 0; i < Count(); ++i)
        if (text::EqualsAsciiNoCase(Line(i), text)) return i;
    return -1;
}

void TTreeString::SetSorted(bool on) {
    sorted_ = on;
    if (on)
        std::stable_sort(lines_.begin(), lines_.end(), [](const Entry& a, const Entry& b) { return a.text < b.text; });
    for (auto& e : lines_)
        if (e.child) e.child->SetSorted(on);
}

void TTreeString::SetDuplicates(bool allowed) {
    duplicates_ = allowed;
    for (auto& e : lines_)
        if (e.child) e.child->SetDuplicates(allowed);
}

void TTreeString::SetText(std::string_view text) {
    Clear();
    // The index of the last line at each open depth; a line is at most one level deeper
    // than the line before it, however many TABs it has.
    std::vector<int> open;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        // CR LF, a lone CR or a lone LF ends a line.
        pos = end;
        if (pos < text.size()) pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

        std::size_t depth = 0;
        while (depth < line.size() && line[depth] == '\t') ++depth;
        std::string_view value = line.substr(depth);
        value = value.substr(0, value.find('\t'));  // anything after a further TAB is a comment
        if (depth > open.size()) depth = open.size();
        TTreeString* list = this;
        for (std::size_t k = 0; k < depth; ++k) list = &list->ChildList(open[k]);
        const int index = list->Add(std::string(value));
        open.resize(depth);
        open.push_back(index);
    }
}

void TTreeString::AppendText(std::string& out, int depth) const {
    for (const Entry& e : lines_) {
        out.append(static_cast<std::size_t>(depth), '\t');
        out += e.text;
        out += "\r\n";
        if (e.child) e.child->AppendText(out, depth + 1);
    }
}

std::string TTreeString::GetText() const {
    std::string out;
    AppendText(out, 0);
    return out;
}

void TTreeString::LoadFromFile(const std::filesystem::path& file) {
    SetText(text::DecodeCp932(ReadRegularFile(file)).utf8);
}

}  // namespace velview
