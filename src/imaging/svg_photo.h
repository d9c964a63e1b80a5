// The SVG photo format of electronic small-blackboard photos: an SVG document that carries
// the photo as an embedded JPEG (base64 in an image element), beside the blackboard and the
// annotations.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velview {

// The layers of an SVG photo: groups "dcp_org_img" (the photo), "dcp_chalkboard_img" (the
// blackboard) and "dcp_annotation", each holding a base64 JPEG image.
struct SvgLayers {
    bool parsed = false;  // the document is well-formed XML within the size limit
    std::optional<std::string> photo, chalkboard, annotation;
};
// Parses the document with an XML parser (no network, no entity expansion).
SvgLayers ReadSvgLayers(std::string_view svg);

// The photo of an SVG photo: its "dcp_org_img" layer, else the first embedded JPEG image;
// nothing for a damaged document or one that embeds no JPEG.
std::optional<std::string> ExtractSvgPhotoJpeg(std::string_view svg);
// The same for a file (read with a size limit). Nothing when unreadable or without a photo.
std::optional<std::string> ExtractSvgPhotoJpegFromFile(const std::filesystem::path& file);

// Decodes standard base64, skipping white space; nothing for any other character.
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace velview
