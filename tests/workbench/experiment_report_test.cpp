// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "support/fill.h"

namespace velmor {
namespace {

using testing::FakeHost;
using testing::Fill;
using testing::LoadDefaults;
using Kind = CanvasOp::Kind;

// A hand-made state of three received periods (PeriodNumber 4).
void ThreeReceived(SharedPool& P) {
  LoadDefaults(P);
  FakeHost host;
  SetUpExperiment(P, host);
  P.PeriodNumber = 4;
  Fill(P.Tk1, 0, {5, 8.9069999999, 13.0469999});
  Fill(P.Xk1, 0, {86.60254, 110.0445399});
  Fill(P.Yk1, 0, {50, 50});
  P.Xk2(1) = 49.99999999;
  Fill(P.An, 1, {30, 40, 50});
  for (int i = 1; i <= 3; ++i) {
    P.Qn1(i) = P.QV1 - P.An(i);
    P.Qn2(i) = P.QV2 - P.An(i);
  }
}

TEST(ReportHeader, LegendAndTransmitterValues) {
  SharedPool P;
  LoadDefaults(P);
  P.QV1 = 359.999;
  P.QV2 = 90;
  RecordingCanvas page;
  PrintReportHeader(page, P);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(page.Ops()[0].kind, Kind::Cls);
  EXPECT_DOUBLE_EQ(texts[0].b, 599.9);
  EXPECT_EQ(texts[0].text, "        1- приемник  2- источник  i - нимер условного периода\n");
  EXPECT_DOUBLE_EQ(texts[1].b, 599.3);
  const std::string& h = texts[1].text;
  EXPECT_NE(h.find("\n QV1= 359,99 - угол между скоростью приемника и осью X\n"),
            std::string::npos);
  EXPECT_NE(h.find("\n QV2= 90 - угол между скоростью источника и осью X\n"), std::string::npos);
  EXPECT_NE(h.find("\n T00=  5    - условный период колебаний\n"), std::string::npos);
  EXPECT_NE(h.find("\n v0=  0,2     - частота передатчика \n"), std::string::npos);
  EXPECT_TRUE(h.ends_with("\n Nv0=  1  - периодов передатчика в условном периоде \n"));
  EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 16);
  EXPECT_EQ(P.ReportText, h);
}

TEST(PeriodReport, ABlockForEveryReceivedPeriod) {
  SharedPool P;
  ThreeReceived(P);
  RecordingCanvas page;
  PrintPeriodReport(page, P);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 4u);  // periods 1, 2 and 3, then the summary
  EXPECT_DOUBLE_EQ(texts[0].b, 591);
  EXPECT_DOUBLE_EQ(texts[1].b, 581);
  EXPECT_DOUBLE_EQ(texts[2].b, 571);
  EXPECT_DOUBLE_EQ(texts[3].b, 561);
  const std::string& b1 = texts[0].text;
  EXPECT_EQ(b1.substr(0, b1.find('\n')), "             обрабатываем сигналы условного периода № 1");
  // Six-decimal truncation toward zero, never rounding.
  EXPECT_NE(b1.find(" Tk2(1) = 8,906999       Xk2(1) = 49,999999         Yk2(1) = 0\n"),
            std::string::npos);
  EXPECT_NE(b1.find(" Tk1(0) = 5        Xk1(0) = 86,60254        Yk1(0) = 50\n"),
            std::string::npos);
  EXPECT_NE(b1.find(" Tk1(1) = 8,906999        Xk1(1) = 110,044539        Yk1(1) = 50\n\n"),
            std::string::npos);
  EXPECT_NE(b1.find(" угол луча зрения в начале приема условного периода = 30\n"),
            std::string::npos);
  EXPECT_NE(b1.find(" отклонение скорости источника  Qn2(1) = -30\n\n"), std::string::npos);
  EXPECT_NE(b1.find(" dT= Tk1(1) - Tk1(0) = 3,9069999999\n"), std::string::npos);
  // The classical two-body frequency at a 30° line of sight, worked out
  // independently: v0 (1 - cos30 * 6/20) / (1 - cos30 * 10/20).
  const double c30 = std::cos(30 * M_PI / 180);
  EXPECT_NEAR(P.v1n(1), 0.2 * (1 - c30 * 0.3) / (1 - c30 * 0.5), 1e-12);
  const double c40 = std::cos(40 * M_PI / 180);
  EXPECT_NEAR(P.v1k(1), 0.2 * (1 - c40 * 0.3) / (1 - c40 * 0.5), 1e-12);
  EXPECT_EQ(P.v1(1), (P.v1n(1) + P.v1k(1)) / 2);
  EXPECT_EQ(P.dT(2), P.Tk1(2) - P.Tk1(1));
  EXPECT_NE(b1.find(" v(1) = Nv0/dT= " + GeneralForm(1 / 3.9069999999) + "\n\n"),
            std::string::npos);
  // Period 3 has no end yet: the lines that need it stay empty, so that
  // every other line stands where the whole block will print it.
  const double c50 = std::cos(50 * M_PI / 180);
  EXPECT_NEAR(P.v1n(3), 0.2 * (1 - c50 * 0.3) / (1 - c50 * 0.5), 1e-12);
  EXPECT_EQ(texts[2].text,
            "             обрабатываем сигналы условного периода № 3\n"
            " координаты и время источника и приемника для начала и конца\n"
            " Tn2(3) = 10        Xn2(3) = 100        Yn2(3) = 0\n"
            "\n"
            " Tk1(2) = 13,046999        Xk1(2) = 0        Yk1(2) = 0\n"
            "\n\n"
            " угол луча зрения в начале приема условного периода = 50\n"
            " отклонение скорости приемника Qn1(3) = -50\n"
            " отклонение скорости источника  Qn2(3) = -50\n\n"
            "\n\n\n\n"
            " расчетная реальная частота принимаемого сигнала  \n"
            " частота в начале условного периода v1n(3) = " +
                GeneralForm(P.v1n(3)) + "\n");
  const std::string& sum = texts[3].text;
  EXPECT_EQ(sum,
            "№ периода      угол       наблюдаемая частота     расчетная частота \n"
            "   1         30         " +
                GeneralForm(1 / P.dT(1)) + "        " + GeneralForm(P.v1(1)) +
                "\n   2         40         " + GeneralForm(1 / P.dT(2)) + "        " +
                GeneralForm(P.v1(2)) + "\n   3         50\n");
  EXPECT_EQ(P.ReportText, sum);
}

TEST(PeriodReport, NothingReceivedGivesOnlyTheSummaryHeading) {
  for (int p : {0, 1}) {
    SharedPool P;
    LoadDefaults(P);
    FakeHost host;
    SetUpExperiment(P, host);
    P.PeriodNumber = p;
    RecordingCanvas page;
    PrintPeriodReport(page, P);
    const auto texts = page.OpsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_DOUBLE_EQ(texts[0].b, 591);
    EXPECT_EQ(texts[0].text,
              "№ периода      угол       наблюдаемая частота     расчетная частота \n");
  }
}

TEST(PeriodReport, AFaultKeepsTheBlocksPrintedBefore) {
  SharedPool P;
  ThreeReceived(P);
  P.PeriodNumber = 5;
  P.Tk1(3) = P.Tk1(2);  // dT(3) = 0
  RecordingCanvas page;
  EXPECT_THROW(PrintPeriodReport(page, P), ComputeFault);
  EXPECT_EQ(page.Count(Kind::Text), 2u);
  // A report after a run that reached period 21 reads past the arrays.
  SharedPool Q;
  ThreeReceived(Q);
  Q.PeriodNumber = 23;
  for (int i = 3; i <= 20; ++i) Q.Tk1(i) = Q.Tk1(i - 1) + 4;
  RecordingCanvas page2;
  EXPECT_THROW(PrintPeriodReport(page2, Q), ComputeFault);
  EXPECT_EQ(page2.Count(Kind::Text), 19u);
}

TEST(ReportForms, TruncateTowardZero) {
  SharedPool P;
  SetStartupConstants(P);
  EXPECT_EQ(GeneralForm(F6(P, -115.2491239)), "-115,249123");
  EXPECT_EQ(GeneralForm(F6(P, 2.0000004)), "2");
  EXPECT_EQ(GeneralForm(F2(53.799)), "53,79");
  EXPECT_EQ(GeneralForm(F2(-0.009)), "0");
  EXPECT_THROW(F6(P, 1e308), ComputeFault);
}

}  // namespace
}  // namespace velmor
