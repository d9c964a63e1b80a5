#include "data/tag_reader.h"

#include "common/text_encoding.h"

namespace velview {

XmlEncoding DetectXmlEncoding(std::string_view b) {
    if (b.size() >= 3 && b.substr(0, 3) == "\xEF\xBB\xBF") return XmlEncoding::Utf8;
    if (b.substr(0, 5) != "<?xml") return XmlEncoding::ShiftJis;
    const std::size_t end = b.find("?>");
    std::string decl(b.substr(0, end == std::string_view::npos ? std::min<std::size_t>(b.size(), 4096) : end));
    for (char& c : decl) c = text::AsciiLower(c);
    const std::size_t enc = decl.find("encoding");
    if (enc == std::string::npos) return XmlEncoding::Utf8;  // XML's own default
    std::size_t i = decl.find_first_of("\"'", enc);
    if (i == std::string::npos) return XmlEncoding::ShiftJis;
    const char q = decl[i];
    const std::size_t j = decl.find(q, i + 1);
    const std::string name = decl.substr(i + 1, j == std::string::npos ? std::string::npos : j - i - 1);
    return (name == "utf-8" || name == "utf8") ? XmlEncoding::Utf8 : XmlEncoding::ShiftJis;
}

namespace {
int LineOfOffset(std::string_view b, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < b.size(); ++i)
        if (b[i] == '\n' || (b[i] == '\r' && (i + 1 >= b.size() || b[i + 1] != '\n'))) ++line;
    return line;
}

void ReportBadBytes(std::string_view bytes, const std::vector<std::size_t>& offsets, const char* what,
                    std::vector<std::string>& problems) {
    // One message per line is enough to find the place; a flood of them helps nobody.
    int lastLine = 0;
    for (std::size_t off : offsets) {
        const int line = LineOfOffset(bytes, off);
        if (line == lastLine) continue;
        lastLine = line;
        char buf[128];
        std::snprintf(buf, sizeof buf, "line %d: byte 0x%02X is not valid %s", line,
                      static_cast<unsigned char>(bytes[off]), what);
        problems.emplace_back(buf);
        if (problems.size() >= 50) {
            problems.emplace_back("further invalid bytes not listed");
            break;
        }
    }
}
}  // namespace

DecodedXml DecodeXmlBytes(std::string_view bytes) {
    DecodedXml d;
    d.encoding = DetectXmlEncoding(bytes);
    if (d.encoding == XmlEncoding::Utf8) {
        std::string_view body = bytes;
        if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
        std::size_t bad = 0;
        if (text::IsValidUtf8(body, &bad)) {
            d.text.assign(body);
            return d;
        }
        // Keep what is valid, replace the rest and say where.
        std::vector<std::size_t> offsets;
        for (std::size_t pos = 0; pos < body.size();) {
            const std::size_t start = pos;
            char32_t cp = 0;
            if (text::NextCodePoint(body, pos, cp)) {
                d.text.append(body.substr(start, pos - start));
            } else {
                d.text += "\xEF\xBF\xBD";
                offsets.push_back(start + (bytes.size() - body.size()));
            }
        }
        ReportBadBytes(bytes, offsets, "UTF-8", d.problems);
        return d;
    }
    auto r = text::DecodeCp932(bytes);
    d.text = std::move(r.utf8);
    ReportBadBytes(bytes, r.badOffsets, "Shift_JIS", d.problems);
    return d;
}

std::string ResolveEntities(std::string_view s) {
    if (s.find('&') == std::string_view::npos) return std::string(s);
    std::string out(s);
    static const std::pair<std::string_view, std::string_view> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : kEntities) {
        std::string next;
        std::size_t i = 0;
        for (std::size_t hit; (hit = out.find(from, i)) != std::string::npos; i = hit + from.size()) {
            next.append(out, i, hit - i);
            next += to;
        }
        next.append(out, i);
        out.swap(next);
    }
    return out;
}

void TTagReader::Open(std::string utf8) {
    doc_ = std::move(utf8);
    Reset();
}

void TTagReader::Reset() {
    depth_ = 0;
    pos_ = 0;
    line_ = 1;
    structureError_ = false;
    tag_.clear();
    name_ = {};
    text_.clear();
}

void TTagReader::Next() {
    tag_.clear();
    name_ = {};
    text_.clear();
    bool inTag = false;
    const std::size_t n = doc_.size();
    while (pos_ < n) {
        // Whole runs of ordinary bytes at a time: only "<", ">" and line ends matter.
        const char mark = inTag ? '>' : '<';
        std::size_t end = pos_;
        while (end < n) {
            const char c = doc_[end];
            if (c == mark || c == '\r' || c == '\n') break;
            ++end;
        }
        (inTag ? tag_ : text_).append(doc_, pos_, end - pos_);
        pos_ = end;
        if (pos_ >= n) break;
        const char c = doc_[pos_++];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && pos_ < n && doc_[pos_] == '\n') ++pos_;
            ++line_;
            // A tag continues across a line break (attributes wrapped by a formatter); in
            // text, the break joins the two lines' texts directly.
            if (inTag) tag_ += ' ';
            continue;
        }
        if (c == '<') {
            inTag = true;
            tagLine_ = line_;
            continue;
        }
        // c == '>' inside a tag. Line joins may leave blanks at its end; they carry nothing.
        while (!tag_.empty() && tag_.back() == ' ') tag_.pop_back();
        Classify();
        return;
    }
    // End of text (an unfinished tag at the very end is dropped).
    tag_.clear();
    name_ = {};
}

void TTagReader::Classify() {
    std::size_t blank = 0;
    while (blank < tag_.size() && tag_[blank] != ' ' && tag_[blank] != '\t') ++blank;
    name_ = std::string_view(tag_).substr(0, blank);
    if (tag_.empty() || tag_[0] == '!' || tag_[0] == '?') return;
    if (tag_[0] == '/') {
        // A closing tag matches its opening element by name.
        if (depth_ > 0 && open_[depth_ - 1] == name_.substr(1))
            --depth_;
        else
            structureError_ = true;
        return;
    }
    if (tag_.back() == '/') {
        // An empty element: its name is written without the slash for matching purposes.
        if (name_.size() > 0 && name_.back() == '/') name_.remove_suffix(1);
        return;
    }
    if (depth_ < open_.size())
        open_[depth_].assign(name_);
    else
        open_.emplace_back(name_);
    ++depth_;
}

bool TTagReader::AtEnd(std::string_view endTag) const {
    return tag_.empty() || structureError_ || name_ == endTag;
}

std::string_view TTagReader::ContentView(std::string_view name) {
    Next();
    if (!IsClosing() || name_.substr(1) != name) return {};
    if (text_.find('&') == std::string::npos) return text_;
    resolved_ = ResolveEntities(text_);
    return resolved_;
}

std::string TTagReader::ContentOf(std::string_view name) {
    Next();
    if (IsClosing() && name_.substr(1) == name) return Text();
    return {};
}

}  // namespace velview
