// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The animation canvas of the main window: grid, paths, fronts, marks, lines
// of sight, the trace along X and the value labels.
namespace velmor {

class Canvas;
struct SharedPool;

// Scale (-1, 14) top left to (40, -4) bottom right, grid and axes; no clearing.
void InitCanvas(Canvas& canvas);

// The drawing of one display refresh, from the engine state in the pool. It
// writes the pool's DrawnFrontRadius. An index past the arrays, or a picture
// scale of 0, is a compute fault.
void DrawExperimentRefresh(Canvas& canvas, SharedPool& pool, bool labels);

// The start picture of the period set-up (grid first, nothing cleared).
void DrawStartPicture(Canvas& canvas, const SharedPool& pool, bool labels);

}  // namespace velmor
