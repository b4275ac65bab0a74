// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The medium window's report on the report page (x 0 … 10, y 600 at the top
// … 0): a header when an experiment starts, and after every run one block per
// observed period (both of its receptions recorded) and a summary table.
namespace velmor {

class Canvas;
struct MediumState;
struct SharedPool;

// The page is cleared first.
void PrintBundleHeader(Canvas& page, const SharedPool& P, const MediumState& M);
void PrintPotentialHeader(Canvas& page, const SharedPool& P, const MediumState& M);

// The periods observed so far, their computed frequencies recomputed and
// stored (dT in the angle table, vn, vk, v in the pool). A fault is a
// compute fault ("Ошибка в отчете "); the blocks printed before it stay.
void PrintBundleReport(Canvas& page, SharedPool& P, MediumState& M, bool relativistic);
void PrintPotentialReport(Canvas& page, SharedPool& P, MediumState& M, bool relativistic);

// The number of observed periods a run has left: the bundle's receptions are
// 1 … PeriodNumber − 1, the potential's maxima 1 … PeriodNumber.
int BundleObservedPeriods(const SharedPool& P);
int PotentialObservedPeriods(const SharedPool& P);

}  // namespace velmor
