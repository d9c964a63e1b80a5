#include "imaging/svg_photo.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "common/file_io.h"

namespace velview {

std::optional<std::string> DecodeBase64(std::string_view t) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    out.reserve(t.size() * 3 / 4);
    std::uint32_t acc = 0;
    int bits = 0;
    for (char c : t) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') break;
        const int v = value(c);
        if (v < 0) return std::nullopt;
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

namespace {

std::optional<std::string> JpegOfHref(std::string_view href) {
    static constexpr std::string_view kMarkers[] = {"data:image/jpeg;base64,", "data:image/jpg;base64,"};
    for (std::string_view m : kMarkers) {
        if (href.substr(0, m.size()) != m) continue;
        auto jpeg = DecodeBase64(href.substr(m.size()));
        if (jpeg && jpeg->size() >= 4 && static_cast<unsigned char>((*jpeg)[0]) == 0xFF &&
            static_cast<unsigned char>((*jpeg)[1]) == 0xD8)
            return jpeg;
    }
    return std::nullopt;
}

std::string Attribute(xmlNode* n, const char* name, const char* ns = nullptr) {
    xmlChar* v = ns ? xmlGetNsProp(n, reinterpret_cast<const xmlChar*>(name), reinterpret_cast<const xmlChar*>(ns))
                    : xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
    if (!v) return {};
    std::string s(reinterpret_cast<const char*>(v));
    xmlFree(v);
    return s;
}

bool IsElement(xmlNode* n, const char* name) {
    return n->type == XML_ELEMENT_NODE && xmlStrcmp(n->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The first JPEG image element below a node.
std::optional<std::string> FirstJpegBelow(xmlNode* n) {
    for (xmlNode* c = n; c; c = c->next) {
        if (IsElement(c, "image")) {
            std::string href = Attribute(c, "href", "http://www.w3.org/1999/xlink");
            if (href.empty()) href = Attribute(c, "href");
            if (auto j = JpegOfHref(href)) return j;
        }
        if (c->children)
            if (auto j = FirstJpegBelow(c->children)) return j;
    }
    return std::nullopt;
}

void FindLayers(xmlNode* n, SvgLayers& layers) {
    for (xmlNode* c = n; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) {
            const std::string id = Attribute(c, "id");
            if (id == "dcp_org_img" && !layers.photo) layers.photo = FirstJpegBelow(c->children);
            else if (id == "dcp_chalkboard_img" && !layers.chalkboard) layers.chalkboard = FirstJpegBelow(c->children);
            else if (id == "dcp_annotation" && !layers.annotation) layers.annotation = FirstJpegBelow(c->children);
        }
        if (c->children) FindLayers(c->children, layers);
    }
}

// The whole document, or nothing when it is not well-formed (the caller frees it).
xmlDoc* ParseSvg(std::string_view svg) {
    if (svg.size() > (std::size_t(512) << 20)) return nullptr;
    // The parser's global state is set up once, whichever thread parses first.
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;
    // Large embedded photos need long attribute values; the size is bounded above, and
    // neither entities nor the network are ever followed.
    return xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "photo.svg", nullptr,
                         XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
}

}  // namespace

SvgLayers ReadSvgLayers(std::string_view svg) {
    SvgLayers layers;
    xmlDoc* doc = ParseSvg(svg);
    if (!doc) return layers;
    layers.parsed = true;
    FindLayers(xmlDocGetRootElement(doc), layers);
    xmlFreeDoc(doc);
    return layers;
}

std::optional<std::string> ExtractSvgPhotoJpeg(std::string_view svg) {
    xmlDoc* doc = ParseSvg(svg);
    if (!doc) return std::nullopt;
    SvgLayers layers;
    FindLayers(xmlDocGetRootElement(doc), layers);
    std::optional<std::string> photo = layers.photo ? layers.photo : FirstJpegBelow(xmlDocGetRootElement(doc));
    xmlFreeDoc(doc);
    return photo;
}

std::optional<std::string> ExtractSvgPhotoJpegFromFile(const std::filesystem::path& file) {
    try {
        return ExtractSvgPhotoJpeg(ReadRegularFile(file, std::uint64_t(512) << 20));
    } catch (const IoError&) {
        return std::nullopt;
    }
}

}  // namespace velview
