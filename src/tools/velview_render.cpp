// Helper process for renditions of complex formats: the first page of a PDF (poppler) and
// the first frame of a video (FFmpeg libraries), written as a JPEG. It runs under the limits
// its parent sets, so a hostile or broken file costs only this process.
//   velview-render pdf|mp4 INPUT OUTPUT.jpg MAXWIDTH MAXHEIGHT
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <poppler-document.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "common/file_io.h"
#include "imaging/jpeg_codec.h"
#include "imaging/raster.h"

namespace {

using velview::Raster;

void Fit(int w, int h, int maxW, int maxH, int& outW, int& outH) {
    const double s = std::min(1.0, std::min(static_cast<double>(maxW) / w, static_cast<double>(maxH) / h));
    outW = std::max(1, static_cast<int>(w * s + 0.5));
    outH = std::max(1, static_cast<int>(h * s + 0.5));
}

Raster RenderPdf(const std::string& file, int maxW, int maxH) {
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(file));
    if (!doc || doc->is_locked() || doc->pages() < 1) throw std::runtime_error("no readable page");
    std::unique_ptr<poppler::page> page(doc->create_page(0));
    if (!page) throw std::runtime_error("no first page");
    const poppler::rectf box = page->page_rect();
    if (box.width() <= 0 || box.height() <= 0) throw std::runtime_error("empty page");
    const double dpi = std::min(maxW / (box.width() / 72.0), maxH / (box.height() / 72.0));
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_paper_color(0xFFFFFFFF);
    poppler::image img = renderer.render_page(page.get(), dpi, dpi);
    if (!img.is_valid() || img.format() != poppler::image::format_argb32) throw std::runtime_error("page not rendered");
    Raster r;
    r.Allocate(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const unsigned char* row = reinterpret_cast<const unsigned char*>(img.const_data()) + y * img.bytes_per_row();
        for (int x = 0; x < img.width(); ++x) {
            unsigned char* px = &r.rgb[(static_cast<std::size_t>(y) * r.width + x) * 3];
            px[0] = row[x * 4 + 2];
            px[1] = row[x * 4 + 1];
            px[2] = row[x * 4];
        }
    }
    return r;
}

Raster FirstVideoFrame(const std::string& file, int maxW, int maxH) {
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, file.c_str(), nullptr, nullptr) < 0) throw std::runtime_error("not a video file");
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> fmtGuard(fmt, [](AVFormatContext* f) { avformat_close_input(&f); });
    if (avformat_find_stream_info(fmt, nullptr) < 0) throw std::runtime_error("no stream information");
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (stream < 0 || !codec) throw std::runtime_error("no video stream");
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> ctx(avcodec_alloc_context3(codec),
                                                                  [](AVCodecContext* c) { avcodec_free_context(&c); });
    avcodec_parameters_to_context(ctx.get(), fmt->streams[stream]->codecpar);
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) throw std::runtime_error("cannot open the decoder");
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> pkt(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    bool got = false;
    while (!got && av_read_frame(fmt, pkt.get()) >= 0) {
        if (pkt->stream_index == stream && avcodec_send_packet(ctx.get(), pkt.get()) >= 0)
            got = avcodec_receive_frame(ctx.get(), frame.get()) == 0;
        av_packet_unref(pkt.get());
    }
    if (!got) {
        avcodec_send_packet(ctx.get(), nullptr);
        got = avcodec_receive_frame(ctx.get(), frame.get()) == 0;
    }
    if (!got || frame->width <= 0 || frame->height <= 0) throw std::runtime_error("no frame decoded");
    int w = 0, h = 0;
    Fit(frame->width, frame->height, maxW, maxH, w, h);
    SwsContext* sws = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), w, h,
                                     AV_PIX_FMT_RGB24, SWS_AREA, nullptr, nullptr, nullptr);
    if (!sws) throw std::runtime_error("cannot convert the frame");
    Raster r;
    r.Allocate(w, h);
    std::uint8_t* dst[1] = {r.rgb.data()};
    int stride[1] = {w * 3};
    sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
    sws_freeContext(sws);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: velview-render pdf|mp4 INPUT OUTPUT.jpg MAXWIDTH MAXHEIGHT\n");
        return 2;
    }
    const std::string kind = argv[1];
    const int maxW = std::clamp(std::atoi(argv[4]), 16, 8192), maxH = std::clamp(std::atoi(argv[5]), 16, 8192);
    try {
        av_log_set_level(AV_LOG_QUIET);
        Raster r;
        if (kind == "pdf") r = RenderPdf(argv[2], maxW, maxH);
        else if (kind == "mp4") r = FirstVideoFrame(argv[2], maxW, maxH);
        else return 2;
        velview::WriteFileAtomic(argv[3], velview::EncodeJpeg(r, 90), 0600);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velview-render: %s\n", e.what());
        return 1;
    }
}
