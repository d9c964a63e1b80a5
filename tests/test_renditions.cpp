#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
}

#include "imaging/image_decoders.h"
#include "imaging/picture_loader.h"
#include "imaging/render_helper.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ScratchDir;
using test::WriteBytes;

// A one-page PDF of 200 × 100 points whose left half is filled red.
std::string RedPdf() {
    const std::string content = "1 0 0 rg 0 0 100 100 re f\n";
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 5\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

// A short MPEG-4 video of 64 × 48 whose frames are green.
bool WriteGreenMp4(const std::string& file) {
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, nullptr, "mp4", file.c_str()) < 0) return false;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    AVStream* st = avformat_new_stream(fmt, nullptr);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = 64;
    c->height = 48;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1, 10};
    c->framerate = {10, 1};
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    bool ok = avcodec_open2(c, codec, nullptr) >= 0 && avcodec_parameters_from_context(st->codecpar, c) >= 0;
    st->time_base = c->time_base;
    ok = ok && avio_open(&fmt->pb, file.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(fmt, nullptr) >= 0;
    AVFrame* frame = av_frame_alloc();
    frame->format = c->pix_fmt;
    frame->width = c->width;
    frame->height = c->height;
    ok = ok && av_frame_get_buffer(frame, 0) >= 0;
    AVPacket* pkt = av_packet_alloc();
    for (int i = 0; ok && i <= 3; ++i) {
        if (i < 3) {
            av_frame_make_writable(frame);
            for (int y = 0; y < 48; ++y) std::memset(frame->data[0] + y * frame->linesize[0], 145, 64);
            for (int y = 0; y < 24; ++y) {
                std::memset(frame->data[1] + y * frame->linesize[1], 54, 32);
                std::memset(frame->data[2] + y * frame->linesize[2], 34, 32);
            }
            frame->pts = i;
        }
        avcodec_send_frame(c, i < 3 ? frame : nullptr);
        while (avcodec_receive_packet(c, pkt) == 0) {
            av_packet_rescale_ts(pkt, c->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(fmt, pkt);
        }
    }
    if (ok) av_write_trailer(fmt);
    av_packet_free(&pkt);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    if (fmt->pb) avio_closep(&fmt->pb);
    avformat_free_context(fmt);
    return ok;
}

class Renditions : public ::testing::Test {
protected:
    void SetUp() override { SetRenderHelperPath(VELVIEW_RENDER_PATH); }
    void TearDown() override { SetRenderHelperPath({}); }
    ScratchDir dir_;
};

TEST_F(Renditions, FirstPdfPageAndFirstVideoFrame) {
    WriteBytes(dir_ / "plan.pdf", RedPdf());
    Picture p;
    ASSERT_EQ(LoadPictureFile(dir_ / "plan.pdf", p, true), 0);
    EXPECT_EQ(p.Width(), 1280);  // fitted into 1280 × 1280
    EXPECT_EQ(p.Height(), 640);
    EXPECT_GT(p.raster.rgb[(100 * 1280 + 100) * 3], 200);      // red on the left
    EXPECT_LT(p.raster.rgb[(100 * 1280 + 100) * 3 + 1], 60);
    EXPECT_GT(p.raster.rgb[(100 * 1280 + 1200) * 3 + 1], 200);  // white paper on the right

    ASSERT_TRUE(WriteGreenMp4((dir_ / "clip.MP4").string()));
    ASSERT_EQ(LoadPictureFile(dir_ / "clip.MP4", p, true), 0);
    EXPECT_EQ(p.Width(), 64);
    EXPECT_EQ(p.Height(), 48);
    EXPECT_GT(p.raster.rgb[(24 * 64 + 32) * 3 + 1], p.raster.rgb[(24 * 64 + 32) * 3] + 50);  // green
}

TEST_F(Renditions, BrokenOrHangingFilesCostOnlyTheHelper) {
    WriteBytes(dir_ / "bad.pdf", "%PDF-1.4 nothing else");
    WriteBytes(dir_ / "bad.mp4", std::string(1000, 'x'));
    Picture p;
    EXPECT_EQ(LoadPictureFile(dir_ / "bad.pdf", p, true), 2);
    EXPECT_EQ(p.placeholder.kind, PlaceholderKind::PdfNotRenderable);
    EXPECT_EQ(LoadPictureFile(dir_ / "bad.mp4", p, true), 2);
    EXPECT_EQ(p.placeholder.kind, PlaceholderKind::Broken);

    // A helper that never finishes is stopped at its time limit.
    WriteBytes(dir_ / "slow.sh", "#!/bin/sh\nsleep 30\n");
    ::chmod((dir_ / "slow.sh").c_str(), 0700);
    SetRenderHelperPath(dir_ / "slow.sh");
    RenditionLimits limits;
    limits.seconds = 1;
    try {
        RenderInHelper(RenditionKind::PdfPage, dir_ / "bad.pdf", limits);
        ADD_FAILURE() << "no error";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find("too long"), std::string::npos) << e.what();
    }
    SetRenderHelperPath(dir_ / "missing-helper");
    EXPECT_THROW(RenderInHelper(RenditionKind::PdfPage, dir_ / "bad.pdf"), ImageError);
}

}  // namespace
}  // namespace velview
