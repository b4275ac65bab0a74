// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/calculator.h"

#include <algorithm>
#include <cmath>

#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

// Below this |cos α| per radian of α the angle is a right angle, missed only
// because the Pi in force is rounded: the frame window's 3,141592654 leaves
// cos 90° at -2,05E-10, and the miss grows with the number of turns. The
// shift then says nothing about the speed.
constexpr double kRightAngleCos = 1e-9;

void RefuseNegative(double value, const char* what) {
  if (value < 0) RaiseInputFault(what);
}

}  // namespace

double IonEnergyKeV(SharedPool& P, IonValues& ion, double mass, double speed) {
  RefuseNegative(mass, "negative mass");
  const double u = Chk(speed * P.LightSpeed);
  P.V1 = u;
  ion.Mass = mass;
  ion.EnergyJ = Chk(mass * Chk(u * u)) / 2;
  const double eV = CheckedDiv(ion.EnergyJ, P.ElementaryCharge);
  return eV / 1000;
}

double IonMassKg(SharedPool& P, IonValues& ion, double energyKeV, double speed) {
  RefuseNegative(energyKeV, "negative energy");
  ion.EnergyJ = Chk(Chk(energyKeV * P.ElementaryCharge) * 1000);
  const double u = Chk(speed * P.LightSpeed);
  P.V1 = u;
  ion.Mass = CheckedDiv(Chk(2 * ion.EnergyJ), Chk(u * u));
  return ion.Mass;
}

double IonSpeed(SharedPool& P, IonValues& ion, double energyKeV, double mass) {
  RefuseNegative(energyKeV, "negative energy");
  RefuseNegative(mass, "negative mass");
  ion.EnergyJ = Chk(Chk(energyKeV * P.ElementaryCharge) * 1000);
  ion.Mass = mass;
  const double u = CheckedSqrt(CheckedDiv(Chk(2 * ion.EnergyJ), mass));
  P.V1 = u;
  return CheckedDiv(u, P.LightSpeed);
}

double SpeedFromShift(SharedPool& P, double X0, double dX, double alphaDeg, ShiftUnits units,
                      MovingBody moving) {
  const double alpha = CheckedDiv(alphaDeg, P.DegPerRad);
  P.VX(1) = 0;
  P.VX(2) = 0;
  const double c = P.LightSpeed;
  double v = 0;   // observed frequency
  double v0 = 0;  // emitted frequency
  if (units == ShiftUnits::Wavelengths) {
    v = CheckedDiv(1e12 * c, Chk(X0 + dX));
    v0 = CheckedDiv(1e12 * c, X0);
  } else {
    v0 = Chk(1e12 * X0);
    v = Chk(Chk(1e12 * dX) + v0);
  }
  const double cosAlpha = std::cos(alpha);
  if (std::fabs(cosAlpha) < kRightAngleCos * std::max(1.0, std::fabs(alpha))) {
    RaiseComputeFault("division by zero");
  }
  const double shift = moving == MovingBody::Source ? 1 - CheckedDiv(v0, v) : 1 - CheckedDiv(v, v0);
  return CheckedDiv(shift, cosAlpha);
}

}  // namespace velmor
