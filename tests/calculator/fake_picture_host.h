// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator's picture without a window: a recording canvas, and the
// sizes and placings asked of the viewport.
#include <string>
#include <vector>

#include "calculator/centrifuge_graph.h"
#include "shared/recording_canvas.h"

namespace velmor {

class FakePictureHost : public CalculatorPictureHost {
 public:
  Canvas& Picture() override {
    calls.push_back("picture");
    return canvas;
  }
  void ResizePicture(double w, double h) override {
    // The picture is cleared before it is resized.
    calls.push_back(canvas.Ops().size() == 1 ? "resize-after-cls" : "resize");
    width = w;
    height = h;
  }
  void PlacePicture() override { calls.push_back("place"); }

  RecordingCanvas canvas;
  std::vector<std::string> calls;
  double width = 0;
  double height = 0;
};

}  // namespace velmor
