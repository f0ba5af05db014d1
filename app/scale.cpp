#include "app/scale.h"

ScaleStep scaleStepForRatio(double ratio)
{
    // Bounds in tenths: 1.1, 1.4, 1.6, 1.8, 2.1, 2.3, ... the ratio must be below.
    static const int bounds[SCALE_STEPS - 1] = {11, 14, 16, 18, 21, 23, 26, 28, 31, 33, 36, 38, 41, 43, 46, 48};
    // A DPI such as 105.6 divides to a hair under 1.1 in binary; the table means
    // the decimal value, so compare with a margin far below any real difference.
    const double tenths = ratio * 10.0 + 1e-9;
    for (int step = 0; step < SCALE_STEPS - 1; ++step) {
        if (tenths < bounds[step])
            return {step, 1.0 + 0.25 * step};
    }
    return {SCALE_STEPS - 1, 5.0};
}
