// SPDX-License-Identifier: GPL-3.0-or-later
// The medium window's experiment data file read from arbitrary bytes: never a
// crash; an accepted file has at most 21 rows numbered from 0, its receptions
// among them, writes back and reads back the same, and plots without reading
// past its rows.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "medium/experiment_data.h"
#include "medium/medium_graph.h"
#include "shared/faults.h"
#include "shared/null_canvas.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmor;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto d = ParseDataFile(text);
  if (!d) return 0;
  if (d->rows.empty() || d->rows.size() > kMaxDataRows) std::abort();
  if (d->received < 0 || d->received >= static_cast<int>(d->rows.size())) std::abort();
  if (d->kod != 0 && d->kod != 1) std::abort();
  for (std::size_t i = 0; i < d->rows.size(); ++i) {
    if (d->rows[i].N != static_cast<int>(i)) std::abort();
  }
  const auto again = ComposeDataFile(*d);
  if (!again) std::abort();
  const auto back = ParseDataFile(*again);
  if (!back || back->rows.size() != d->rows.size() || back->received != d->received) {
    std::abort();
  }
  static SharedPool pool = [] {
    SharedPool p;
    SetStartupConstants(p);
    return p;
  }();
  NullCanvas canvas;
  for (const bool timeMode : {false, true}) {
    const GraphFrame frame{timeMode, 0.125, 2.5};
    for (const auto a : {PointAbscissa::Q3, PointAbscissa::Q1Q2, PointAbscissa::Q2}) {
      try {
        PlotObservedPoints(canvas, frame, a, *d, pool);
        PlotComputedPoints(canvas, frame, a, *d, pool, timeMode);
      } catch (const ComputeFault&) {
        // A period of no length or a speed of light exceeded: the window's
        // message, not a fault of the reader.
      }
    }
  }
  return 0;
}
