// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculation scheme of the frame window: the АСО and ИСО axes, both
// bodies with their own axes and velocities split into components, the line
// of sight with the signal speed, and the angles Q1 and Q2.
namespace velmor {

class Canvas;

// Picture size of the scheme, in pixels; the drawing uses one user unit a
// pixel, y upwards.
constexpr int kSchemeWidth = 581;
constexpr int kSchemeHeight = 376;

// Sets the scale and draws the whole scheme; nothing cleared.
void DrawFrameScheme(Canvas& canvas);

}  // namespace velmor
