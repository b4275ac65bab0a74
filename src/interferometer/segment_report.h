// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of every beam segment of the last run, printed into the
// interferometer's report picture.
#include <string>
#include <vector>

namespace velmor {

class Canvas;
class InterferometerEngine;

// One line of the report: texts at x positions of the page (a header line
// is one text at x = 0; a table row has its label and fourteen values, each
// at its column).
struct ReportLine {
  struct Cell {
    double x;
    std::string text;
  };
  std::vector<Cell> cells;
};

// The lines of the report, in order: set-ups 1 and 2 list segments 10..19
// and 20..29, set-up 3 segments 10..12 and 20..22. With `real` (the "Real"
// preset) times are shown times 10^6 and frequencies and speeds divided by
// 10^6. Faults (a value that cannot be shown) propagate.
std::vector<ReportLine> SegmentReportLines(const InterferometerEngine& engine, bool real);
std::vector<ReportLine> TwoMirrorReportLines(const InterferometerEngine& engine, bool real);

// The report page's scale, x 0..30 and y 10.5 (top) .. 0.
void ScaleReportPage(Canvas& page);

// Scale the page and print the lines from its top edge down.
void WriteSegmentReport(Canvas& page, const InterferometerEngine& engine, bool real);
void WriteTwoMirrorReport(Canvas& page, const InterferometerEngine& engine, bool real);

}  // namespace velmor
