// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interferometer's scheme picture: grid, the moving elements (erased
// and redrawn where they were), legend, front markers and mouse marks.
#include <vector>

namespace velmor {

class Canvas;
class InterferometerEngine;
struct ElementLayout;

// What the last redraw put on the picture, so the next one can paint it
// over in white.
struct SchemeMemory {
  struct Segment {
    double x1, y1, x2, y2;
  };
  std::vector<Segment> lines;
  bool circle = false;
  double cx = 0, cy = 0, radius = 0;
  void Forget() {
    lines.clear();
    circle = false;
  }
};

// Scale x -14..16, y 25..-5, grey grid, numbers, black axes.
void DrawInterferometerGrid(Canvas& picture);

// The elements of a layout, after white-washing the ones remembered; set-ups
// 1 and 2 and set-up 3 draw different elements.
void DrawBeamsplitterScheme(Canvas& picture, const ElementLayout& layout, SchemeMemory& memory);
void DrawTwoMirrorScheme(Canvas& picture, const ElementLayout& layout, SchemeMemory& memory);
// By the layout's set-up: 3 is the two-mirror scheme, 1 and 2 the
// beam-splitter scheme.
void DrawScheme(Canvas& picture, const ElementLayout& layout, SchemeMemory& memory);

// "+ текст": the legend and the element numbers of the layout's set-up.
void DrawLegend(Canvas& picture, const ElementLayout& layout);

// "№1" / "№2": a small circle at each front.
void DrawFrontMarkers(Canvas& picture, const InterferometerEngine& engine, bool first, bool second);

// A mouse click on the scheme.
void MarkPoint(Canvas& picture, double x, double y);

}  // namespace velmor
