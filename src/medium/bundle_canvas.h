// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the ray-bundle experiment draws on the medium picture: the marks of
// every received period after a reception, and the trails, the source's
// signal and the body markers at a refresh. World coordinates are divided by
// the picture scale; the offsets of the marks are in picture units.
#include <utility>

namespace velmor {

class Canvas;
struct MediumState;
struct SharedPool;

// The grid again (not cleared) and the marks of periods 1 … PeriodNumber − 1.
void DrawBundleReceptions(Canvas& c, const SharedPool& P);

// The medium picture's scales (the grid, x −3 … 38, and the graph frames,
// −21 … 20 and −4 … 37) all lie within these x, with a unit to spare for the
// pen: a point of the signal curve outside them leaves no pixel.
constexpr double kSignalLeft = -22;
constexpr double kSignalRight = 39;

// The points k of the signal curve, of 1 … `points`, that can fall between
// kSignalLeft and kSignalRight: all of them unless the source moves right.
std::pair<int, int> VisibleSignalPoints(const SharedPool& P, const MediumState& M, int points);

// Trails, the transmitter's signal up to now, and the body markers (the
// previous ones erased); remembers the markers drawn.
void DrawBundleRefresh(Canvas& c, const SharedPool& P, MediumState& M);

}  // namespace velmor
