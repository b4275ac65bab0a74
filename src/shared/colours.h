// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The colours several pictures share, named once.
#include "shared/canvas.h"

namespace velmor {

// Every graph's grid, and the numbers and legends printed on it.
constexpr Rgb kGrid = RGB(200, 200, 200);
constexpr Rgb kText = RGB(0, 0, 0);

// The primaries as the pictures draw marks and traces, a shade below full
// strength, and at full strength for the curves of the graphs.
constexpr Rgb kRed = RGB(250, 0, 0);
constexpr Rgb kGreen = RGB(0, 250, 0);
constexpr Rgb kBlue = RGB(0, 0, 250);
constexpr Rgb kFullRed = RGB(255, 0, 0);
constexpr Rgb kFullGreen = RGB(0, 255, 0);
constexpr Rgb kFullBlue = RGB(0, 0, 255);

// Wherever both bodies are drawn: the receiver blue, the source red, the
// line of sight between them magenta.
constexpr Rgb kReceiver = kBlue;
constexpr Rgb kSource = kRed;
constexpr Rgb kSight = RGB(255, 0, 255);

}  // namespace velmor
