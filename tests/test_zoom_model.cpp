#include <gtest/gtest.h>

#include "imaging/zoom_model.h"

namespace velview {
namespace {

TEST(ZoomModel, LimitsStepsAndFit) {
    struct Case {
        int w, h;
        double maximum;
        bool allow200, allow400, allow800;
    };
    const Case cases[] = {
        {4000, 3000, 8, true, true, true},
        {6000, 4000, 4, true, true, false},
        {10000, 6000, 2, true, false, false},
        {4093, 100, 8, true, true, true},
        {4094, 100, 4, true, true, false},
    };
    for (const Case& c : cases) {
        ZoomModel z;
        z.SetPicture(c.w, c.h);
        EXPECT_EQ(z.MaximumZoom(), c.maximum) << c.w;
        EXPECT_EQ(z.StepAllowed(2), c.allow200);
        EXPECT_EQ(z.StepAllowed(4), c.allow400);
        EXPECT_EQ(z.StepAllowed(8), c.allow800);
        EXPECT_TRUE(z.StepAllowed(0.25) && z.StepAllowed(1));
    }
    ZoomModel z;
    z.SetPicture(6000, 4000);
    z.SetSpace(1200, 1000);  // fit 0.2
    EXPECT_DOUBLE_EQ(z.FitScale(), 0.2);
    EXPECT_EQ(z.Flags(), 1 | 4) << "at the fit scale below 25 %, nothing smaller";
    EXPECT_TRUE(z.ZoomIn());
    EXPECT_EQ(z.Requested(), 0.25) << "the first step above the fit scale";
    EXPECT_TRUE(z.SetZoom(100)) << "beyond the maximum";
    EXPECT_EQ(z.Requested(), 4.0);
    EXPECT_FALSE(z.CanZoomIn());
    EXPECT_TRUE(z.SetZoom(0.1));
    EXPECT_EQ(z.Requested(), 0.25) << "below 25 %";
    EXPECT_FALSE(z.SetZoom(0.25)) << "no change";
    EXPECT_EQ(z.NearestStep(0.7), 0.5);
    EXPECT_EQ(z.NearestStep(0.75), 1.0) << "the upper end on a tie";
    EXPECT_EQ(z.NearestStep(3.1), 4.0);
    EXPECT_EQ(z.NearestStep(9), 9) << "in no interval";
    ZoomModel none;
    none.SetPicture(0, 0);
    EXPECT_EQ(none.Flags(), 16);
}

TEST(ZoomModel, InAndOutAroundTheFitScale) {
    ZoomModel z;
    z.SetPicture(4000, 3000);
    z.SetSpace(1200, 900);  // fit 0.3
    EXPECT_TRUE(z.ZoomIn());
    EXPECT_EQ(z.Requested(), 0.5);
    EXPECT_TRUE(z.ZoomOut());
    EXPECT_TRUE(z.FitMode()) << "from 0.5 back to fit";
    // Up the steps and down again.
    z.SetZoom(1);
    EXPECT_TRUE(z.ZoomIn());
    EXPECT_EQ(z.Requested(), 2.0);
    EXPECT_TRUE(z.ZoomOut());
    EXPECT_EQ(z.Requested(), 1.0);
    // From fit mode out: the largest step below the fit scale.
    z.SetZoom(0);
    EXPECT_TRUE(z.ZoomOut());
    EXPECT_EQ(z.Requested(), 0.25);
    EXPECT_FALSE(z.CanZoomOut());
    // A fit scale above 1: zoom in past the steps to fit, when fit lies between.
    ZoomModel small;
    small.SetPicture(320, 240);
    small.SetSpace(1000, 750);  // fit 3.125
    small.SetZoom(2);
    EXPECT_TRUE(small.ZoomIn());
    EXPECT_TRUE(small.FitMode()) << "min(8, 3.125) < 4";
}

TEST(ZoomModel, DecoderScaleFollowsTheShownSize) {
    ZoomModel z;
    z.SetPicture(4000, 3000);
    struct Case {
        int spaceW, spaceH;
        double zoom;
        int k;
    };
    const Case cases[] = {
        {800, 600, 0, 2},      // fit 0.2: 800 × 600 shown, 1000 × 750 at 1/4 is the smallest above
        {400, 300, 0, 3},      // at most 1/8
        {1600, 1200, 0, 1},
        {800, 600, 1.0, 0},    // 100 %
        {800, 600, 0.5, 1},
    };
    for (const Case& c : cases) {
        z.SetSpace(c.spaceW, c.spaceH);
        z.SetZoom(c.zoom);
        EXPECT_EQ(z.DecoderScale(), c.k) << c.spaceW << " " << c.zoom;
    }
}

}  // namespace
}  // namespace velview
