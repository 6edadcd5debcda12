#pragma once

namespace platform::engine {

/// The zoom factor (1.0 = 100 %) of a browser's zoom level.
double ZoomFactorOfLevel(double zoomLevel);
/// The zoom level of a zoom factor; factors of 0 or below give the smallest level.
double ZoomLevelOfFactor(double factor);

/// The zoom level one step bigger (direction > 0) or smaller (direction < 0) than zoomLevel,
/// on the browser's usual ladder from 25 % to 500 %. A level between two steps goes to the
/// nearer one in that direction; the ends of the ladder stay where they are.
double NextZoomLevel(double zoomLevel, int direction);

} // namespace platform::engine
