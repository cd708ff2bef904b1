#pragma once
// The plain-paper calibration page: every item's sample text at its place,
// every item's area as a thin outline, millimetre rulers along the form's
// top and left edges and crosshairs at its four corners, all shifted by the
// print-position margins like the waybill. Laid over a real form against
// the light, it shows how far the print must move.
#include <string>

#include "print/core/layout.h"
#include "print/core/surface.h"

namespace print {

// Ruler geometry in millimetres from the edge: tick lengths and where the
// number of every tenth millimetre starts (its cell's top-left corner is
// kRulerLabelOffset past both the tick and the edge).
inline constexpr double kTickShort = 0.8, kTickMedium = 1.5, kTickLong = 2.5;
inline constexpr double kRulerLabelOffset = 0.5;
inline constexpr int kRulerLabelSize = 6;  // points
inline constexpr double kCrosshairHalf = 5.0;

// Device pixel of a distance in millimetres from the form's origin along x
// or y, margin included.
int mmToDeviceX(const DeviceMap& map, double mm);
int mmToDeviceY(const DeviceMap& map, double mm);

// The sample text the calibration page prints for an item (Shift-JIS).
std::string calibrationSample(FormItem item);

// Draws the page on the surface; the captions of `fields` give resolution
// and margins (their texts are not used). Raises what DeviceMap::of and the
// mapping raise, before anything is drawn.
void drawCalibration(const WaybillFields& fields, Surface& surface);

}  // namespace print
