// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data of a medium experiment as the graph actions need it, taken from
// the present state or from the experiment data file, and the file's text
// form: two header lines and one row per period of whole numbers (values
// times 1 000 000, truncated toward zero), independent of the machine's
// locale.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "medium/medium_state.h"

namespace velmor {

struct SharedPool;

struct ExperimentRow {
  int N = 0;
  double Tn1 = 0, Tk1 = 0, Xk1 = 0, Yk1 = 0, Xn2 = 0, Yn2 = 0, Qn1 = 0, Qn2 = 0, Vs1 = 0, Vs2 = 0;
};

struct ExperimentData : ExperimentHeader {
  // Rows N = 0, 1, …; at most 21.
  std::vector<ExperimentRow> rows;
  // The receptions (maxima) recorded, at rows 1 … received.
  int received = 0;

  // Observed periods: i = 1 … received − 1, each between the receptions i
  // and i + 1.
  int ObservedPeriods() const { return received > 1 ? received - 1 : 0; }
};

constexpr int kMaxDataRows = 21;

// The present experiment, with the values its start kept: rows
// 0 … min(PeriodNumber, 20).
ExperimentData DataFromState(const SharedPool& P, const MediumState& M);

// The file's text; nothing when a value times 1 000 000 does not fit a 64-bit
// whole number (or is not a number).
std::optional<std::string> ComposeDataFile(const ExperimentData& d);

// The file read back: line 1 skipped, the nine values of line 2, line 3
// skipped, then rows to the end (blank lines ignored), of which the first
// kMaxDataRows are used. Nothing, with the reason in `why`, when the text is
// not such a file: missing lines, a value that is not a whole number, a row
// of the wrong length or number, a kind other than 0 or 1.
std::optional<ExperimentData> ParseDataFile(std::string_view text, std::string* why = nullptr);

// Files larger than this are not data files of this program.
constexpr std::size_t kMaxDataFileBytes = 64 * 1024;

// "Velmor_" + n + ".txt".
std::string DataFileName(int number);

// The bytes of the data file at `path`, at most one past kMaxDataFileBytes
// (enough to know that it is too long); nothing when there is no such file
// or it cannot be opened.
std::optional<std::string> ReadDataFileBytes(const std::string& path);

}  // namespace velmor
