// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of the main experiment on the report page: a header when an
// experiment starts, and at every return of the step loop one block per
// observed period with a summary table.
namespace velmor {

class Canvas;
struct SharedPool;

// Clears the page and prints the legend and the transmitter values.
void PrintReportHeader(Canvas& page, SharedPool& pool);

// The period blocks and the summary, for every received period
// (i = 1 … PeriodNumber − 1). The last of them has no end yet: its block
// leaves the lines that need the end empty and its summary row has the angle
// only. Computes and stores dT, v1n, v1k and v1 (v1n alone for the last). A
// fault (dT = 0, an index past the arrays) propagates after the blocks
// printed before it.
void PrintPeriodReport(Canvas& page, SharedPool& pool);

// The number forms of the report: truncated toward zero to six or two
// decimals, then in general form.
double F6(const SharedPool& pool, double x);
double F2(double x);

// The classical computed frequency with the velocity directions (degrees
// from the line of sight) at one end of a period. Faults propagate.
double ComputedFrequency(const SharedPool& pool, double qn1, double qn2);

}  // namespace velmor
