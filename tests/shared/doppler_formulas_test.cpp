// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/doppler_formulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "shared/faults.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor {
namespace {

constexpr double kInput = 656.28;
using Values = std::vector<double>;

// Records what an evaluation shows.
class Display : public DopplerDisplay {
 public:
  void ShowRatio(double r, double s) override {
    ratio = r;
    shift = s;
    ++ratioCalls;
  }
  void ShowPositions(double x1, double x2, double y1, double y2, double r) override {
    positions = {x1, x2, y1, y2, r};
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  Canvas& ClearedValuesPicture() override {
    ++clears;
    canvas.Cls();
    return canvas;
  }

  double ratio = -1, shift = -1;
  int ratioCalls = 0;
  int clears = 0;
  std::vector<double> positions;
  std::vector<std::string> messages;
  RecordingCanvas canvas;
};

class DopplerTest : public ::testing::Test {
 protected:
  DopplerTest() {
    SetStartupConstants(P);
    P.Vs = 20;
    P.v0 = kInput;
  }
  // Speeds as the graph sweep and the calculation by X give them: signed,
  // V12 = V1 - V2, all angles the same.
  void Speeds(double V1, double V2) {
    P.V1 = V1;
    P.V2 = V2;
    P.V12 = V1 - V2;
  }
  static DopplerAngles All(double degrees, double DegPerRad) {
    const double q = degrees / DegPerRad;
    return {q, q, q, 0};
  }
  bool Eval(const DopplerChoice& c, DopplerAngles q = {}, DopplerMode m = DopplerMode::Sweep,
            double input = kInput) {
    return EvaluateDopplerFormula(P, m, c, input, q, shown);
  }
  static DopplerChoice Sto(StoVariant v) {
    DopplerChoice c;
    c.formula = DopplerFormula::Sto;
    c.variant41 = v == StoVariant::V41;
    c.variant42 = v == StoVariant::V42;
    c.variant43 = v == StoVariant::V43;
    c.variant45 = v == StoVariant::V45;
    return c;
  }
  static DopplerChoice Of(DopplerFormula f) {
    DopplerChoice c;
    c.formula = f;
    return c;
  }

  SharedPool P;
  Display shown;
};

// The relativistic factor of a head-on approach at beta, from the textbook.
double Approach(double beta) {
  return std::sqrt((1 + beta) / (1 - beta));
}

TEST_F(DopplerTest, EveryFormulaAtRestGivesTheEmittedFrequency) {
  std::vector<DopplerChoice> choices = {Of(DopplerFormula::Lorentz), Of(DopplerFormula::Kto),
                                        Sto(StoVariant::V41),        Sto(StoVariant::V42),
                                        Sto(StoVariant::V43),        Sto(StoVariant::V45)};
  for (bool exact : {false, true}) {
    for (bool v31 : {false, true}) {
      DopplerChoice z = Of(DopplerFormula::Zevr);
      z.exactCorrections = exact;
      z.zevr31 = v31;
      choices.push_back(z);
    }
  }
  for (const DopplerChoice& c : choices) {
    Speeds(0, 0);
    P.v = 0;
    ASSERT_TRUE(Eval(c, All(37, P.DegPerRad)));
    EXPECT_EQ((Values{P.v, shown.ratio, shown.shift, P.InputCopy}), (Values{kInput, 1, 0, kInput}));
    EXPECT_EQ((Values{P.G, P.G1, P.G2, P.dv1, P.dv2}), (Values{1, 1, 1, 0, 0}));
  }
}

TEST_F(DopplerTest, ClassicalFormulaDoublesForASourceAtHalfTheSignalSpeed) {
  Speeds(0, 10);
  ASSERT_TRUE(Eval(Of(DopplerFormula::Lorentz)));
  EXPECT_EQ(P.v, 2 * kInput);
  EXPECT_EQ(shown.ratio, 2);
  EXPECT_DOUBLE_EQ(shown.shift, kInput);
  // Receding receiver at half the signal speed, source at rest: v0 / 2.
  Speeds(10, 0);
  ASSERT_TRUE(Eval(Of(DopplerFormula::Lorentz)));
  EXPECT_EQ(shown.ratio, 0.5);
}

TEST_F(DopplerTest, RelativisticVariantsAtSixTenthsOfTheSignalSpeed) {
  Speeds(12, 0);  // V12 = 0.6 Vs, along the line of sight
  ASSERT_TRUE(Eval(Sto(StoVariant::V41)));
  EXPECT_DOUBLE_EQ(P.G, 0.8);
  EXPECT_DOUBLE_EQ(shown.ratio, 0.5);
  ASSERT_TRUE(Eval(Sto(StoVariant::V42)));
  EXPECT_DOUBLE_EQ(shown.ratio, 2);
  ASSERT_TRUE(Eval(Sto(StoVariant::V43)));
  EXPECT_DOUBLE_EQ(shown.ratio, 0.5);
}

TEST_F(DopplerTest, RelativisticVariantsMatchTheTextbookFactor) {
  for (double beta : {0.05, 0.3, 0.6, 0.9, 0.99}) {
    // Receiver receding along the line of sight: (4-1) and (4-3) give the
    // receding factor, (4-2) the approaching one.
    Speeds(20 * beta, 0);
    ASSERT_TRUE(Eval(Sto(StoVariant::V41)));
    EXPECT_NEAR(shown.ratio, 1 / Approach(beta), 1e-12) << beta;
    ASSERT_TRUE(Eval(Sto(StoVariant::V43)));
    EXPECT_NEAR(shown.ratio, 1 / Approach(beta), 1e-12) << beta;
    ASSERT_TRUE(Eval(Sto(StoVariant::V42)));
    EXPECT_NEAR(shown.ratio, Approach(beta), 1e-11) << beta;
    // Source approaching, receiver at rest: (4-5) is the approaching factor.
    Speeds(0, 20 * beta);
    ASSERT_TRUE(Eval(Sto(StoVariant::V45)));
    EXPECT_NEAR(shown.ratio, Approach(beta), 1e-11) << beta;
  }
}

TEST_F(DopplerTest, ClassicalFourFourAtNinetyDegreesKeepsThePiLiteral) {
  Speeds(15, 0);
  ASSERT_TRUE(Eval(Of(DopplerFormula::Kto), All(90, P.DegPerRad)));
  // cos of the literal's half is not 0, so the ratio is a hair off 1.
  EXPECT_NEAR(shown.ratio, 1, 1e-14);
  EXPECT_NE(shown.ratio, 1);
  // Head on it is the plain 1 - V12/Vs.
  ASSERT_TRUE(Eval(Of(DopplerFormula::Kto)));
  EXPECT_DOUBLE_EQ(shown.ratio, 0.25);
}

TEST_F(DopplerTest, EqualityWithTheSignalSpeedIsRefused) {
  struct Case {
    double V1, V2;
  };
  for (Case c : {Case{20, 0}, Case{0, -20}, Case{20, 15}, Case{10, -10}, Case{0, 25}}) {
    Speeds(c.V1, c.V2);
    P.v = 123;
    P.G = 7;
    P.dv1 = 8;
    shown = Display();
    EXPECT_FALSE(Eval(Sto(StoVariant::V41))) << c.V1 << " " << c.V2;
    EXPECT_EQ(P.v, 123);
    EXPECT_EQ(P.G, 7);
    EXPECT_EQ(P.dv1, 8);
    EXPECT_EQ(shown.ratioCalls, 0);
    EXPECT_TRUE(shown.messages.empty());  // Sweep mode says nothing
  }
  // Single mode tells the user, in two lines, and prints nothing.
  Speeds(0, 20);
  EXPECT_FALSE(Eval(Of(DopplerFormula::Lorentz), {}, DopplerMode::Single));
  ASSERT_EQ(shown.messages.size(), 1u);
  EXPECT_EQ(shown.messages[0],
            "Скорости источника и приемника должны быть меньше скорости сигнала.\n"
            "Проверьте заданные для выбранной формулы скорости VX1 и VX2.");
  EXPECT_EQ(shown.clears, 0);
  EXPECT_EQ(shown.ratioCalls, 0);
  // A signal speed of 0 refuses everything, even bodies at rest.
  P.Vs = 0;
  Speeds(0, 0);
  EXPECT_FALSE(Eval(Of(DopplerFormula::Lorentz)));
}

TEST_F(DopplerTest, FactorsAreFlooredExceptTheSourceFactor) {
  Speeds(19.9999999999, 0);
  ASSERT_TRUE(Eval(Of(DopplerFormula::Lorentz)));
  EXPECT_EQ(P.G, 0.00001);
  EXPECT_EQ(P.G1, 0.00001);
  Speeds(0, -19.9999999999);
  ASSERT_TRUE(Eval(Of(DopplerFormula::Lorentz)));
  EXPECT_EQ(P.G, 0.00001);
  EXPECT_GT(P.G2, 0);
  EXPECT_LT(P.G2, 0.00001);
  EXPECT_EQ(P.G1, 1);
}

TEST_F(DopplerTest, VanishingDenominatorsGiveNoNewResult) {
  P.v = 321;
  Speeds(19.99999, 0);  // 1 - V12/Vs = 5E-7
  EXPECT_FALSE(Eval(Sto(StoVariant::V42)));
  EXPECT_EQ(P.v, 321);
  EXPECT_FALSE(Eval(Sto(StoVariant::V43), All(180, P.DegPerRad)));
  EXPECT_EQ(P.v, 321);
  Speeds(0, 19.99999);
  EXPECT_FALSE(Eval(Sto(StoVariant::V45)));
  EXPECT_EQ(P.v, 321);
  // The kept value is still shown against the input value.
  EXPECT_DOUBLE_EQ(shown.ratio, 321 / kInput);
  // Just outside the guard a value comes.
  Speeds(19.9997, 0);  // 1 - V12/Vs = 1.5E-5
  EXPECT_TRUE(Eval(Sto(StoVariant::V42)));
  EXPECT_NEAR(P.v, std::sqrt(1 - 0.999985 * 0.999985) * kInput / 1.5e-5, 1e-3);
}

TEST_F(DopplerTest, TheFirstTickedVariantDecides) {
  DopplerChoice c = Sto(StoVariant::V45);
  c.variant42 = true;
  EXPECT_EQ(DecidingVariant(c), StoVariant::V42);
  c.variant41 = true;
  EXPECT_EQ(DecidingVariant(c), StoVariant::V41);
  Speeds(12, 0);
  ASSERT_TRUE(Eval(c));
  EXPECT_DOUBLE_EQ(shown.ratio, 0.5);  // (4-1), not (4-2)'s 2
  // A click on a box unticks the other three, whichever were ticked.
  c.variant43 = true;
  UntickOtherVariants(c, StoVariant::V43);
  EXPECT_FALSE(c.variant41 || c.variant42 || c.variant45);
  EXPECT_TRUE(c.variant43);
  c.variant43 = false;  // a click that unticked the box itself
  UntickOtherVariants(c, StoVariant::V43);
  EXPECT_EQ(DecidingVariant(c), StoVariant::None);
}

TEST_F(DopplerTest, NoVariantKeepsTheResultAndDoesNotInvertItAgain) {
  DopplerChoice c = Sto(StoVariant::None);
  c.wavelengths = true;
  P.v = 500;
  Speeds(3, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Eval(c));
    EXPECT_EQ(P.v, 500);
  }
  EXPECT_DOUBLE_EQ(shown.ratio, 500 / kInput);
}

TEST_F(DopplerTest, WavelengthMode) {
  DopplerChoice c = Of(DopplerFormula::Lorentz);
  c.wavelengths = true;
  Speeds(0, 0);
  ASSERT_TRUE(Eval(c));
  EXPECT_DOUBLE_EQ(P.v0, 20 / kInput);
  EXPECT_DOUBLE_EQ(P.v, kInput);
  EXPECT_DOUBLE_EQ(shown.ratio, 1);
  EXPECT_NEAR(shown.shift, 0, 1e-9);
  // A source approaching at half the signal speed halves the wavelength.
  Speeds(0, 10);
  ASSERT_TRUE(Eval(c));
  EXPECT_DOUBLE_EQ(shown.ratio, 0.5);
  EXPECT_DOUBLE_EQ(shown.shift, -kInput / 2);
  // A wavelength of 0 cannot give a frequency.
  EXPECT_THROW(Eval(c, {}, DopplerMode::Sweep, 0), ComputeFault);
}

TEST_F(DopplerTest, ZeroInputFaultsAtTheDisplayStep) {
  P.v0 = 0;
  Speeds(5, 0);
  EXPECT_THROW(Eval(Of(DopplerFormula::Lorentz), {}, DopplerMode::Single, 0), ComputeFault);
  EXPECT_EQ(P.v, 0);
  EXPECT_EQ(shown.ratioCalls, 0);
  EXPECT_EQ(shown.clears, 0);
}

TEST_F(DopplerTest, OverflowFaults) {
  P.Vs = 1e300;
  Speeds(1e200, 0);
  EXPECT_THROW(Eval(Of(DopplerFormula::Lorentz)), ComputeFault);
  P.Vs = 20;
  P.X(1) = 1e200;
  P.X(2) = -1e200;
  Speeds(0, 0);
  EXPECT_THROW(Eval(Of(DopplerFormula::Lorentz)), ComputeFault);  // R overflows
  EXPECT_EQ(shown.ratio, 1);                                      // written before R
}

TEST_F(DopplerTest, CorrectionsOfFormulaThree) {
  const double Pi = P.Pi;
  const double deg = P.DegPerRad;
  // Receiver at 10 m/s, 60 degrees: c1 = sqrt(15^2 + 75) = sqrt(300).
  EXPECT_NEAR(ExactCorrectionReceiver(60 / deg, 10, 20, 1, Pi), 0.25 + std::sqrt(300) / 20 - 1,
              1e-14);
  // Beyond 90 degrees the other branch gives the same speed: sqrt(25^2 + 75).
  EXPECT_NEAR(ExactCorrectionReceiver(120 / deg, 10, 20, 1, Pi), -0.25 + std::sqrt(700) / 20 - 1,
              1e-14);
  // Source: c2 = sqrt(400 - 75) +- 5.
  EXPECT_NEAR(ExactCorrectionSource(60 / deg, 10, 20, 1, Pi), (std::sqrt(325) + 5) / 20 - 1 - 0.25,
              1e-14);
  EXPECT_NEAR(ExactCorrectionSource(120 / deg, 10, 20, 1, Pi), (std::sqrt(325) - 5) / 20 - 1 + 0.25,
              1e-14);
  // At 90 degrees exact and approximate agree.
  const double right = 90 / deg;
  EXPECT_NEAR(ExactCorrectionReceiver(right, 12, 20, 3, Pi),
              ApproximateCorrectionReceiver(right, 12, 20, 3), 1e-13);
  EXPECT_NEAR(ExactCorrectionSource(right, 16, 20, 3, Pi),
              ApproximateCorrectionSource(right, 16, 20, 3), 1e-13);
  // Head on, both kinds vanish.
  EXPECT_NEAR(ExactCorrectionReceiver(0, 12, 20, 3, Pi), 0, 1e-15);
  EXPECT_NEAR(ExactCorrectionSource(0, 16, 20, 3, Pi), 0, 1e-15);
  EXPECT_EQ(ApproximateCorrectionReceiver(0, 12, 20, 3), 0);
  // The approximate source correction faults beyond the signal speed.
  EXPECT_THROW(ApproximateCorrectionSource(right, 21, 20, 3), ComputeFault);
}

TEST_F(DopplerTest, AngleReductionSubtractsPi) {
  const double deg = P.DegPerRad;
  EXPECT_NEAR(ReducedAngle(200 / deg, P.Pi) * deg, 20, 1e-12);
  EXPECT_NEAR(ReducedAngle(-200 / deg, P.Pi) * deg, 20, 1e-12);
  EXPECT_NEAR(ReducedAngle(-100 / deg, P.Pi) * deg, 100, 1e-12);
  // In the evaluation: Q1 = 200 degrees corrects as 20, not as 160.
  DopplerChoice z = Of(DopplerFormula::Zevr);
  Speeds(10, 0);
  ASSERT_TRUE(Eval(z, {200 / deg, 0, 0, 0}));
  EXPECT_NEAR(P.dv1, ExactCorrectionReceiver(20 / deg, 10, 20, kInput, P.Pi), 1e-10);
  EXPECT_GT(std::fabs(P.dv1 - ExactCorrectionReceiver(160 / deg, 10, 20, kInput, P.Pi)), 1);
}

TEST_F(DopplerTest, FormulaThreeVariants) {
  const double deg = P.DegPerRad;
  DopplerChoice z = Of(DopplerFormula::Zevr);
  z.exactCorrections = false;
  // Head on the corrections vanish and both variants equal (2).
  Speeds(6, 10);
  for (bool v31 : {true, false}) {
    z.zevr31 = v31;
    ASSERT_TRUE(Eval(z));
    EXPECT_DOUBLE_EQ(P.v, kInput * 0.7 / 0.5);
  }
  // Source at 10 m/s and 60 degrees, receiver at rest, v0 = 1:
  // dv2 = (sqrt(3)/2 - 1) sin 60 = 3/4 - sqrt(3)/2, and the factor is 1/0.75.
  P.v0 = 1;
  Speeds(0, 10);
  const double dv2 = 0.75 - std::sqrt(3) / 2;
  z.zevr31 = true;
  ASSERT_TRUE(Eval(z, All(60, deg), DopplerMode::Sweep, 1));
  EXPECT_NEAR(P.dv2, dv2, 1e-14);
  EXPECT_NEAR(P.v, 1 / 0.75 + dv2, 1e-14);
  P.v0 = 1;
  z.zevr31 = false;
  ASSERT_TRUE(Eval(z, All(60, deg), DopplerMode::Sweep, 1));
  EXPECT_NEAR(P.v, (1 + dv2) / 0.75, 1e-14);
  // Both bodies across the line of sight: v0 + dv1 + dv2.
  P.v0 = 1;
  Speeds(12, 16);
  z.zevr31 = true;
  ASSERT_TRUE(Eval(z, All(90, deg), DopplerMode::Sweep, 1));
  EXPECT_NEAR(P.v, 1 + (std::sqrt(544) / 20 - 1) + (12.0 / 20 - 1), 1e-12);
}

TEST_F(DopplerTest, SingleModePrintsTheValuesOnTheClearedPicture) {
  P.X(1) = 86.60254;
  P.Y(1) = 50;
  P.X(2) = 50;
  P.Y(2) = 0;
  Speeds(6, 10);
  ASSERT_TRUE(Eval(Of(DopplerFormula::Lorentz), {}, DopplerMode::Single));
  EXPECT_EQ(shown.clears, 1);
  ASSERT_EQ(shown.positions.size(), 5u);
  EXPECT_EQ(Values(shown.positions.begin(), shown.positions.end() - 1),
            (Values{86.60254, 50, 50, 0}));
  EXPECT_NEAR(shown.positions[4], std::hypot(36.60254, 50), 1e-12);
  const std::vector<std::string> want = {
      "V1=    6",         "V2=    10",        "V12=   -4",          "Q3=    0",
      "Q1= W1 - Q3=   0", "Q2= W2 - Q3=   0", "Q12= W12 - Q3=   0", "G1=    0,953939",
      "G2=    0,866025",  "G=    0,979795",   "dv1 / v0=    0",     "dv2 / v0=    0"};
  EXPECT_EQ(shown.canvas.Texts(), want);
  const auto texts = shown.canvas.OpsOf(CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ((Values{texts[0].a, texts[0].b, texts[6].b, texts[7].a, texts[11].b}),
            (Values{0.5, 13.8, 7.8, 34.5, 9.8}));
  // Sweep mode never prints.
  ASSERT_TRUE(Eval(Of(DopplerFormula::Lorentz)));
  EXPECT_EQ(shown.clears, 1);
}

TEST_F(DopplerTest, PrintedCorrectionsAreTruncatedTowardZero) {
  DopplerChoice z = Of(DopplerFormula::Zevr);
  z.exactCorrections = false;
  P.v0 = 1;
  Speeds(0, 10);
  ASSERT_TRUE(Eval(z, All(60, P.DegPerRad), DopplerMode::Single, 1));
  // dv2 / v0 = -0.116025403... truncates toward zero, not down to -0.116026.
  const auto texts = shown.canvas.Texts();
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ(texts[11], "dv2 / v0=   -0,116025");
  EXPECT_EQ(texts[1], "V2=    10");
  EXPECT_EQ(texts[4], "Q1= W1 - Q3=   60");
}

}  // namespace
}  // namespace velmor
