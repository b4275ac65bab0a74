// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The periods of the medium window's last experiment as a table for
// spreadsheets.
#include <string>

namespace velmor {

struct SharedPool;
struct MediumState;

// The header of the main window's table, then one row per observed period
// (both ends received; for the potentials, between two field maxima):
//   period; emission_t, emission_x, emission_y (Tn2, Xn2, Yn2 of its start);
//   reception_t, receiver_x, receiver_y (Tk1, Xk1, Yk1: its start at the
//   receiver); source_x, source_y (Xk2, Yk2; empty for the potentials,
//   which do not record them); sight_angle (at the receiver,
//   degrees); observed_period (Tk1(i + 1) − Tk1(i)); observed_frequency
//   (1 / observed_period); computed_frequency (v(i) of the chosen formula).
std::string MediumPeriodTableCsv(const SharedPool& pool, const MediumState& medium);

}  // namespace velmor
