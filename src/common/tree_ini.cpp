#include "common/tree_ini.h"

#include <cstdio>
#include <filesystem>

#include "common/text_encoding.h"

namespace velview {
namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------
// TTreeIniItem

TTreeIniItem::TTreeIniItem(TTreeIni* root, TTreeIniItem* parent)
    : level_(parent ? parent->Level() + 1 : 0), root_(root), parent_(parent) {
    if (parent_) {
        // Any change to a section's values marks it and, through its parent's change
        // operation, every ancestor up to the root.
        values_.OnChange = [this] {
            modified_ = true;
            parent_->Changed();
        };
    }
}

std::unique_ptr<TTreeIniItem> TTreeIniItem::CreateItem(int) {
    return std::make_unique<TTreeIniItem>(root_, this);
}

void TTreeIniItem::ChangeHook() {
    modified_ = true;
    if (parent_) parent_->ChangeHook();
}

void TTreeIniItem::SetModified(bool value) {
    modified_ = value;
    for (int i = 0; i < Count(); ++i)
        if (TTreeIniItem* c = Peek(i)) c->SetModified(value);
    if (value && root_ && root_ != this) static_cast<TTreeIniItem*>(root_)->ChangeHook();
}

TExtStringList& TTreeIniItem::Values() { return values_; }

std::string TTreeIniItem::Path() const {
    if (!parent_) return {};
    return parent_->Path() + "\\" + name_;
}

TTreeIniItem* TTreeIniItem::FindChild(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        TTreeIniItem* c = Peek(i);
        if (c && text::EqualsAsciiNoCase(c->Name(), name)) return c;
    }
    return nullptr;
}

TTreeIniItem* TTreeIniItem::FindByPath(std::string_view path) {
    TTreeIniItem* cur = this;
    std::size_t i = 0;
    while (cur && i < path.size()) {
        while (i < path.size() && path[i] == '\\') ++i;
        if (i >= path.size()) break;
        std::size_t end = path.find('\\', i);
        if (end == std::string_view::npos) end = path.size();
        cur = cur->FindChild(path.substr(i, end - i));
        i = end;
    }
    return cur;
}

void TTreeIniItem::CopyContentFrom(const TTreeIniItem& source) {
    values_.SetLines(source.values_.Lines());
    for (int i = 0; i < source.Count(); ++i) {
        const TTreeIniItem* from = source.Peek(i);
        if (!from) continue;
        TTreeIniItem* to = Item(i);
        to->name_ = from->name_;
        to->CopyContentFrom(*from);
    }
}

TTreeIniItem& TTreeIniItem::SectionByPath(std::string_view path) {
    // Collapse runs of "\" and drop leading and trailing ones: "\A\\B\" and "A\B" are the
    // same path.
    TTreeIniItem* cur = this;
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == '\\') ++i;
        if (i >= path.size()) break;
        std::size_t end = path.find('\\', i);
        if (end == std::string_view::npos) end = path.size();
        std::string_view part = path.substr(i, end - i);
        TTreeIniItem* next = cur->FindChild(part);
        if (!next) next = cur->Item(cur->Add());
        // The spelling of the latest look-up is kept, also on an existing section.
        next->name_ = std::string(part);
        cur = next;
        i = end;
    }
    return *cur;
}

// ---------------------------------------------------------------------------------------
// TTreeIni

bool IsPlainSettingsFile(std::string_view file) {
    std::string ext = fs::path(std::string(file)).extension().string();
    return text::EqualsAsciiNoCase(ext, ".ini");
}

TTreeIni::TTreeIni(std::string fileName) : TTreeIniItem(this, nullptr) {
    fileName_ = fileName;
    autoSaveName_ = fileName;
    SetName(fileName);
    if (fileName.empty()) return;
    try {
        LoadFile(fileName, LoadMode::Open);
    } catch (const IoError& e) {
        // A tree that cannot be read starts empty; the caller sees the defaults.
        std::fprintf(stderr, "velview: %s\n", e.what());
        Clear();
        values_.Clear();
        modified_ = false;
    }
}

TTreeIni::~TTreeIni() {
    if (!modified_ || autoSaveName_.empty()) return;
    try {
        SaveFile(autoSaveName_, SaveForce::IfNeeded);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velview: settings not saved: %s\n", e.what());
    }
}

void TTreeIni::ChangeHook() { modified_ = true; }

TExtStringList& TTreeIni::Values() {
    if (modified_) RebuildText();
    return values_;
}

TExtStringList& TTreeIni::Values(std::string_view path) {
    TTreeIniItem& s = SectionByPath(path);
    return &s == this ? Values() : s.Values();
}

int TTreeIni::ReadInteger(std::string_view path, std::string_view key, int def) {
    return Values(path).ReadInteger(key, def);
}

std::string TTreeIni::ReadString(std::string_view path, std::string_view key, std::string_view def) {
    return Values(path).ReadString(key, def);
}

void TTreeIni::MergeRootLine(const std::string& line) {
    // The lines before the first header live in the root's text; new ones go to the top,
    // where the serializer keeps them.
    std::size_t eq = line.find('=');
    if (eq != std::string::npos && eq >= 1) {
        std::string_view key(line.data(), eq);
        int at = values_.IndexOfName(key);
        if (at >= 0)
            values_.SetLine(at, line);
        else
            values_.Insert(0, line);
    } else if (values_.IndexOf(line) < 0) {
        values_.Insert(0, line);
    }
}

void TTreeIni::Parse(const std::vector<std::string>& lines, LoadMode mode) {
    TTreeIniItem* cur = this;
    for (const std::string& raw : lines) {
        std::string_view t = TrimControl(raw);
        if (t.empty()) continue;
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            const int column = static_cast<int>(t.data() - raw.data()) + 1;
            // A header no deeper than the current section closes it; the new section is a
            // direct child of the section that stays open, whatever its indentation.
            while (cur != this && column <= cur->Level()) cur = cur->Parent();
            std::string name(t.substr(1, t.size() - 2));
            TTreeIniItem& sec = cur->SectionByPath(name);
            if (mode != LoadMode::Merge && &sec != this) sec.values_.Clear();
            cur = &sec;
            continue;
        }
        std::string line(t);
        if (cur == this) {
            if (mode == LoadMode::Merge) MergeRootLine(line);
            continue;
        }
        if (mode != LoadMode::Merge) {
            cur->values_.Add(std::move(line));
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq != std::string::npos && eq >= 1)
            cur->values_.WriteString(std::string_view(line).substr(0, eq), std::string_view(line).substr(eq + 1));
        else if (cur->values_.IndexOf(line) < 0)
            cur->values_.Add(std::move(line));
    }
}

void TTreeIni::SetText(std::vector<std::string> lines, LoadMode mode) {
    if (mode == LoadMode::Merge) {
        Parse(lines, mode);
    } else {
        Clear();
        values_.SetLines(lines);
        Parse(lines, mode);
    }
}

void TTreeIni::WriteSection(TTreeIniItem& s, std::vector<std::string>& out) {
    if (s.Count() > 0 || s.values_.Count() > 0) {
        const std::string indent(static_cast<std::size_t>(s.Level() - 1), ' ');
        std::string_view name = TrimControl(s.Name());
        if (!name.empty()) out.push_back(indent + "[" + std::string(name) + "]");
        for (const std::string& v : s.values_.Lines()) {
            std::string_view t = TrimControl(v);
            if (!t.empty()) out.push_back(indent + std::string(t));
        }
        out.emplace_back();
    }
    for (int i = 0; i < s.Count(); ++i) WriteSection(*s.Item(i), out);
}

void TTreeIni::RebuildText() {
    // Lines before the first top-level section survive; everything from its header on is
    // written anew from the sections.
    std::vector<std::string> out;
    int keep = -1;
    if (TTreeIniItem* first = Peek(0)) keep = values_.IndexOf("[" + first->Name() + "]");
    if (keep >= 1) out.assign(values_.Lines().begin(), values_.Lines().begin() + keep);
    for (int i = 0; i < Count(); ++i) WriteSection(*Item(i), out);
    values_.SetLines(std::move(out));
}

std::vector<std::string> TTreeIni::LoadFile(const std::string& fileIn, LoadMode mode) {
    const std::string file = fileIn.empty() ? fileName_ : fileIn;
    std::error_code ec;
    if (file.empty() || !fs::exists(file, ec)) return {};
    TExtStringList lines;
    std::vector<std::string> problems =
        IsPlainSettingsFile(file) ? lines.LoadPlain(file) : lines.LoadEncoded(file);
    SetText(lines.Lines(), mode);
    if (mode == LoadMode::Open) {
        if (file == fileName_ || file == autoSaveName_ || autoSaveName_.empty()) SetModified(false);
        fileName_ = file;
        if (!autoSaveName_.empty()) autoSaveName_ = file;
    }
    if (fileName_.empty()) {
        fileName_ = file;
        SetModified(false);
    }
    return problems;
}

bool TTreeIni::SaveFile(const std::string& fileIn, SaveForce force) {
    RebuildText();
    const std::string file = fileIn.empty() ? fileName_ : fileIn;
    if (file.empty()) throw IoError("ディレクトリを作成することができません");
    std::error_code ec;
    const bool exists = fs::exists(file, ec);
    if (!(values_.Count() > 0 || exists)) return false;
    if (!(modified_ || file != fileName_ || force != SaveForce::IfNeeded)) return false;
    fs::path parent = fs::path(file).parent_path();
    if (!parent.empty()) CreateDirectories(parent);
    if (IsPlainSettingsFile(file))
        values_.SavePlain(file);
    else
        values_.SaveEncoded(file, 1);
    if (force != SaveForce::AlwaysKeepName) {
        if (autoSaveName_ == file || autoSaveName_.empty()) SetModified(false);
        fileName_ = file;
        if (!autoSaveName_.empty()) autoSaveName_ = file;
    }
    if (fileName_.empty()) {
        fileName_ = file;
        SetModified(false);
    }
    return true;
}

}  // namespace velview
