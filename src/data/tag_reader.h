// A small tag-by-tag reader for the delivery XML files. It keeps a stack of open elements to
// notice structural breaks and hands out the text between two tags with the predefined
// entities resolved. The text it reads is UTF-8 (decoded from the file's encoding first).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

// How a delivery XML file is encoded, told from its byte-order mark and declaration.
enum class XmlEncoding { ShiftJis, Utf8 };
// A byte-order mark means UTF-8; so does a declaration naming utf-8 (in either quotes) or
// naming no encoding. A file that does not start with "<?xml" is Shift_JIS.
XmlEncoding DetectXmlEncoding(std::string_view bytes);

// The document text in UTF-8, and where its bytes could not be decoded.
struct DecodedXml {
    std::string text;
    XmlEncoding encoding = XmlEncoding::ShiftJis;
    std::vector<std::string> problems;  // "line N: ..." texts
};
DecodedXml DecodeXmlBytes(std::string_view bytes);

// Replaces "&lt;", "&gt;", "&quot;", "&apos;" and, last, "&amp;".
std::string ResolveEntities(std::string_view s);

class TTagReader {
public:
    void Open(std::string utf8Text);
    void Reset();
    // Moves to the next tag; at the end of the text the tag is empty.
    void Next();
    // The tag's text between "<" and ">" (line breaks inside a tag read as blanks).
    const std::string& Tag() const { return tag_; }
    // The element name: the tag text before the first blank ("/name" for a closing tag).
    std::string_view Name() const { return name_; }
    // True when the tag names `endTag` ("/写真情報"), at the end of the text, or after a
    // structural break.
    bool AtEnd(std::string_view endTag) const;
    // The text between the previous tag and this one, entities resolved, line breaks dropped.
    std::string Text() const { return ResolveEntities(text_); }
    // Moves to the next tag; the element's text when that tag closes `name`, else empty.
    std::string ContentOf(std::string_view name);
    // The same without a copy: valid until the next move.
    std::string_view ContentView(std::string_view name);
    bool IsEmptyElement() const { return !tag_.empty() && tag_.back() == '/'; }
    bool IsClosing() const { return !tag_.empty() && tag_[0] == '/'; }
    bool StructureError() const { return structureError_; }
    // The 1-based line of the current tag, for messages.
    int Line() const { return tagLine_; }
    bool AtEndOfText() const { return pos_ >= doc_.size() && tag_.empty(); }

private:
    void Classify();
    std::string doc_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int tagLine_ = 0;
    std::string tag_;
    std::string_view name_;
    std::string text_;
    std::string resolved_;
    std::vector<std::string> open_;  // names of the open elements (slots reused)
    std::size_t depth_ = 0;
    bool structureError_ = false;
};

}  // namespace velview
