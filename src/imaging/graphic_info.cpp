#include "imaging/graphic_info.h"

#include "common/text_encoding.h"

namespace velview {

TGraphicInfo::TGraphicInfo() {
    formats_ = {
        {"wmf", "メタファイル", false, GraphicKind::Metafile},
        {"emf", "エンハンスト メタファイル", false, GraphicKind::Metafile},
        {"ico", "アイコン", true, GraphicKind::Icon},
        {"bmp", "ビットマップ", true, GraphicKind::Bitmap},
        {"jpg", "JPEG イメージファイル", true, GraphicKind::Jpeg},
        {"jpeg", "JPEG イメージファイル", true, GraphicKind::Jpeg},
        {"png", "PNG イメージファイル", true, GraphicKind::Png},
        {"fpx", "FlashPix ファイル", true, GraphicKind::FlashPix},
        {"SVG", "SVG ファイル", true, GraphicKind::Svg},
        {"pdf", "PDF ファイル", true, GraphicKind::Pdf},
        {"TIF", "TIFF ファイル", true, GraphicKind::Tiff},
        {"TIFF", "TIFF ファイル", true, GraphicKind::Tiff},
        {"MP4", "MP4 ファイル", true, GraphicKind::Mp4},
        {"mnd", "修飾 CAD 図面ファイル", false, GraphicKind::Mnd},
        {"kcd", "修飾 CAD 図面ファイル", false, GraphicKind::Kcd},
        {"dxf", "DXF ファイル", false, GraphicKind::Dxf},
        {"ANT", "Ａ納図 図面ファイル", false, GraphicKind::Ant},
    };
    for (const char* e : {"dwg", "jwc", "jwk", "jww", "jws", "p21", "sfc", "hoc"})
        formats_.push_back({e, "CAD 図面ファイル", false, GraphicKind::Cad});
    formats_.push_back({"rk0", "略図データファイル", false, GraphicKind::RoughSketch});
    formats_.push_back({"kz0", "構造図データファイル", false, GraphicKind::StructureDrawing});
}

TGraphicInfo& TGraphicInfo::Instance() {
    static TGraphicInfo info;
    return info;
}

std::string TGraphicInfo::Key(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    for (char& c : ext) c = text::AsciiLower(c);
    if (ext == "rk1" || ext == "rk2") return "rk0";
    if (ext == "kz1" || ext == "kz2") return "kz0";
    return ext;
}

const GraphicFormat* TGraphicInfo::ForFile(const std::filesystem::path& file) const {
    const std::string key = Key(file);
    if (key.empty()) return nullptr;
    for (const GraphicFormat& f : formats_)
        if (text::EqualsAsciiNoCase(f.extension, key)) return &f;
    return nullptr;
}

std::string TGraphicInfo::Description(const std::filesystem::path& file) const {
    const GraphicFormat* f = ForFile(file);
    return f ? f->description : std::string();
}

bool TGraphicInfo::PictureFlag(const std::filesystem::path& file) const {
    const GraphicFormat* f = ForFile(file);
    return f && f->picture;
}

bool TGraphicInfo::IsOneOf(const std::filesystem::path& file, std::initializer_list<GraphicKind> kinds) const {
    const GraphicFormat* f = ForFile(file);
    if (!f) return false;
    for (GraphicKind k : kinds)
        if (f->kind == k) return true;
    return false;
}

std::string TGraphicInfo::FilterText(std::initializer_list<GraphicKind> kinds) const {
    std::string out;
    for (const GraphicFormat& f : formats_)
        for (GraphicKind k : kinds)
            if (f.kind == k) {
                if (!out.empty()) out += ';';
                out += "*." + f.extension;
            }
    return out;
}

}  // namespace velview
