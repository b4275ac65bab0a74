// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/period_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "engine_test_support.h"
#include "shared/numbers.h"

namespace velmor {
namespace {

std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream l(line);
    while (std::getline(l, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.push_back("");
    rows.push_back(cells);
  }
  return rows;
}

double Num(const std::string& s) {
  return *ParseNumber(s);
}

TEST(PeriodTable, WrittenAndReadBackGivesTheSameNumbers) {
  SharedPool P;
  testing::LoadDefaults(P);
  testing::FakeHost host;
  host.recordDrawing = false;
  SetUpExperiment(P, host);
  RunExperimentSteps(P, host);
  ASSERT_EQ(P.PeriodNumber, 20);
  const auto rows = ReadCsv(PeriodTableCsv(P));
  ASSERT_EQ(rows.size(), 20u);  // the header and 19 received periods
  EXPECT_EQ(rows[0].size(), 13u);
  EXPECT_EQ(rows[0][0], "period");
  for (int i = 1; i <= 19; ++i) {
    const auto& r = rows[i];
    ASSERT_EQ(r.size(), 13u) << i;
    EXPECT_EQ(r[0], std::to_string(i));
    const double want[] = {P.Tn2(i),     P.Xn2(i), P.Yn2(i), P.Tk1(i - 1), P.Xk1(i - 1),
                           P.Yk1(i - 1), P.Xk2(i), P.Yk2(i), P.An(i)};
    for (int c = 0; c < 9; ++c) {
      EXPECT_NEAR(Num(r[c + 1]), want[c], std::fabs(want[c]) * 1e-14) << i << " " << c;
    }
    if (i < 19) {
      const double dT = P.Tk1(i) - P.Tk1(i - 1);
      EXPECT_NEAR(Num(r[10]), dT, dT * 1e-14);
      EXPECT_NEAR(Num(r[11]), P.Nv0 / dT, 1e-14);
      EXPECT_GT(Num(r[12]), 0.17);
      EXPECT_LT(Num(r[12]), 0.26);
    } else {
      EXPECT_EQ(r[10], "");  // the end of the last received period is not known
    }
  }
  // Locale-free: a dot, never a comma inside a number.
  for (std::size_t i = 1; i < rows.size(); ++i) {
    for (const auto& c : rows[i]) EXPECT_EQ(c.find(' '), std::string::npos);
  }
}

TEST(PeriodTable, NothingReceivedGivesTheHeaderOnly) {
  SharedPool P;
  testing::LoadDefaults(P);
  testing::FakeHost host;
  SetUpExperiment(P, host);
  EXPECT_EQ(PeriodTableCsv(P), std::string(kPeriodTableHeader) + "\n");
}

}  // namespace
}  // namespace velmor
