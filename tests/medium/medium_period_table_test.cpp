// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_period_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "medium/medium_state.h"
#include "shared/numbers.h"
#include "shared/period_table_header.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor {
namespace {

TEST(MediumPeriodTable, ObservedPeriodsOfABundleRun) {
  SharedPool P;
  SetStartupConstants(P);
  MediumState M;
  M.Run.kod = kBundleKind;
  P.PeriodNumber = 4;  // receptions 1 … 3: periods 1 and 2 observed
  for (int i = 1; i <= 3; ++i) {
    P.Tn2(i) = 5.0 * (i - 1);
    P.Tk1(i) = 5.0 * i + 0.5 * i * i;
    P.Xk1(i) = 10.0 * i;
    P.v1(i) = 0.2 + i / 100.0;
    M.RecvAngle(i) = 0.5;
  }
  const std::string csv = MediumPeriodTableCsv(P, M);
  EXPECT_EQ(csv.substr(0, csv.find('\n')), kPeriodTableHeader);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
  // Period 2: Tk1(3) - Tk1(2) = 19.5 - 12 = 7.5.
  const std::string row2 = csv.substr(csv.find("\n2,") + 1);
  EXPECT_EQ(row2, "2,5,0,0,12,20,0,0,0," + DotForm(0.5 * P.DegPerRad) + ",7.5," + DotForm(1 / 7.5) +
                      ",0.22\n");
}

TEST(MediumPeriodTable, PotentialsLeaveOutPeriodsWithoutLengthAndSourcePositions) {
  SharedPool P;
  SetStartupConstants(P);
  MediumState M;
  M.Run.kod = kPotentialKind;
  P.PeriodNumber = 3;  // two maxima after the first: periods 1 and 2
  P.Tk1(1) = 1;
  P.Tk1(2) = 1;  // no time between the maxima
  P.Tk1(3) = 2;
  // Source positions at reception left by an earlier ray-bundle run: the
  // field does not record them, so its table leaves them empty.
  P.Xk2(2) = 7;
  P.Yk2(2) = 8;
  const std::string csv = MediumPeriodTableCsv(P, M);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
  EXPECT_EQ(csv.substr(csv.find("\n2,") + 1), "2,0,0,0,1,0,0,,,0,1,1,0\n");
  EXPECT_EQ(csv.find("\n1,"), std::string::npos);
}

}  // namespace
}  // namespace velmor
