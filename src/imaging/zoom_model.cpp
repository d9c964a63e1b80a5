#include "imaging/zoom_model.h"

#include <algorithm>
#include <cmath>

namespace velview {

void ZoomModel::SetPicture(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    const int side = std::max(width_, height_);
    maximum_ = side > 8187 ? 2.0 : (side > 4093 ? 4.0 : 8.0);
    requested_ = 0;
}

void ZoomModel::SetSpace(int width, int height) {
    spaceWidth_ = std::max(0, width);
    spaceHeight_ = std::max(0, height);
}

double ZoomModel::FitScale() const {
    if (!HasPicture() || spaceWidth_ < 1 || spaceHeight_ < 1) return 0;
    return std::min(static_cast<double>(spaceWidth_) / width_, static_cast<double>(spaceHeight_) / height_);
}

double ZoomModel::NearestStep(double t) const {
    for (double s = kMinimum; s < maximum_ && s <= 4.0; s *= 2) {
        if (t >= s && t <= 2 * s) return (t - s < 2 * s - t) ? s : 2 * s;
    }
    return t;
}

bool ZoomModel::SetZoom(double value) {
    double z = value >= 0 ? value : NearestStep(-value);
    if (z != 0) z = std::clamp(z, kMinimum, maximum_);
    if (z == requested_) return false;
    requested_ = z;
    return true;
}

bool ZoomModel::CanZoomIn() const {
    if (!HasPicture()) return false;
    const double e = Effective();
    return e <= std::min(FitScale(), kMinimum) || e < std::max(FitScale(), maximum_);
}

bool ZoomModel::CanZoomOut() const { return HasPicture() && Effective() > std::min(FitScale(), kMinimum); }

bool ZoomModel::ZoomIn() {
    if (!CanZoomIn()) return false;
    const double f = FitScale(), e = Effective();
    if (f == e) {
        double s = kMinimum;
        while (s <= f && s < maximum_) s *= 2;
        return SetZoom(s);
    }
    if (f < e) return SetZoom(-2 * e);
    if (std::min(maximum_, f) < 2 * e) return SetZoom(0);
    return SetZoom(-2 * e);
}

bool ZoomModel::ZoomOut() {
    if (!CanZoomOut()) return false;
    const double f = FitScale(), e = Effective();
    if (f != e) {
        if (std::max(kMinimum, f) <= e / 2 || e <= f) return SetZoom(-e / 2);
        return SetZoom(0);
    }
    double s = maximum_;
    while (s >= f && s > kMinimum) s /= 2;
    return SetZoom(s);
}

bool ZoomModel::StepAllowed(double factor) const {
    if (factor <= 1.0) return true;
    return maximum_ >= factor;
}

int ZoomModel::Flags() const {
    if (!HasPicture()) return 16;
    return (CanZoomIn() ? 1 : 0) | (CanZoomOut() ? 2 : 0) | (FitMode() ? 4 : 0);
}

int ZoomModel::ShownWidth() const { return static_cast<int>(std::lround(width_ * Effective())); }
int ZoomModel::ShownHeight() const { return static_cast<int>(std::lround(height_ * Effective())); }

int ZoomModel::DecoderScale() const {
    int k = 0;
    int w = width_, h = height_;
    const int sw = std::max(1, ShownWidth()), sh = std::max(1, ShownHeight());
    while (k < 3 && w / 2 >= sw && h / 2 >= sh) {
        w /= 2;
        h /= 2;
        ++k;
    }
    return k;
}

}  // namespace velview
