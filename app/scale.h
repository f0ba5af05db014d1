#pragma once
// The window is designed for 999 x 640 at scale 1.0; the screen's logical DPI
// picks one of 17 scale steps from 1.0 to 5.0 in quarters.

struct ScaleStep {
    int step = 0;
    double factor = 1.0;
};

enum { SCALE_STEPS = 17, DESIGN_WIDTH = 999, DESIGN_HEIGHT = 640 };

// ratio = logical DPI / 96; the first row whose bound the ratio is below.
ScaleStep scaleStepForRatio(double ratio);
inline ScaleStep scaleStepForDpi(double logicalDpi) { return scaleStepForRatio(logicalDpi / 96.0); }
