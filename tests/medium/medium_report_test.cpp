// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "medium/medium_state.h"
#include "medium_fake_host.h"
#include "shared/faults.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "support/fill.h"

namespace velmor {
namespace {

using medium_testing::DefaultInputs;
using testing::Fill;
using Kind = CanvasOp::Kind;

struct Report : ::testing::Test {
  SharedPool P;
  MediumState M;
  RecordingCanvas page;
  void SetUp() override {
    DefaultInputs(P, M);
    page.SetScale(0, 600, 10, 0);
    M.Run.v0 = 0.2;
    P.V1 = 5;
    P.V2 = 9;
    for (int i = 0; i <= 20; ++i) {
      M.Vs1(i) = 20;
      M.Vs2(i) = 20;
    }
  }
  // Two receptions of the ray bundle: observed period 1.
  void TwoReceptions() {
    P.PeriodNumber = 3;
    P.Tn2(1) = P.Xn2(1) = P.Yn2(1) = 0;
    P.Xk2(1) = 65.2412345678;
    P.Yk2(1) = -0.5;
    P.Tn1(1) = 7.249;
    P.Xk1(1) = 136.2449999;
    P.Yk1(1) = 50;
    Fill(P.Tk1, 1, {7.249, 11.749});
    M.EmitAngle(1) = 0.35;
    M.RecvAngle(1) = 0.36;
    Fill(P.Qn1, 1, {-0.36, -0.5});
    Fill(P.Qn2, 1, {-0.35, -0.45});
    Fill(M.Vs1, 1, {20, 10});
    Fill(M.Vs2, 1, {20, 20});
  }
  static double Classic(double Q1, double Q2, double c1, double c2) {
    return 0.2 * (1 - std::cos(Q1) * 5 / c1) / (1 - std::cos(Q2) * 9 / c2);
  }
};

TEST_F(Report, BundleHeaderClearsThePageAndPrintsTheStart) {
  page.PrintAt(0, 300, "old");
  P.QV1 = 0.123456;
  P.QV2 = 1.5;
  M.kT1 = 0.96824583655185;
  M.kT2 = 0.8;
  P.CurrentTime = -3.75;
  PrintBundleHeader(page, P, M);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].b, 599.9);
  EXPECT_EQ(texts[0].text, "        1- приемник  2- источник  i - нимер условного периода\n");
  EXPECT_EQ(texts[1].b, 599.3);
  const std::string& h = texts[1].text;
  EXPECT_NE(h.find("\n QV1= 0,12  и QV2= 1,5 - углы между скоростью приемника и источника и "
                   "осью X\n"),
            std::string::npos);
  EXPECT_NE(h.find("\n kT1=  0,968      kT2=  0,8     - коэффициенты темпа"), std::string::npos);
  EXPECT_NE(h.find("\n v0=  0,2 - реальная"), std::string::npos);
  EXPECT_NE(h.find("\n T00=  5 - условный период колебаний передатчика с частотой v0 по времени "
                   "ИСО\n"),
            std::string::npos);
  EXPECT_NE(h.find("\n T0=  -3,75 - время начала"), std::string::npos);
  EXPECT_EQ(h.rfind(" согласовано с началом координатного временем приемника, если была задана "
                    "VXiso\n"),
            h.size() - std::string(" согласовано с началом координатного временем приемника, "
                                   "если была задана VXiso\n")
                           .size());
}

TEST_F(Report, PotentialHeaderLines) {
  P.QV1 = 0;
  P.QV2 = 3.14159;
  P.CurrentTime = 0;
  PrintPotentialHeader(page, P, M);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].text,
            " Tn2(i)- время передачи сигнала начала i-го периода\n"
            " Tn1(i)=Tk1(i)- время приема сигнала начала i-го периода\n"
            " Xn2(i)- координата источника в начале i-го периода сигнала \n"
            " Xk1(i)- координата приемника при приема сигнала начала i-го периода\n"
            " QV1= 0 - угол между скоростью приемника и осью X\n"
            " Qn1(i) - угол между лучом зрения с источника и скоростью приемника \n"
            " QV2= 3,14 - угол между скоростью источника и осью X\n"
            " Qn2(i) - угол между лучом зрения с источника и скоростью источника \n"
            " T00=  5    - условный период колебаний передатчика\n"
            " v0=1/T00  0,2     - частота передатчика \n"
            " T0  0     - время начала эксперимента  \n"
            " kT1=  1      kT2=  1     - замедление времени на приемнике и источнике\n");
}

TEST_F(Report, BundleBlockOfAnObservedPeriod) {
  TwoReceptions();
  PrintBundleReport(page, P, M, false);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].a, 0);
  EXPECT_EQ(texts[0].b, 591);
  const double vn = Classic(-0.36, -0.35, 20, 20);
  const double vk = Classic(-0.5, -0.45, 10, 20);
  EXPECT_EQ(texts[0].text,
            "                         обрабатываем сигналы условного периода № 1\n"
            " координаты и время по часам ИСО источника и приемника для начала условного "
            "периода (i)\n"
            " Tn2(1) = 0        Xn2(1) = 0        Yn2(1) = 0       Xk2(0) = 65,241234         "
            "Yk2(0) = -0,5\n"
            " Tn1(0) = 7,249        Xk1(0) = 136,244999        Yk1(0) = 50\n"
            " время по часам приемника начала реального периода Tk1(0) = 7,249\n"
            " угол луча зрения на источнике в момент излучения начала периода   20,05\n"
            " угол луча зрения на приемнике в момент приема начала периода   20,62\n"
            " угол скорости приемника в начале 1 периода Qn1(1) = -20,62\n"
            " угол скорости источника в начале 1 периода Qn2(1) = -20,05\n"
            " наблюдаемый период на приемнике и реальная частота\n"
            " dT= Tk1(1) - Tk1(0) = 4,5                   v(1) = 1/dT= 0,222222222222222\n"
            " расчетная частота в начале периода vn(1) = " +
                GeneralForm(vn) +
                "\n"
                " расчетная частота в конце  периода  vk(1) = " +
                GeneralForm(vk) +
                "\n"
                " средняя частота за период v(1) = (v1n(i) + v1k(i)) / 2  = " +
                GeneralForm((vn + vk) / 2) + "\n\n");
  // Stored for the other actions: dT at entry i + 40, the frequencies.
  EXPECT_DOUBLE_EQ(M.AngleTable(41), 4.5);
  EXPECT_DOUBLE_EQ(P.v1(1), (vn + vk) / 2);
  EXPECT_EQ(texts[1].b, 584);
  EXPECT_EQ(texts[1].text,
            "№ периода      углы при вылете     углы при приеме     наблюдаемая и расчетная "
            "частота \n   1         -20,05    -25,78         -20,62    -28,64         "
            "0,222222222222222        " +
                GeneralForm((vn + vk) / 2) + "\n");
}

TEST_F(Report, StoppedBeforeTwoReceptionsPrintsOnlyTheSummaryHeading) {
  for (int p : {0, 1, 2}) {
    page.Reset();
    P.PeriodNumber = p;
    PrintBundleReport(page, P, M, false);
    const auto texts = page.OpsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].b, 591);
  }
}

TEST_F(Report, CompleteBundleRunReportsAllNineteenPeriods) {
  P.PeriodNumber = 21;
  for (int i = 1; i <= 20; ++i) P.Tk1(i) = 5.0 * i;
  PrintBundleReport(page, P, M, true);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 20u);
  EXPECT_EQ(texts[18].b, 591 - 7 * 18);
  EXPECT_EQ(texts[19].b, 591 - 7 * 19);
  // The summary has a row for each of them.
  EXPECT_NE(texts[19].text.find("\n   19         "), std::string::npos);
  EXPECT_EQ(texts[19].text.find("\n   20 "), std::string::npos);
}

TEST_F(Report, FaultKeepsTheBlocksPrintedBeforeIt) {
  P.PeriodNumber = 4;
  P.Tk1(1) = 1;
  P.Tk1(2) = 2;
  P.Tk1(3) = 2;  // dT(2) = 0
  EXPECT_THROW(PrintBundleReport(page, P, M, false), ComputeFault);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].b, 591);
}

TEST_F(Report, PotentialBlockAndSummary) {
  P.PeriodNumber = 2;
  Fill(P.Tn2, 1, {1.251, 6.251});
  Fill(P.Xn2, 1, {11.259, 56.259});
  Fill(P.Tk1, 1, {7.1416, 12.1416});
  Fill(P.Xk1, 1, {106.5, 131.5});
  M.RecvAngle(1) = 0.5;
  M.RecvAngle(2) = 0.25;
  Fill(P.Qn1, 1, {-0.5, -0.25});
  Fill(P.Qn2, 1, {-0.5, -0.25});
  PrintPotentialReport(page, P, M, false);
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  const double vn = Classic(-0.5, -0.5, 20, 20);
  const double vk = Classic(-0.25, -0.25, 20, 20);
  auto F3 = [](double x) { return GeneralForm(std::trunc(x * 1000) / 1000); };
  EXPECT_EQ(texts[0].text,
            "             обрабатываем сигналы условного периода № 1\n"
            " координаты и время источника и приемника для начала и конца периода\n"
            " Tn2(1) = 1,251        Xn2(1) = 11,259               Tk1(1) = 7,1416        Xk1(1) "
            "= 106,5\n"
            " Tn2(2) = 6,251        Xn2(2) = 56,259               Tk1(2) = 12,1416        Xk1(2) "
            "= 131,5\n"
            " угол луча зрения в начале условного периода = 28,64\n"
            " угол луча зрения в конце  условного периода = 14,32\n"
            " угол скорости приемника и источника в начале 1 периода Q1(1) = -28,64      Q2(1) "
            "= -28,64\n"
            " угол скорости приемника и источника в конце   1 периода Q1(2) = -14,32      Q2(2) "
            "= -14,32\n"
            " наблюдаемый условный период на приемнике и реальная частота \n"
            " dT= Tk1(2) - Tk1(1) = 5      v(1) = 1/dT= 0,2\n"
            " расчетная частота принимаемого сигнала в начале периода vn(1) = " +
                F3(vn) +
                "\n"
                " расчетная частота принимаемого сигнала в конце периода     vk(1) = " +
                F3(vk) +
                "\n"
                "                                    v(1) = (v1n(i) + v1k(i)) / 2  = " +
                F3((vn + vk) / 2) + "\n\n");
  EXPECT_EQ(texts[1].b, 584);
  EXPECT_EQ(texts[1].text,
            "№ периода      угол скорости 1       угол скорости 2       наблюдаемая частота     "
            "расчетная частота \n   1         -28,64         -28,64         0,2        " +
                GeneralForm((vn + vk) / 2) + "\n");
}

TEST_F(Report, ObservedPeriodCounts) {
  for (auto [p, bundle, potential] : {std::tuple{0, 0, 0},
                                      {1, 0, 0},
                                      {2, 0, 1},
                                      {3, 1, 2},
                                      {20, 18, 19},
                                      {21, 19, 19},
                                      {-4, 0, 0},
                                      {99, 19, 19}}) {
    P.PeriodNumber = p;
    EXPECT_EQ(BundleObservedPeriods(P), bundle) << p;
    EXPECT_EQ(PotentialObservedPeriods(P), potential) << p;
  }
}

}  // namespace
}  // namespace velmor
