#include "platform/engine/ZoomSteps.h"

#include <array>
#include <cmath>

namespace platform::engine {

namespace {
    constexpr std::array<double, 17> kZoomFactors { 0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25,
        1.5, 1.75, 2.0, 2.5, 3.0, 4.0, 5.0 };
    // Levels travel through floating point; a factor this close to a step is on it.
    constexpr double kSameFactor = 0.001;
    constexpr double kLevelBase = 1.2;
}

double ZoomFactorOfLevel(double zoomLevel) { return std::pow(kLevelBase, zoomLevel); }

double ZoomLevelOfFactor(double factor)
{
    if (factor <= 0)
        factor = kZoomFactors.front();
    return std::log(factor) / std::log(kLevelBase);
}

double NextZoomLevel(double zoomLevel, int direction)
{
    const double factor = ZoomFactorOfLevel(zoomLevel);
    if (direction > 0) {
        for (double step : kZoomFactors) {
            if (step > factor + kSameFactor)
                return ZoomLevelOfFactor(step);
        }
        return ZoomLevelOfFactor(kZoomFactors.back());
    }
    if (direction < 0) {
        for (auto step = kZoomFactors.rbegin(); step != kZoomFactors.rend(); ++step) {
            if (*step < factor - kSameFactor)
                return ZoomLevelOfFactor(*step);
        }
        return ZoomLevelOfFactor(kZoomFactors.front());
    }
    return zoomLevel;
}

} // namespace platform::engine
