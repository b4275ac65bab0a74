// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/calculator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "frames/frame_transform.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor {
namespace {

SharedPool Started() {
  SharedPool p;
  SetStartupConstants(p);
  return p;
}

constexpr double kE = 1.60218e-19;
constexpr double kC = 299790000;

TEST(IonCalculations, DefaultsGiveAbout150keVAndBack) {
  SharedPool P = Started();
  IonValues ion;
  // 7Li+ at 0,012645 c: 3,344556E-27 kg · (3 790 844,55 m/s)² / 2.
  const double keV = IonEnergyKeV(P, ion, 3.344556e-27, 0.012645);
  EXPECT_NEAR(keV, 149.992354268899, 1e-9);
  EXPECT_NEAR(P.V1, 0.012645 * kC, 1e-6);
  EXPECT_NEAR(ion.EnergyJ, keV * 1000 * kE, 1e-25);
  EXPECT_EQ(ion.Mass, 3.344556e-27);
  // Speed from that energy and the same mass is the speed we started with.
  EXPECT_NEAR(IonSpeed(P, ion, keV, 3.344556e-27), 0.012645, 1e-15);
  // Mass from that energy and speed is the mass we started with.
  EXPECT_NEAR(IonMassKg(P, ion, keV, 0.012645), 3.344556e-27, 1e-40);
}

TEST(IonCalculations, OneKiloElectronVolt) {
  SharedPool P = Started();
  IonValues ion;
  const double u = 1e-3 * kC;
  const double m = 2 * 1000 * kE / (u * u);
  EXPECT_NEAR(IonEnergyKeV(P, ion, m, 1e-3), 1.0, 1e-12);
  EXPECT_NEAR(IonMassKg(P, ion, 1, 1e-3), m, m * 1e-12);
  EXPECT_NEAR(ion.EnergyJ, 1000 * kE, 1e-30);
  EXPECT_NEAR(IonSpeed(P, ion, 1, m), 1e-3, 1e-15);
  EXPECT_NEAR(P.V1, u, 1e-6);
  // Kinetic energy does not care about the direction of the speed.
  EXPECT_NEAR(IonEnergyKeV(P, ion, m, -1e-3), 1.0, 1e-12);
  // A mass at rest or of nothing has no energy.
  EXPECT_EQ(IonEnergyKeV(P, ion, m, 0), 0);
  EXPECT_EQ(IonEnergyKeV(P, ion, 0, 0.5), 0);
}

TEST(IonCalculations, RefusedInputLeavesThePoolAlone) {
  SharedPool P = Started();
  P.V1 = 42;
  IonValues ion{7, 8};
  EXPECT_THROW(IonEnergyKeV(P, ion, -1e-27, 0.01), InputFault);
  EXPECT_THROW(IonMassKg(P, ion, -150, 0.01), InputFault);
  EXPECT_THROW(IonSpeed(P, ion, -150, 1e-27), InputFault);
  EXPECT_THROW(IonSpeed(P, ion, 150, -1e-27), InputFault);
  EXPECT_EQ(P.V1, 42);
  EXPECT_EQ(ion.EnergyJ, 7);
  EXPECT_EQ(ion.Mass, 8);
}

TEST(IonCalculations, ArithmeticFaults) {
  SharedPool P = Started();
  IonValues ion;
  EXPECT_THROW(IonMassKg(P, ion, 150, 0), ComputeFault);       // zero speed
  EXPECT_THROW(IonMassKg(P, ion, 150, 1e-200), ComputeFault);  // u² underflows to 0
  EXPECT_THROW(IonSpeed(P, ion, 150, 0), ComputeFault);        // zero mass
  EXPECT_THROW(IonEnergyKeV(P, ion, 1e308, 1), ComputeFault);  // overflow
  EXPECT_THROW(IonMassKg(P, ion, 1e308, 1e-20), ComputeFault);
  EXPECT_THROW(IonSpeed(P, ion, 1e308, 1e-300), ComputeFault);
  // Zero energy at a finite mass is a body at rest.
  EXPECT_EQ(IonSpeed(P, ion, 0, 1e-27), 0);
}

TEST(SpeedFromShift, WavelengthsInvertTheClassicalFormula) {
  SharedPool P = Started();
  P.VX(1) = 5;
  P.VX(2) = 6;
  // A red shift of 10 nm: a source receding at dL/L0, a receiver receding at
  // dL/(L0 + dL) (positive V·cos is a source approaching, a receiver leaving).
  const double source =
      SpeedFromShift(P, 656.28, 10, 0, ShiftUnits::Wavelengths, MovingBody::Source);
  EXPECT_NEAR(source, -10 / 656.28, 1e-15);
  EXPECT_EQ(P.VX(1), 0);
  EXPECT_EQ(P.VX(2), 0);
  const double receiver =
      SpeedFromShift(P, 656.28, 10, 0, ShiftUnits::Wavelengths, MovingBody::Receiver);
  EXPECT_NEAR(receiver, 10 / 666.28, 1e-15);
  // Put back into formula (2) they give the observed frequency.
  const double v0 = kC / 656.28e-9;
  EXPECT_NEAR(v0 / (1 - source) / (kC / 666.28e-9), 1, 1e-14);
  EXPECT_NEAR(v0 * (1 - receiver) / (kC / 666.28e-9), 1, 1e-14);
}

TEST(SpeedFromShift, FrequenciesAndAngles) {
  SharedPool P = Started();
  // 500 THz shifted up by 5 THz.
  EXPECT_NEAR(SpeedFromShift(P, 500, 5, 0, ShiftUnits::Frequencies, MovingBody::Source),
              1 - 500.0 / 505, 1e-15);
  EXPECT_NEAR(SpeedFromShift(P, 500, 5, 0, ShiftUnits::Frequencies, MovingBody::Receiver), -0.01,
              1e-15);
  // Seen at 60° the line-of-sight part is half the speed; at 180° the sign turns.
  const double at0 = SpeedFromShift(P, 656.28, 10, 0, ShiftUnits::Wavelengths, MovingBody::Source);
  EXPECT_NEAR(SpeedFromShift(P, 656.28, 10, 60, ShiftUnits::Wavelengths, MovingBody::Source),
              2 * at0, 1e-15);
  EXPECT_NEAR(SpeedFromShift(P, 656.28, 10, 180, ShiftUnits::Wavelengths, MovingBody::Source), -at0,
              1e-15);
  // No shift, no speed.
  EXPECT_EQ(SpeedFromShift(P, 656.28, 0, 30, ShiftUnits::Wavelengths, MovingBody::Receiver), 0);
}

TEST(SpeedFromShift, RightAnglesAndVanishingValuesFault) {
  SharedPool P = Started();
  SharedPool framePi = Started();
  // Once the frame window has opened, Pi is 3,141592654: cos 90° is -2,05E-10.
  SetFrameWindowConstants(framePi);
  for (SharedPool* pool : {&P, &framePi}) {
    for (double alpha : {90.0, -90.0, 270.0, 450.0, -3690.0}) {
      for (MovingBody m : {MovingBody::Source, MovingBody::Receiver}) {
        EXPECT_THROW(SpeedFromShift(*pool, 656.28, 10, alpha, ShiftUnits::Wavelengths, m),
                     ComputeFault)
            << alpha << " with Pi " << pool->Pi;
      }
    }
  }
  // Close to a right angle but not on it: a large, finite speed.
  const double near90 =
      SpeedFromShift(P, 656.28, 10, 89.999, ShiftUnits::Wavelengths, MovingBody::Receiver);
  EXPECT_TRUE(std::isfinite(near90));
  EXPECT_GT(near90, 100 * 0.015);
  // X0 = 0, X0 + dX = 0, and the frequency the formula divides by at 0.
  EXPECT_THROW(SpeedFromShift(P, 0, 10, 0, ShiftUnits::Wavelengths, MovingBody::Source),
               ComputeFault);
  EXPECT_THROW(SpeedFromShift(P, 10, -10, 0, ShiftUnits::Wavelengths, MovingBody::Receiver),
               ComputeFault);
  EXPECT_THROW(SpeedFromShift(P, 0, 5, 0, ShiftUnits::Frequencies, MovingBody::Receiver),
               ComputeFault);
  EXPECT_THROW(SpeedFromShift(P, 5, -5, 0, ShiftUnits::Frequencies, MovingBody::Source),
               ComputeFault);
  EXPECT_THROW(SpeedFromShift(P, 1e308, 1e308, 0, ShiftUnits::Wavelengths, MovingBody::Source),
               ComputeFault);
  EXPECT_THROW(SpeedFromShift(P, 1e300, 0, 0, ShiftUnits::Frequencies, MovingBody::Source),
               ComputeFault);
}

}  // namespace
}  // namespace velmor
