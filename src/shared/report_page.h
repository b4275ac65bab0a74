// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the reports print on the report page, whose user scale runs from 0 at
// the bottom to 600 at the top.

namespace velmor {

// The legend line at the very top of a report.
constexpr double kReportLegendY = 599.9;
// The text that follows it: a header's explanations, or a table printed alone.
constexpr double kReportTextY = 599.3;

}  // namespace velmor
