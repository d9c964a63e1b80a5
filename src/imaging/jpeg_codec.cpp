#include "imaging/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace velview {
namespace {

// libjpeg reports errors through a callback that must not return; it jumps back to the
// setjmp of the call, since unwinding C++ exceptions through the C library is not safe.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    // A file that ends early decodes as grey; that is a broken file, not a picture.
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) err->truncated = true;
}

void InstallErrors(ErrorManager& err, jpeg_common_struct* cinfo) {
    cinfo->err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.truncated = false;
    err.message[0] = '\0';
}

// Adobe CMYK / YCCK JPEGs store inverted CMYK.
void CmykToRgb(const std::uint8_t* in, std::uint8_t* out, int pixels) {
    for (int i = 0; i < pixels; ++i) {
        const int c = in[i * 4], m = in[i * 4 + 1], y = in[i * 4 + 2], k = in[i * 4 + 3];
        out[i * 3] = static_cast<std::uint8_t>(c * k / 255);
        out[i * 3 + 1] = static_cast<std::uint8_t>(m * k / 255);
        out[i * 3 + 2] = static_cast<std::uint8_t>(y * k / 255);
    }
}

}  // namespace

bool JpegHeaderSize(std::string_view jpeg, int& width, int& height) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    InstallErrors(err, reinterpret_cast<jpeg_common_struct*>(&cinfo));
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    width = static_cast<int>(cinfo.image_width);
    height = static_cast<int>(cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

Raster DecodeJpeg(std::string_view jpeg, int scaleDenom, const DecodeLimits& limits) {
    if (jpeg.empty()) throw JpegError("empty JPEG data");
    Raster out;
    std::vector<std::uint8_t> row;
    // Set inside the guarded region, read after it: kept out of registers across longjmp.
    volatile int failed = 0;
    volatile int tooLarge = 0;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    InstallErrors(err, reinterpret_cast<jpeg_common_struct*>(&cinfo));
    jpeg_create_decompress(&cinfo);
    if (setjmp(err.jump)) {
        failed = 1;
    } else {
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&cinfo, TRUE);
        if (static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height > limits.maxPixels) {
            tooLarge = 1;
        } else {
            cinfo.scale_num = 1;
            cinfo.scale_denom = static_cast<unsigned>(scaleDenom == 2 || scaleDenom == 4 || scaleDenom == 8 ? scaleDenom : 1);
            const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
            cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
            cinfo.dct_method = JDCT_ISLOW;
            jpeg_start_decompress(&cinfo);
            const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
            out.Allocate(w, h);
            row.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(cinfo.output_components));
            while (cinfo.output_scanline < cinfo.output_height) {
                const int y = static_cast<int>(cinfo.output_scanline);
                JSAMPROW rows[1] = {cmyk ? row.data() : &out.rgb[static_cast<std::size_t>(y) * w * 3]};
                jpeg_read_scanlines(&cinfo, rows, 1);
                if (cmyk) CmykToRgb(row.data(), &out.rgb[static_cast<std::size_t>(y) * w * 3], w);
            }
            jpeg_finish_decompress(&cinfo);
        }
    }
    jpeg_destroy_decompress(&cinfo);
    if (failed) throw JpegError(std::string("damaged JPEG: ") + err.message);
    if (tooLarge) throw JpegError("JPEG too large to decode");
    if (err.truncated) throw JpegError("JPEG data ends early");
    return out;
}

std::string EncodeJpeg(const Raster& picture, int quality) {
    if (picture.Empty()) throw JpegError("nothing to encode");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    volatile int failed = 0;
    jpeg_compress_struct cinfo;
    ErrorManager err;
    InstallErrors(err, reinterpret_cast<jpeg_common_struct*>(&cinfo));
    jpeg_create_compress(&cinfo);
    if (setjmp(err.jump)) {
        failed = 1;
    } else {
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = static_cast<JDIMENSION>(picture.width);
        cinfo.image_height = static_cast<JDIMENSION>(picture.height);
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW rows[1] = {const_cast<JSAMPLE*>(&picture.rgb[static_cast<std::size_t>(cinfo.next_scanline) * picture.width * 3])};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
    }
    jpeg_destroy_compress(&cinfo);
    std::string out;
    if (!failed && buffer) out.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (failed) throw JpegError(std::string("cannot encode JPEG: ") + err.message);
    return out;
}

}  // namespace velview
