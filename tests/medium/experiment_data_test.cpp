// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/experiment_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "medium/medium_state.h"
#include "medium_fake_host.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

ExperimentData Sample(int rows, int kod) {
  ExperimentData d;
  d.Vs = 20;
  d.v0 = 0.106113;
  d.VX1 = -7.123456;
  d.VX2 = 2147.49;  // beyond 32 bits once scaled
  d.VY1 = 0;
  d.VY2 = -1e9;
  d.T0 = -3.75;
  d.kTiso = 0.8;
  d.kod = kod;
  for (int N = 0; N < rows; ++N) {
    ExperimentRow r;
    r.N = N;
    r.Tn1 = 5.25 * N + 0.000001;
    r.Tk1 = 5.125 * N;
    r.Xk1 = 100 + N * 4.9;
    r.Yk1 = 50;
    r.Xn2 = 45.0 * (N - 1);
    r.Yn2 = -0.333333;
    r.Qn1 = -0.3 * N;
    r.Qn2 = 1.0 / 3;
    r.Vs1 = 20;
    r.Vs2 = 13.3333333;
    d.rows.push_back(r);
  }
  d.received = kod == 1 ? rows - 2 : rows - 1;
  return d;
}

void ExpectSame(const ExperimentData& a, const ExperimentData& b) {
  EXPECT_NEAR(a.Vs, b.Vs, 1e-6);
  EXPECT_NEAR(a.v0, b.v0, 1e-6);
  EXPECT_NEAR(a.VX1, b.VX1, 1e-6);
  EXPECT_NEAR(a.VX2, b.VX2, 1e-6);
  EXPECT_NEAR(a.VY1, b.VY1, 1e-6);
  EXPECT_NEAR(a.VY2, b.VY2, 1e-6);
  EXPECT_NEAR(a.T0, b.T0, 1e-6);
  EXPECT_NEAR(a.kTiso, b.kTiso, 1e-6);
  EXPECT_EQ(a.kod, b.kod);
  ASSERT_EQ(a.rows.size(), b.rows.size());
  for (std::size_t i = 0; i < a.rows.size(); ++i) {
    const ExperimentRow& x = a.rows[i];
    const ExperimentRow& y = b.rows[i];
    EXPECT_EQ(x.N, y.N);
    for (auto [u, v] : {std::pair{x.Tn1, y.Tn1},
                        {x.Tk1, y.Tk1},
                        {x.Xk1, y.Xk1},
                        {x.Yk1, y.Yk1},
                        {x.Xn2, y.Xn2},
                        {x.Yn2, y.Yn2},
                        {x.Qn1, y.Qn1},
                        {x.Qn2, y.Qn2},
                        {x.Vs1, y.Vs1},
                        {x.Vs2, y.Vs2}}) {
      EXPECT_NEAR(u, v, 1e-6) << i;
    }
  }
  EXPECT_EQ(a.received, b.received);
}

TEST(DataFile, RoundTripKeepsEveryValueToAMillionth) {
  for (int kod : {0, 1}) {
    const ExperimentData d = Sample(6, kod);
    const auto text = ComposeDataFile(d);
    ASSERT_TRUE(text);
    const auto back = ParseDataFile(*text);
    ASSERT_TRUE(back);
    ExpectSame(d, *back);
  }
}

TEST(DataFile, LayoutOfTheLines) {
  const auto text = ComposeDataFile(Sample(3, 1));
  ASSERT_TRUE(text);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text->size()) {
    const auto end = text->find('\n', start);
    lines.push_back(text->substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0],
            "  Vs            v0           VX1           VX2           VY1           VY2           "
            "T0           kTiso          kod");
  EXPECT_EQ(lines[2].substr(0, 18), "  N             Tn");
  // Scaled and truncated toward zero; 64-bit, no locale separators.
  std::istringstream values(lines[1]);
  std::vector<long long> v;
  for (long long x; values >> x;) v.push_back(x);
  EXPECT_EQ(v, (std::vector<long long>{20000000, 106113, -7123456, 2147490000, 0, -1000000000000000,
                                       -3750000, 800000, 1}));
  EXPECT_EQ(lines[3].substr(0, 3), "00 ");
  EXPECT_EQ(lines[5].substr(0, 3), "02 ");
  std::istringstream row(lines[4]);
  std::vector<long long> r;
  for (long long x; row >> x;) r.push_back(x);
  ASSERT_EQ(r.size(), 11u);
  EXPECT_EQ(r[1], 5250001);    // Tn1 = 5,250001
  EXPECT_EQ(r[6], -333333);    // Yn2
  EXPECT_EQ(r[8], 333333);     // 1/3 truncated
  EXPECT_EQ(r[10], 13333333);  // Vs2
}

TEST(DataFile, ValuesBeyondSixtyFourBitsAreNotWritten) {
  for (double bad : {1e13, -1e13, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
    ExperimentData d = Sample(2, 0);
    d.rows[1].Xk1 = bad;
    EXPECT_FALSE(ComposeDataFile(d)) << bad;
    d = Sample(2, 0);
    d.T0 = bad;
    EXPECT_FALSE(ComposeDataFile(d)) << bad;
  }
  ExperimentData d = Sample(2, 0);
  d.rows[1].Xk1 = 9.2e12;  // just fits
  EXPECT_TRUE(ComposeDataFile(d));
}

const char* const kHead = "header\n20000000 200000 5000000 9000000 0 0 0 1000000 1\nheader\n";

TEST(DataFile, BrokenFilesAreRefused) {
  const std::string row = " 1 2 3 4 5 6 7 8 9 10\n";
  const std::vector<std::string> broken = {
      "",
      "only a header\n",
      "h\n1 2 3\nh\n00" + row,                                 // eight values short
      "h\n1 2 3 4 5 6 7 8 x\nh\n00" + row,                     // letters
      "h\n1 2 3 4 5 6 7 8 9 10\nh\n00" + row,                  // ten in the header
      "h\n1 2 3 4 5 6 7 8 2\nh\n00" + row,                     // unknown kind
      "h\n1,5 2 3 4 5 6 7 8 1\nh\n00" + row,                   // a decimal comma
      "h\n99999999999999999999 2 3 4 5 6 7 8 1\nh\n00" + row,  // beyond 64 bits
      std::string(kHead),                                      // no rows
      std::string(kHead) + "00 1 2 3\n",                       // truncated row
      std::string(kHead) + "00" + row + "02" + row,            // a row missing
      std::string(kHead) + "01" + row,                         // not from 0
      std::string(kHead) + "00" + row + "01 1 2 3 4 5 6 7 8 9 10 11\n",
      std::string(kHead) + "00" + row + "--1" + row,
  };
  for (const std::string& text : broken) {
    std::string why;
    EXPECT_FALSE(ParseDataFile(text, &why)) << text;
    EXPECT_FALSE(why.empty());
  }
  std::string huge = std::string(kHead) + "00" + row;
  huge += std::string(kMaxDataFileBytes, ' ') + "\n";
  EXPECT_FALSE(ParseDataFile(huge));
}

TEST(DataFile, WindowsLineEndsSignsAndBlankLinesAreRead) {
  const std::string text =
      "h\r\n+20000000 200000 5000000 9000000 0 0 0 1000000 0\r\nh\r\n"
      "00 1 2 3 4 5 6 7 8 9 10\r\n\r\n01 -1 2 3 4 5 6 7 8 9 +10\r\n   \n";
  const auto d = ParseDataFile(text);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Vs, 20);
  EXPECT_EQ(d->kod, 0);
  ASSERT_EQ(d->rows.size(), 2u);
  EXPECT_EQ(d->rows[1].Tn1, -0.000001);
  EXPECT_EQ(d->rows[1].Vs2, 0.00001);
  EXPECT_EQ(d->received, 1);
}

TEST(DataFile, ReceptionsOfARayBundleFile) {
  // Rows 0 … 5 of a run waiting for period 5: four receptions.
  auto d = ParseDataFile(*ComposeDataFile(Sample(6, 1)));
  EXPECT_EQ(d->received, 4);
  EXPECT_EQ(d->ObservedPeriods(), 3);
  // Rows 0 … 20: complete when row 20 was received, else not.
  ExperimentData full = Sample(21, 1);
  d = ParseDataFile(*ComposeDataFile(full));
  EXPECT_EQ(d->received, 20);
  ExperimentRow& last = full.rows.back();
  last.Tn1 = last.Tk1 = last.Xk1 = last.Yk1 = 0;
  d = ParseDataFile(*ComposeDataFile(full));
  EXPECT_EQ(d->received, 19);
  // Rows beyond the 21st, whatever they hold, are not used.
  std::string longer = *ComposeDataFile(full);
  for (const char* extra : {"21 1 2 3 4 5 6 7 8 9 10\n", "22 and more\n"}) {
    longer += extra;
    d = ParseDataFile(longer);
    ASSERT_TRUE(d) << extra;
    EXPECT_EQ(d->rows.size(), 21u);
    EXPECT_EQ(d->received, 19);
  }
  // A retarded-potential file: every row after 0 is a maximum.
  d = ParseDataFile(*ComposeDataFile(Sample(8, 0)));
  EXPECT_EQ(d->received, 7);
}

TEST(DataFile, PresentStateGivesTheRowsOfItsRun) {
  SharedPool P;
  MediumState M;
  medium_testing::DefaultInputs(P, M);
  M.Run = {20, 0.25, 5, 9, 0, 0, -1, 0.5, kBundleKind};
  // The pool's values since rewritten by another window and by a search.
  P.v0 = 0.2;
  P.Vs = 30;
  P.VX(1) = -5;
  M.T0 = 0;
  M.kTiso = 1;
  M.ExperimentKind = kPotentialKind;
  P.PeriodNumber = 21;
  P.Tk1(20) = 99;
  M.Vs2(20) = 13;
  ExperimentData d = DataFromState(P, M);
  ASSERT_EQ(d.rows.size(), 21u);
  EXPECT_EQ(d.received, 20);
  EXPECT_EQ(d.rows[20].Tk1, 99);
  EXPECT_EQ(d.rows[20].Vs2, 13);
  EXPECT_EQ(d.kod, 1);
  EXPECT_EQ(d.Vs, 20);
  EXPECT_EQ(d.VX1, 5);
  EXPECT_EQ(d.VX2, 9);
  EXPECT_EQ(d.v0, 0.25);
  EXPECT_EQ(d.T0, -1);
  EXPECT_EQ(d.kTiso, 0.5);
  P.PeriodNumber = 3;
  EXPECT_EQ(DataFromState(P, M).received, 2);
  M.Run.kod = kPotentialKind;
  EXPECT_EQ(DataFromState(P, M).received, 3);
  EXPECT_EQ(DataFromState(P, M).rows.size(), 4u);
  P.PeriodNumber = -7;
  d = DataFromState(P, M);
  EXPECT_EQ(d.rows.size(), 1u);
  EXPECT_EQ(d.received, 0);
}

TEST(DataFile, NameOfTheFile) {
  EXPECT_EQ(DataFileName(7), "Velmor_7.txt");
  EXPECT_EQ(DataFileName(-2), "Velmor_-2.txt");
}

}  // namespace
}  // namespace velmor
