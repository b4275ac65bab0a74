// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The header line of the period table (CSV) that the main window and the
// medium window both export from the pool's period arrays.
namespace velmor {

inline constexpr const char* kPeriodTableHeader =
    "period,emission_t,emission_x,emission_y,reception_t,receiver_x,receiver_y,source_x,"
    "source_y,sight_angle,observed_period,observed_frequency,computed_frequency";

}  // namespace velmor
