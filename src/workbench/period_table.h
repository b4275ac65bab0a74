// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The period arrays of the last experiment as a table for spreadsheets.
#include <string>

#include "shared/period_table_header.h"

namespace velmor {

struct SharedPool;

// One header line, then one row per received period i = 1 … PeriodNumber − 1,
// comma-separated, a dot as the decimal separator:
//   period        the conventional period i
//   emission_t    Tn2(i), s: start of its emission
//   emission_x, emission_y   Xn2(i), Yn2(i), m: the source there
//   reception_t   Tk1(i - 1), s: its start reached the receiver
//   receiver_x, receiver_y   Xk1(i - 1), Yk1(i - 1), m: the receiver then
//   source_x, source_y       Xk2(i), Yk2(i), m: the source then
//   sight_angle   An(i), degrees
//   observed_period     Tk1(i) - Tk1(i - 1), s   (empty for the last
//   observed_frequency  Nv0 / observed_period     received period, whose
//   computed_frequency  (v1n + v1k) / 2, classical end is not received)
std::string PeriodTableCsv(const SharedPool& pool);

}  // namespace velmor
