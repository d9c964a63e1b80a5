// The photo edit pipeline: quarter-turn rotation and brightness steps, producing temporary
// JPEG files; the photo as delivered is never changed.
#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace velview {

class TEditControler {
public:
    TEditControler();
    ~TEditControler();
    TEditControler(const TEditControler&) = delete;
    TEditControler& operator=(const TEditControler&) = delete;

    // A new photo: rotation, brightness and part switches start afresh.
    void SetSourceFile(const std::filesystem::path& file);
    // A quarter turn clockwise (or anticlockwise).
    void Rotate(bool clockwise);
    // 0, 90, 180 or 270 degrees clockwise (other values are taken modulo 360 in quarters).
    void SetRotation(int angle);
    // -5 (brightest, caption "+5") … 3 (darkest, caption "-3"); 0 leaves the photo as it is.
    void SetBrightness(int step);
    // Visibility of the parts of an SVG photo: 0 the photo, 1 the annotation, 2 the blackboard.
    void SetPartVisible(int index, bool on);
    bool IsPartVisible(int index) const;

    int Rotation() const { return rotation_; }
    int Brightness() const { return brightness_; }
    // What to show: the source, or the last temporary file produced.
    const std::filesystem::path& ResultFile() const { return edited_ ? result_ : source_; }
    bool Edited() const { return edited_; }
    // Whether the last rotation was lossless (both sides multiples of 16).
    bool LastRotationLossless() const { return lastLossless_; }
    // Why the last run could not do all of its steps (empty when it could).
    const std::string& Error() const { return error_; }

    // The gamma exponent applied to the luminance for a brightness step.
    static double GammaExponent(int step);

private:
    void Run();
    std::filesystem::path source_, result_;
    std::filesystem::path tempA_, tempB_;
    int rotation_ = 0;
    int brightness_ = 0;
    std::array<bool, 3> parts_{true, true, true};
    int losslessKnown_ = -1;  // -1 not decided for this source, else 0/1
    bool edited_ = false;
    bool lastLossless_ = false;
    std::string error_;
};

// Lossless rotation of JPEG bytes by quarter turns clockwise; throws JpegError.
std::string RotateJpegLossless(std::string_view jpeg, int quarterTurns);
// Re-encoded rotation of JPEG bytes at a quality; throws JpegError.
std::string RotateJpegReencoded(std::string_view jpeg, int quarterTurns, int quality);
// The luminance mapped through Y' = 255 (Y / 255) ^ exponent, chroma untouched, re-encoded.
std::string AdjustJpegLuminance(std::string_view jpeg, double exponent, int quality);

}  // namespace velview
