// The registry of graphic formats: which kind of file an extension names, its description,
// and whether it is a picture (drawn with quality resampling) or a vector drawing.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

enum class GraphicKind {
    Metafile, Icon, Bitmap, Jpeg, Png, FlashPix, Svg, Pdf, Tiff, Mp4,
    Mnd, Kcd, Dxf, Ant, Cad, RoughSketch, StructureDrawing,
};

struct GraphicFormat {
    std::string extension;    // as registered
    std::string description;  // "JPEG イメージファイル" …
    bool picture;             // true: a picture; false: a vector drawing
    GraphicKind kind;
};

class TGraphicInfo {
public:
    static TGraphicInfo& Instance();

    // The key of a file name: its extension lower-cased without the dot; ".rk1"/".rk2" read
    // "rk0" and ".kz1"/".kz2" read "kz0" (drawings stored as several files).
    static std::string Key(const std::filesystem::path& file);
    // The format of a file name, null when unregistered.
    const GraphicFormat* ForFile(const std::filesystem::path& file) const;
    std::string Description(const std::filesystem::path& file) const;
    bool PictureFlag(const std::filesystem::path& file) const;
    bool IsOneOf(const std::filesystem::path& file, std::initializer_list<GraphicKind> kinds) const;
    // "*.jpg;*.jpeg" for the formats of the given kinds, for open dialogs.
    std::string FilterText(std::initializer_list<GraphicKind> kinds) const;
    const std::vector<GraphicFormat>& Formats() const { return formats_; }

private:
    TGraphicInfo();
    std::vector<GraphicFormat> formats_;
};

}  // namespace velview
