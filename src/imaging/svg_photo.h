// The SVG photo format of electronic small-blackboard photos: an SVG document that carries
// the photo as an embedded JPEG (base64 in an image element), beside the blackboard and the
// annotations.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velview {

// The JPEG bytes of the first embedded JPEG image of an SVG text (the photo); nothing when
// the document embeds none.
std::optional<std::string> ExtractSvgPhotoJpeg(std::string_view svg);
// The same for a file (read with a size limit). Nothing when unreadable or without a photo.
std::optional<std::string> ExtractSvgPhotoJpegFromFile(const std::filesystem::path& file);

// Decodes standard base64, skipping white space; nothing for any other character.
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace velview
