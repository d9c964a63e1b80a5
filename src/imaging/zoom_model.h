// The zoom of the photo view: fit mode and the steps 25 % … 800 %, the limits by picture size,
// zooming in and out from the current zoom, the capability flags and the JPEG decoder scale a
// zoom needs. Pure arithmetic; the view widget applies it.
#pragma once

namespace velview {

class ZoomModel {
public:
    static constexpr double kMinimum = 0.25;

    // A new picture (w × h pixels; 0 × 0 for none): back to fit mode.
    void SetPicture(int width, int height);
    // The space the picture may take (the view's client area less its margins).
    void SetSpace(int width, int height);

    int PictureWidth() const { return width_; }
    int PictureHeight() const { return height_; }
    bool HasPicture() const { return width_ > 0 && height_ > 0; }
    // 2, 4 or 8 by picture size (a side above 8187 pixels: 2; above 4093: 4).
    double MaximumZoom() const { return maximum_; }
    // The factor at which the picture fits the space.
    double FitScale() const;
    // 0 in fit mode, else the factor.
    double Requested() const { return requested_; }
    bool FitMode() const { return requested_ <= 0; }
    // Displayed pixels per picture pixel.
    double Effective() const { return FitMode() ? FitScale() : requested_; }

    // 0: fit; > 0: that factor (within 25 % and the maximum); < 0: the step nearest to -value.
    // Returns whether the zoom changed.
    bool SetZoom(double value);
    // The step nearest to t: in the first interval [s, 2s] (s = 0.25, 0.5, … below the
    // maximum) that holds t, its nearer end (the upper one on a tie); t itself in none.
    double NearestStep(double t) const;
    bool CanZoomIn() const;
    bool CanZoomOut() const;
    bool ZoomIn();
    bool ZoomOut();
    // Whether the zoom step command of this factor (0.25 … 8) is offered for this picture.
    bool StepAllowed(double factor) const;

    // Capability flags: 1 zoom in possible, 2 zoom out possible, 4 fit mode, 16 no picture.
    int Flags() const;
    // The shown size of the picture at the effective zoom (rounded).
    int ShownWidth() const;
    int ShownHeight() const;
    // The JPEG decoder scale k (decode at 1/2^k): halved while both halves stay at least the
    // shown size, at most three times.
    int DecoderScale() const;

private:
    int width_ = 0, height_ = 0;
    int spaceWidth_ = 0, spaceHeight_ = 0;
    double requested_ = 0;
    double maximum_ = 8;
};

}  // namespace velview
