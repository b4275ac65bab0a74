#pragma once
// What the ray-bundle experiment draws on the medium picture: the marks of
// every received period after a reception, and the trails, the source's
// signal and the body markers at a refresh. World coordinates are divided by
// the picture scale; the offsets of the marks are in picture units.
namespace velmor {

class Canvas;
struct MediumState;
struct SharedPool;

// The grid again (not cleared) and the marks of periods 1 … PeriodNumber − 1.
void DrawBundleReceptions(Canvas& c, const SharedPool& P);

// Trails, the transmitter's signal up to now, and the body markers (the
// previous ones erased); remembers the markers drawn.
void DrawBundleRefresh(Canvas& c, const SharedPool& P, MediumState& M);

}  // namespace velmor
